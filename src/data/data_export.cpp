// Reading a data file into archive entries.

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "amf/amf_cursor.h"
#include "codecs/zlib.h"
#include "data/data_file.h"
#include "util/strings.h"

namespace data {
namespace {

using swf::AmfCursor;
using swf::amfCursor;

std::string readKindTag(AmfCursor& cursor) {
    const uint16_t length = cursor.u16be(N_("the data kind tag length"));
    const ByteView tag = cursor.bytes(length, N_("the data kind tag"));
    return std::string(tag.begin(), tag.end());
}

// The AMF3 value at the cursor; the cursor moves past it.
swf::AMF3_TYPE takeValue(AmfCursor& cursor) {
    swf::AMF3 value(cursor.rest());
    swf::AMF3_TYPE& record = value.values.front();
    cursor.skip(1 + record.lengthSize + record.payload.size(), "an item");
    return std::move(record);
}

// A signed count; zero or less means no items.
int32_t takeCount(AmfCursor& cursor) {
    const auto count = static_cast<int32_t>(cursor.u32be(N_("an item count")));
    return count < 0 ? 0 : count;
}

ByteBuffer printed(const ByteBuffer& amf0) {
    const std::string text = swf::AMF0(amf0).json.dump(4, ' ', false, swf::JsonDocument::error_handler_t::strict);
    return ByteBuffer(text.begin(), text.end());
}

// The reader's own message comes first, as its readers know it, and the
// entry it was met in follows.
swf::swf_exception inEntry(const std::exception& error, const std::string& name) {
    const auto* own = dynamic_cast<const forge_exception*>(&error);
    const Message reason = own != nullptr ? own->asMessage() : Message(std::string(error.what()));
    // TRANSLATORS: the reader's own message, then the archive entry it was met in.
    return swf::swf_exception(N_("%s (In the entry '%s'.)"), {reason, name});
}

// The next object as the JSON document of the entry `name`; an error in it
// names the entry.
void walkDocument(AmfCursor& cursor, const std::string& name, const EntrySink& sink) {
    ByteBuffer document;
    try {
        document = printed(takeValue(cursor).payload);
    } catch (const std::exception& e) {
        throw inEntry(e, name);
    }
    sink(name, document);
}

// A count, then that many documents.
int32_t walkDocuments(AmfCursor& cursor, const EntryGroup& group, const EntrySink& sink) {
    const int32_t count = takeCount(cursor);
    for (int32_t i = 0; i < count; ++i) walkDocument(cursor, documentName(group, i), sink);
    return count;
}

// A value for each document before: a picture, or null for none.
void walkPictures(AmfCursor& cursor, int32_t documents, const EntrySink& sink) {
    for (int32_t i = 0; i < documents; ++i) {
        const swf::AMF3_TYPE image = takeValue(cursor);
        if (image.marker != swf::amf3::kNull) sink(pictureName(i), image.payload);
    }
}

const DataLayout& readLayout(AmfCursor& cursor) {
    const DataLayout* layout = layoutWithTag(readKindTag(cursor));
    if (layout == nullptr) throw swf::swf_exception(N_("File type unrecognized."));
    return *layout;
}

}  // namespace

std::optional<ByteBuffer> inflateDataFile(ByteView body) {
    if (body.empty()) throw swf::swf_exception(N_("The data file is empty."));
    swf::AMF3 value(body);
    const swf::AMF3_TYPE& record = value.values.front();
    if (record.marker == swf::amf3::kNull) return std::nullopt;
    return zlib::zlib_decompress(record.payload);
}

std::optional<DataKind> readDataKind(ByteView content) {
    AmfCursor cursor = amfCursor(content);
    const DataLayout* layout = layoutWithTag(readKindTag(cursor));
    return layout != nullptr ? std::optional(layout->kind) : std::nullopt;
}

void walkDataFile(ByteView content, const EntrySink& sink) {
    AmfCursor cursor = amfCursor(content);
    int32_t documents = 0;
    for (const EntryGroup& group : readLayout(cursor).groups) {
        switch (group.kind) {
            case GroupKind::Single:
                walkDocument(cursor, group.name, sink);
                break;
            case GroupKind::Documents:
                documents = walkDocuments(cursor, group, sink);
                break;
            case GroupKind::Pictures:
                walkPictures(cursor, documents, sink);
                break;
        }
    }
}

}  // namespace data
