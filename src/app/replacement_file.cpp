#include "app/resource_kind.h"

namespace vorlune_forge {

// Some files make a new tag that is byte for byte the one the game holds,
// such as a picture saved again from what the game shows: storing it would
// change nothing.
MadeTag replacementTag(const ReplacementFile& file, const swf::Tag& current, const std::string& symbol,
                       const WarningSink& warn) {
    MadeTag made = file.make(current, symbol, warn);
    if (made.tag && made.tag->toBytes() == current.toBytes()) made.tag.reset();
    return made;
}

}  // namespace vorlune_forge
