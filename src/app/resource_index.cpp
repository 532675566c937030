#include "app/resource_index.h"

#include <algorithm>

namespace vorlune_forge {

ResourceIndex::ResourceIndex(const ResourceKind& kind, const swf::SWF& game)
    : kind_(kind), tags_(kind.tagsIn(game)), symbols_(game.symbolNames()) {
    for (const swf::Tag* tag : tags_) ofKind_.try_emplace(tag->characterId, tag);
    if (!kind.fromTable()) return;
    for (const auto& tag : game.tags) anyTag_.try_emplace(tag->characterId, tag.get());
}

const char* ResourceIndex::missingId(uint64_t id) const {
    if (!kind_.fromTable()) return ofKind_.contains(id) ? nullptr : kind_.noSuchId;
    if (std::find(kind_.table.begin(), kind_.table.end(), id) == kind_.table.end()) return kind_.noSuchId;
    return anyTag_.contains(id) ? nullptr : kind_.notInGame;
}

std::vector<uint64_t> ResourceIndex::allIds() const {
    if (kind_.fromTable()) return {kind_.table.begin(), kind_.table.end()};
    std::vector<uint64_t> ids;
    for (const swf::Tag* tag : tags_) ids.push_back(tag->characterId);
    return ids;
}

const swf::Tag* ResourceIndex::find(uint64_t id) const {
    const auto found = ofKind_.find(id);
    return found == ofKind_.end() ? nullptr : found->second;
}

const swf::Tag& ResourceIndex::tag(uint64_t id) const {
    const swf::Tag* found = find(id);
    if (found == nullptr) throw swf::swf_exception(kind_.missingTag, {id});
    return *found;
}

std::string symbolOf(const std::map<uint64_t, std::string>& names, uint64_t id) {
    const auto found = names.find(id);
    return found == names.end() ? std::string() : found->second;
}

std::string ResourceIndex::symbol(uint64_t id) const { return symbolOf(symbols_, id); }

}  // namespace vorlune_forge
