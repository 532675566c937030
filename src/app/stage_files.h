#pragma once
// Stage files are replaced by XML files: the game reads its stages as XML,
// so a file that is not well-formed XML is refused, unless the stage it
// replaces is not well-formed either (then the game cannot have relied on
// it).

#include <string>

#include "app/resource_kind.h"

namespace vorlune_forge {

// Reads the file at `path`; what it returns puts it in place of the stage,
// or refuses it, naming the file and the parser's reason, and leaves the
// game unchanged.
Replacement readStage(const std::string& path);

}  // namespace vorlune_forge
