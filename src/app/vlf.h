#pragma once
// What a run holds: the loaded game, the log of what the user changed in
// it, and the path it was loaded from. The dialogues (app/dialogues.h) take
// it and work on it.

#include <memory>
#include <string>

#include "app/change_log.h"
#include "swf/swf.h"

namespace vorlune_forge {

class vlf {
public:
    vlf(std::unique_ptr<swf::SWF> game, std::string path) : swfFile(std::move(game)), gamePath(std::move(path)) {}

    // Whether the game differs from the file it was last loaded from or
    // written to.
    bool unsavedChanges() const { return changes.unsaved(); }

    std::unique_ptr<swf::SWF> swfFile;
    // Every replacement goes through the log.
    ChangeLog changes{resourceKinds()};
    // As the user typed it.
    std::string gamePath;
};

}  // namespace vorlune_forge
