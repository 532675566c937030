// Stage and data files: the payload of a DefineBinaryData tag.

#include "swf/swf.h"

namespace swf {

std::unique_ptr<Tag_DefineBinaryData> binaryWithPayload(ByteBuffer payload, const Tag_DefineBinaryData& binary) {
    auto replacement = std::make_unique<Tag_DefineBinaryData>(binary);
    replacement->data = std::move(payload);
    return replacement;
}

}  // namespace swf
