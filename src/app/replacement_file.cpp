#include "app/resource_kind.h"

namespace vorlune_forge {

// Some files make a new tag that is byte for byte the one the game holds,
// such as a picture saved again from what the game shows: storing it would
// change nothing.
std::unique_ptr<swf::Tag> replacementTag(const ReplacementFile& file, const swf::Tag& current,
                                         const std::string& symbol, const WarningSink& warn) {
    std::unique_ptr<swf::Tag> tag = file.make(current, symbol, warn);
    if (tag && tag->toBytes() == current.toBytes()) return nullptr;
    return tag;
}

}  // namespace vorlune_forge
