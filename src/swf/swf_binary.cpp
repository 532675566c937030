// Stage and data files: the payload of a DefineBinaryData tag.

#include "swf/swf.h"

namespace swf {

ByteBuffer SWF::exportBinary(uint64_t id) { return tagWithId<Tag_DefineBinaryData>(id).data; }

void SWF::replaceBinary(const ByteBuffer& data, uint64_t id) { tagWithId<Tag_DefineBinaryData>(id).data = data; }

}  // namespace swf
