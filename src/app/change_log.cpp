#include "app/change_log.h"

#include <algorithm>

namespace vorlune_forge {

namespace {

bool sameRecord(const swf::Tag* a, const swf::Tag* b) {
    if (a == b) return true;
    return a != nullptr && b != nullptr && a->toBytes() == b->toBytes();
}

}  // namespace

ChangeLog::Key ChangeLog::keyOf(const ResourceKind& kind, uint64_t id) const {
    const auto place = std::find(kinds_.begin(), kinds_.end(), &kind);
    return {static_cast<size_t>(place - kinds_.begin()), id};
}

void ChangeLog::replace(swf::SWF& game, const ResourceKind& kind, const swf::Tag& current,
                        std::unique_ptr<swf::Tag> replacement, const std::string& source) {
    const uint64_t id = current.characterId;
    std::unique_ptr<swf::Tag> previous = game.exchangeTag(current, std::move(replacement));
    auto [entry, first] = changes_.try_emplace(keyOf(kind, id));
    Change& change = entry->second;
    change.kind = &kind;
    change.id = id;
    change.source = source;
    if (first) {
        change.loaded = std::move(previous);
    } else if (previous.get() == change.writtenIs) {
        change.written = std::move(previous);
    }
}

bool ChangeLog::revert(swf::SWF& game, const ResourceKind& kind, uint64_t id) {
    const auto found = changes_.find(keyOf(kind, id));
    if (found == changes_.end()) return false;
    Change& change = found->second;
    const swf::Tag* current = currentTags(game)[found->first];
    if (current == nullptr || sameRecord(current, change.loaded.get())) return false;
    replace(game, kind, *current, change.loaded->clone(), "");
    return true;
}

void ChangeLog::written(const swf::SWF& game) {
    const std::map<Key, const swf::Tag*> current = currentTags(game);
    for (auto& [key, change] : changes_) {
        change.written.reset();
        change.writtenIs = current.at(key);
    }
}

const swf::Tag* ChangeLog::writtenTag(const Change& change, const swf::Tag* current) {
    if (change.written) return change.written.get();
    if (change.writtenIs != nullptr) return current;
    return change.loaded.get();
}

std::vector<std::pair<const ChangeLog::Change*, const swf::Tag*>> ChangeLog::differences(const swf::SWF& game) const {
    const std::map<Key, const swf::Tag*> current = currentTags(game);
    std::vector<std::pair<const Change*, const swf::Tag*>> found;
    for (const auto& [key, change] : changes_) {
        const swf::Tag* now = current.at(key);
        if (!sameRecord(now, change.loaded.get())) found.emplace_back(&change, now);
    }
    return found;
}

bool ChangeLog::unsaved(const swf::SWF& game) const {
    const std::map<Key, const swf::Tag*> current = currentTags(game);
    return std::any_of(changes_.begin(), changes_.end(), [&](const auto& entry) {
        const swf::Tag* now = current.at(entry.first);
        return !sameRecord(now, writtenTag(entry.second, now));
    });
}

std::map<ChangeLog::Key, const swf::Tag*> ChangeLog::currentTags(const swf::SWF& game) const {
    std::map<Key, const swf::Tag*> current;
    for (const auto& [key, change] : changes_) current.emplace(key, nullptr);
    for (size_t k = 0; k < kinds_.size(); ++k) {
        const auto first = current.lower_bound({k, 0});
        if (first == current.end() || first->first.first != k) continue;
        for (const swf::Tag* tag : kinds_[k]->tagsIn(game)) {
            const auto slot = current.find({k, tag->characterId});
            if (slot != current.end() && slot->second == nullptr) slot->second = tag;
        }
    }
    return current;
}

}  // namespace vorlune_forge
