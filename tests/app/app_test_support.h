#pragma once
// The application's logic below the dialogues: the kinds by their folder
// names, and the session harness's test game loaded.

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/resource_kind.h"
#include "session/session_harness.h"
#include "swf/swf.h"

namespace apptest {

inline const vorlune_forge::ResourceKind& kind(const char* folder) {
    const auto kinds = vorlune_forge::resourceKinds();
    const auto found =
        std::find_if(kinds.begin(), kinds.end(), [&](const auto* kind) { return std::string(folder) == kind->folder; });
    if (found == kinds.end()) throw std::runtime_error(std::string("no kind ") + folder);
    return **found;
}

// Stage files, sounds 7 (MP3) and 11, images 8, 9, 10 and 12, data file 136.
inline std::unique_ptr<swf::SWF> stageGame() { return std::make_unique<swf::SWF>(session::games::stageGame()); }

}  // namespace apptest
