// Reading a data file into archive entries.

#include <array>

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

constexpr uint8_t kNullMarker = 0x01;

struct KindName {
    DataKind kind;
    const char* tag;
};
constexpr std::array<KindName, 4> kKindTags = {
    {{DataKind::LimbInfo, "limbInfo"}, {DataKind::Spt, "Spt"}, {DataKind::Bg, "Bg"}, {DataKind::Gdat, "gdat"}}};

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

// The next object as the JSON document of the entry `name`; an error in it
// names the entry.
void walkDocument(AmfCursor& cursor, const std::string& name, const EntrySink& sink) {
    ByteBuffer document;
    try {
        document = printed(takeValue(cursor).payload);
    } catch (const std::exception& e) {
        throw swf::swf_exception(N_("Cannot read the data file's entry '%s':"), {name}, e);
    }
    sink(name, document);
}

// A count, then that many objects: "<prefix><i>.json".
int32_t walkItemList(AmfCursor& cursor, const std::string& prefix, const EntrySink& sink) {
    const int32_t count = takeCount(cursor);
    for (int32_t i = 0; i < count; ++i) walkDocument(cursor, prefix + std::to_string(i) + ".json", sink);
    return count;
}

}  // namespace

std::optional<ByteBuffer> inflateDataFile(ByteView body) {
    if (body.empty()) throw swf::swf_exception(N_("The data file is empty."));
    swf::AMF3 value(body);
    const swf::AMF3_TYPE& record = value.values.front();
    if (record.marker == kNullMarker) return std::nullopt;
    return zlib::zlib_decompress(record.payload);
}

std::optional<DataKind> readDataKind(ByteView content) {
    AmfCursor cursor = amfCursor(content);
    const std::string tag = readKindTag(cursor);
    for (const auto& [kind, name] : kKindTags) {
        if (tag == name) return kind;
    }
    return std::nullopt;
}

void walkDataFile(ByteView content, const EntrySink& sink) {
    AmfCursor cursor = amfCursor(content);
    const std::string tag = readKindTag(cursor);
    if (tag == "Spt" || tag == "Bg") {
        walkDocument(cursor, tag == "Spt" ? "Spt.json" : "BgInfoFile.json", sink);
    } else if (tag == "gdat") {
        walkItemList(cursor, "Attack_", sink);
        walkItemList(cursor, "PtWithName_", sink);
    } else if (tag == "limbInfo") {
        const int32_t pictures = walkItemList(cursor, "LimbPic_", sink);
        for (int32_t i = 0; i < pictures; ++i) {
            const swf::AMF3_TYPE image = takeValue(cursor);
            if (image.marker != kNullMarker) sink(std::to_string(i) + ".png", image.payload);
        }
        walkItemList(cursor, "Limb_", sink);
    } else {
        throw swf::swf_exception(N_("File type unrecognized."));
    }
}

std::optional<DataKind> kindOfSymbol(const std::string& symbol) {
    if (endsWith(symbol, "Lmi")) return DataKind::LimbInfo;
    if (endsWith(symbol, "Spt")) return DataKind::Spt;
    if (endsWith(symbol, "Bgi")) return DataKind::Bg;
    if (endsWith(symbol, "Dat")) return DataKind::Gdat;
    return std::nullopt;
}

}  // namespace data
