#pragma once
// Stage files are replaced by XML files: the game reads its stages as XML,
// so a file that is not well-formed XML is refused, unless the stage it
// replaces is not well-formed either (then the game cannot have relied on
// it).

#include <string>

#include "app/resource_kind.h"

namespace vorlune_forge {

// Reads the file at `path`; what it returns makes the stage's new tag from
// it, or refuses it, naming the file and the parser's reason.
ReplacementFile readStage(const std::string& path);

}  // namespace vorlune_forge
