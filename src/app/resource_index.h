#pragma once
// The resources of one kind in the loaded game, found in one walk over the
// tags, so that an operation on many of them costs a look-up each rather
// than a walk each.

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/resource_kind.h"

namespace vorlune_forge {

// The symbol name of a character among the names of SWF::symbolNames, or ""
// when it has none.
std::string symbolOf(const std::map<uint64_t, std::string>& names, uint64_t id);

class ResourceIndex {
public:
    ResourceIndex(const ResourceKind& kind, const swf::SWF& game);

    const ResourceKind& kind() const { return kind_; }

    // Why the id names no resource of the kind in the game (a message id
    // taking the id), or nullptr when it does.
    const char* missingId(uint64_t id) const;
    // Every id of the kind, in its order: the table's, or its tags'.
    std::vector<uint64_t> allIds() const;
    // The kind's tags, in the kind's order.
    const std::vector<const swf::Tag*>& tags() const { return tags_; }
    // The kind's first tag with the id; swf_exception with the kind's
    // message when there is none, or nullptr.
    const swf::Tag& tag(uint64_t id) const;
    const swf::Tag* find(uint64_t id) const;
    // The symbol name of the character, or "" when it has none.
    std::string symbol(uint64_t id) const;
    const std::map<uint64_t, std::string>& symbols() const { return symbols_; }

private:
    const ResourceKind& kind_;
    std::vector<const swf::Tag*> tags_;
    std::unordered_map<uint64_t, const swf::Tag*> ofKind_;
    // A table kind's ids must name some tag of the game, of whatever kind.
    std::unordered_map<uint64_t, const swf::Tag*> anyTag_;
    std::map<uint64_t, std::string> symbols_;
};

}  // namespace vorlune_forge
