#include "app/change_log.h"

#include <algorithm>

namespace vorlune_forge {

RecordPrint printOf(const swf::Tag& tag) {
    const ByteBuffer record = tag.toBytes();
    return {record.size(), sha256::digestOf(record)};
}

ChangeLog::Key ChangeLog::keyOf(const ResourceKind& kind, uint64_t id) const {
    const auto place = std::find(kinds_.begin(), kinds_.end(), &kind);
    return {static_cast<size_t>(place - kinds_.begin()), id};
}

void ChangeLog::replace(swf::SWF& game, const ResourceKind& kind, const swf::Tag& current,
                        std::unique_ptr<swf::Tag> replacement, const ReplacementFile* file) {
    const uint64_t id = current.characterId;
    const RecordPrint print = printOf(*replacement);
    const swf::Tag* now = replacement.get();
    std::unique_ptr<swf::Tag> previous = game.exchangeTag(current, std::move(replacement));
    auto [entry, first] = changes_.try_emplace(keyOf(kind, id));
    Change& change = entry->second;
    if (first) {
        change.kind = &kind;
        change.id = id;
        change.loadedPrint = printOf(*previous);
        change.loaded = std::move(previous);
    }
    change.source = file != nullptr ? file->path : "";
    change.sourceBytes = file != nullptr ? file->bytes : nullptr;
    change.sourceExtension = file != nullptr ? file->extension : "";
    change.sourceEntries = file != nullptr ? file->entries : nullptr;
    change.current = now;
    change.currentPrint = print;
}

bool ChangeLog::revert(swf::SWF& game, const ResourceKind& kind, uint64_t id) {
    const auto found = changes_.find(keyOf(kind, id));
    if (found == changes_.end()) return false;
    Change& change = found->second;
    if (change.currentPrint == change.loadedPrint) return false;
    replace(game, kind, *change.current, change.loaded->clone(), nullptr);
    return true;
}

void ChangeLog::written() {
    for (auto& [key, change] : changes_) change.writtenPrint = change.currentPrint;
}

std::vector<const ChangeLog::Change*> ChangeLog::differences() const {
    std::vector<const Change*> found;
    for (const auto& [key, change] : changes_) {
        if (change.currentPrint != change.loadedPrint) found.push_back(&change);
    }
    return found;
}

bool ChangeLog::unsaved() const {
    return std::any_of(changes_.begin(), changes_.end(), [](const auto& entry) {
        const Change& change = entry.second;
        return change.currentPrint != change.writtenPrint.value_or(change.loadedPrint);
    });
}

sha256::Digest ChangeLog::loadedMovieDigest(const swf::SWF& game) const {
    std::map<const swf::Tag*, const swf::Tag*> loadedOf;
    for (const auto& [key, change] : changes_) loadedOf.emplace(change.current, change.loaded.get());
    return game.uncompressedDigest([&loadedOf](const swf::Tag& tag) -> const swf::Tag& {
        const auto found = loadedOf.find(&tag);
        return found != loadedOf.end() ? *found->second : tag;
    });
}

}  // namespace vorlune_forge
