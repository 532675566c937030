#include "swf/swf.h"

namespace swf {
namespace {

constexpr size_t kMinimumFileSize = 5;

std::unique_ptr<Tag> makeTag(const RecordHeader& header, ByteView body) {
    switch (header.code) {
        case TagCode::DefineBinaryData:
            return std::make_unique<Tag_DefineBinaryData>(header, body);
        case TagCode::DefineSound:
            return std::make_unique<Tag_DefineSound>(header, body);
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2:
            return std::make_unique<Tag_DefineBitsLossless>(header, body);
        default: {
            auto tag = std::make_unique<Tag>(header);
            tag->data.assign(body.begin(), body.end());
            return tag;
        }
    }
}

}  // namespace

SWF::SWF(ByteBuffer bytes) { parseSwf(std::move(bytes)); }

void SWF::parseSwf(ByteBuffer bytes) {
    bytes = exe2swf(std::move(bytes));
    if (bytes.size() < kMinimumFileSize) throw swf_exception(N_("Invalid SWF file. File too small."));
    const size_t offset = parseSwfHeader(bytes);
    if (offset < bytes.size()) parseTags(bytes, offset);
}

// Reads tag records up to the end of the bytes; records after the End tag
// are read like any other. A SymbolClass record ends after its last name,
// whatever its header says.
void SWF::parseTags(ByteView bytes, size_t offset) {
    SwfCursor cursor(bytes, 0, kTruncatedRecord);
    cursor.skip(offset, N_("file header"));
    uint32_t index = 1;
    while (!cursor.atEnd()) {
        const RecordHeader header = readRecordHeader(cursor);
        std::unique_ptr<Tag> tag;
        if (header.code == TagCode::SymbolClass) {
            size_t consumed = 0;
            tag = std::make_unique<Tag_SymbolClass>(header, cursor.rest(), consumed);
            cursor.skip(consumed, N_("SymbolClass entries"));
        } else {
            tag = makeTag(header, cursor.bytes(header.bodyLength, N_("tag body")));
        }
        tag->index = index++;
        tags.push_back(std::move(tag));
    }
}

}  // namespace swf
