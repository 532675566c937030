#include "app/mod_manifest.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string_view>

#include "amf/amf0.h"
#include "amf/json_document.h"
#include "console/l18n_files.h"
#include "util/error.h"

namespace vorlune_forge {

namespace {

using Json = swf::JsonDocument;

// The digest that a member holds, in hexadecimal.
sha256::Digest digestIn(const Json& object, const char* member) {
    const std::optional<sha256::Digest> digest = sha256::digestOfHex(object.at(member).get<std::string>());
    if (!digest) throw forge_exception(N_("'%s' is not a SHA-256 digest."), {std::string(member)});
    return *digest;
}

ModManifest manifestOf(const Json& document) {
    ModManifest manifest;
    manifest.game = document.at("game").get<std::string>();
    manifest.movie = digestIn(document, "movie");
    for (const Json& each : document.at("resources")) {
        manifest.resources.push_back({each.at("kind").get<std::string>(), each.at("id").get<uint64_t>(),
                                      each.at("name").get<std::string>(), each.at("file").get<std::string>(),
                                      digestIn(each, "replaced")});
    }
    return manifest;
}

}  // namespace

std::map<ModManifest::Key, const ModManifest::Resource*> ModManifest::byKey() const {
    std::map<Key, const Resource*> index;
    for (const Resource& resource : resources) index.try_emplace({resource.kind, resource.id}, &resource);
    return index;
}

ByteBuffer manifestFile(const ModManifest& manifest) {
    Json document = Json::object();
    document["game"] = manifest.game;
    document["movie"] = sha256::hexOf(manifest.movie);
    document["resources"] = Json::array();
    for (const ModManifest::Resource& resource : manifest.resources) {
        Json entry = Json::object();
        entry["kind"] = resource.kind;
        entry["id"] = resource.id;
        entry["name"] = resource.name;
        entry["file"] = resource.file;
        entry["replaced"] = sha256::hexOf(resource.replaced);
        document["resources"].push_back(std::move(entry));
    }
    // Names from the game are kept as they are; those that are not UTF-8
    // are written with replacement characters rather than refused.
    const std::string text = document.dump(4, ' ', false, Json::error_handler_t::replace) + "\n";
    return ByteBuffer(text.begin(), text.end());
}

std::optional<ModManifest> readManifest(const std::string& folder) {
    const std::string path = (std::filesystem::path(folder) / kManifestName).string();
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 && errno == ENOENT) return std::nullopt;
    ByteBuffer bytes;
    l18n::readBinaryFile(path, bytes);
    try {
        // Read like a data file's document: in linear time, with a bounded
        // number of values.
        return manifestOf(
            swf::AMF0::parseDocument(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    } catch (const Json::exception& e) {
        throw forge_exception(N_("'%s' does not describe a mod this program can read: %s"),
                              {path, std::string(e.what())});
    } catch (const forge_exception& e) {
        throw forge_exception(N_("'%s' does not describe a mod this program can read:"), {path}, e);
    }
}

}  // namespace vorlune_forge
