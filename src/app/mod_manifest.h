#pragma once
// What a mod says of the game it was made for. Beside the kinds' folders, a
// mod folder holds mod.json: the game file's name, the digest of its movie
// as loaded, and for each resource the mod changes, its file and the digest
// of the record it replaced. Applied to another version of the game, the
// mod can then say what was not made for it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "codecs/sha256.h"
#include "util/bytes.h"

namespace vorlune_forge {

inline constexpr const char* kManifestName = "mod.json";

struct ModManifest {
    struct Resource {
        std::string kind;  // the kind's folder
        uint64_t id = 0;
        std::string name;  // the resource's symbol
        std::string file;  // within the mod's folder
        sha256::Digest replaced{};
    };

    std::string game;
    sha256::Digest movie{};
    std::vector<Resource> resources;

    // The resources by their kind and id; where the manifest names one
    // twice, the first.
    using Key = std::pair<std::string, uint64_t>;
    std::map<Key, const Resource*> byKey() const;
};

// The manifest as the file mod.json holds it.
ByteBuffer manifestFile(const ModManifest& manifest);

// The manifest of the folder; nothing when it has none. A manifest that
// cannot be read is an error naming the file.
std::optional<ModManifest> readManifest(const std::string& folder);

}  // namespace vorlune_forge
