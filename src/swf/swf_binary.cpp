// Stage and data files: the payload of a DefineBinaryData tag.

#include "swf/swf.h"

namespace swf {
namespace {

Tag* binaryDataTag(SWF& movie, uint64_t id) {
    for (Tag* tag : movie.getTagsOfType(SWF::tagId("DefineBinaryData"))) {
        if (tag->characterId == id) return tag;
    }
    throw swf_exception("No such Tag ID: " + std::to_string(id));
}

}  // namespace

ByteBuffer SWF::exportBinary(uint64_t id) { return binaryDataTag(*this, id)->data; }

void SWF::replaceBinary(const ByteBuffer& data, uint64_t id) { binaryDataTag(*this, id)->data = data; }

}  // namespace swf
