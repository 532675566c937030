#pragma once
// What the user has changed in the game: for every resource replaced since
// the game was loaded, the tag it was loaded with, the file it last came
// from and, once the game has been written, the tag it was written with.
// The tags taken out of the game are kept rather than copied, so that a
// revert puts back the loaded record byte for byte.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/resource_kind.h"

namespace vorlune_forge {

class ChangeLog {
public:
    // `kinds` orders the kinds of the changes.
    explicit ChangeLog(std::span<const ResourceKind* const> kinds) : kinds_(kinds) {}

    struct Change {
        const ResourceKind* kind = nullptr;
        uint64_t id = 0;
        // The file of the last replacement; empty after a revert.
        std::string source;
        // The tag the resource had when the game was loaded.
        std::unique_ptr<swf::Tag> loaded;
        // The tag the game was last written with, once it has been taken
        // out of the game; `writtenIs` names it while it is still in it.
        // Neither is set while the resource has not changed since it was
        // written, or when the game has not been written since the
        // resource first changed.
        std::unique_ptr<swf::Tag> written;
        const swf::Tag* writtenIs = nullptr;
    };

    // Puts `replacement`, made from the file `source`, into the game in
    // place of the resource's current tag `current`.
    void replace(swf::SWF& game, const ResourceKind& kind, const swf::Tag& current,
                 std::unique_ptr<swf::Tag> replacement, const std::string& source);

    // Puts back the tag the resource was loaded with; false when the
    // resource has not changed.
    bool revert(swf::SWF& game, const ResourceKind& kind, uint64_t id);

    // The game has been written as it is now.
    void written(const swf::SWF& game);

    // The changes whose resource differs from the game as it was loaded,
    // with their tags now, in the order of the kinds and then of the ids.
    std::vector<std::pair<const Change*, const swf::Tag*>> differences(const swf::SWF& game) const;

    // Whether the game differs from the file it was last loaded from or
    // written to.
    bool unsaved(const swf::SWF& game) const;

private:
    using Key = std::pair<size_t, uint64_t>;  // the kind's place in the list, the id
    Key keyOf(const ResourceKind& kind, uint64_t id) const;
    // The tag of every changed resource in the game now (null for one that
    // is gone), found in one walk over each kind's tags.
    std::map<Key, const swf::Tag*> currentTags(const swf::SWF& game) const;
    // What the resource is compared with for the question at exit.
    static const swf::Tag* writtenTag(const Change& change, const swf::Tag* current);

    std::span<const ResourceKind* const> kinds_;
    std::map<Key, Change> changes_;
};

}  // namespace vorlune_forge
