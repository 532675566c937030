// Stage and data files: the payload of a DefineBinaryData tag.

#include "swf/swf.h"

namespace swf {

ByteBuffer SWF::exportBinary(uint64_t id) const { return tagWithId<Tag_DefineBinaryData>(id).data; }

void SWF::replaceBinary(const ByteBuffer& data, uint64_t id) {
    const Tag_DefineBinaryData& binary = tagWithId<Tag_DefineBinaryData>(id);
    exchangeTag(binary, binaryWithPayload(data, binary));
}

std::unique_ptr<Tag_DefineBinaryData> binaryWithPayload(ByteBuffer payload, const Tag_DefineBinaryData& binary) {
    auto replacement = std::make_unique<Tag_DefineBinaryData>(binary);
    replacement->data = std::move(payload);
    return replacement;
}

}  // namespace swf
