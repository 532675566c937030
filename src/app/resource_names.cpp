#include "app/resource_names.h"

#include <algorithm>

#include "app/id_lists.h"
#include "util/strings.h"

namespace vorlune_forge {

// Room is left for the longest extension a file of a resource gets
// (".jpeg", ".flac", ".zip" after a data file's name).
constexpr size_t kExtensionRoom = 8;

std::string fileStem(const ResourceKind& kind, uint64_t id, const std::string& symbol) {
    const bool named = kind.fromTable() || !symbol.empty();
    return safeFileName(std::to_string(id) + (named ? " - " + symbol : ""), kMaxFileNameBytes - kExtensionRoom);
}

std::string exportExtension(const ResourceKind& kind, const swf::Tag* tag) {
    return tag != nullptr && kind.extensionOf != nullptr ? kind.extensionOf(*tag) : kind.extension;
}

std::string fileName(const ResourceKind& kind, uint64_t id, const std::string& symbol, const swf::Tag* tag) {
    return fileStem(kind, id, symbol) + exportExtension(kind, tag);
}

std::string displayName(const ResourceKind& kind, uint64_t id, const std::string& symbol, const swf::Tag* tag) {
    return (kind.fromTable() || !symbol.empty() ? symbol : std::to_string(id)) + exportExtension(kind, tag);
}

Message resourceTitle(const ResourceKind& kind, uint64_t id, const std::string& symbol, const swf::Tag* tag) {
    return Message::text(N_("%s %s %s"), {Message::text(kind.noun), id, displayName(kind, id, symbol, tag)});
}

namespace {

bool sameText(const Message& a, const Message& b) {
    const auto untranslated = [](const char* id) { return id; };
    return a.render(untranslated) == b.render(untranslated);
}

}  // namespace

Message changeSummary(const ResourceKind& kind, const swf::Tag& before, const swf::Tag& after) {
    const std::vector<Message> old = kind.facts(before);
    const std::vector<Message> now = kind.facts(after);
    std::vector<Message> parts;
    for (size_t i = 0; i < now.size(); ++i) {
        const bool changed = i >= old.size() || !sameText(old[i], now[i]);
        parts.push_back(changed && i < old.size() ? Message::text(N_("%s → %s"), {old[i], now[i]}) : now[i]);
    }
    Message summary = parts.empty() ? Message(std::string()) : parts.front();
    for (size_t i = 1; i < parts.size(); ++i) summary = Message::text(N_("%s, %s"), {summary, parts[i]});
    return summary;
}

Message changeSummary(const ResourceKind& kind, const swf::Tag& before, const MadeTag& made) {
    const Message summary = made.conversion.value_or(changeSummary(kind, before, *made.tag));
    if (!made.format) return summary;
    return Message::text(N_("%s, from a %s file"), {summary, *made.format});
}

std::optional<NamedResource> resourceOfFileName(const std::string& name, std::span<const ResourceKind* const> kinds) {
    const std::string lower = to_lowercase(name);
    for (const ResourceKind* kind : kinds) {
        for (const std::string extension : kind->readExtensions) {
            if (!endsWith(lower, extension)) continue;
            const std::optional<uint64_t> id = leadingId(name.substr(0, name.size() - extension.size()));
            if (id) return NamedResource{kind, *id};
        }
    }
    return std::nullopt;
}

std::optional<NamedResource> resourceOfFolderName(const std::string& name, std::span<const ResourceKind* const> kinds) {
    const std::optional<uint64_t> id = leadingId(name);
    if (!id) return std::nullopt;
    for (const ResourceKind* kind : kinds) {
        if (kind->folderEntries == nullptr) continue;
        if (!kind->fromTable() || std::find(kind->table.begin(), kind->table.end(), *id) != kind->table.end()) {
            return NamedResource{kind, *id};
        }
    }
    return std::nullopt;
}

}  // namespace vorlune_forge
