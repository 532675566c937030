// Sounds: MP3 event sounds kept in DefineSound tags, exported to MP3 files
// and replaced from them.

#include <algorithm>
#include <set>

#include "app/file_names.h"
#include "app/vlf.h"
#include "console/l18n.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

constexpr unsigned kMp3Format = 2;

std::vector<const swf::Tag_DefineSound*> soundTags(swf::SWF& movie) {
    std::vector<const swf::Tag_DefineSound*> sounds;
    for (swf::Tag* tag : movie.getTagsOfType(swf::SWF::tagId("DefineSound"))) {
        if (const auto* sound = dynamic_cast<const swf::Tag_DefineSound*>(tag)) sounds.push_back(sound);
    }
    return sounds;
}

bool hasSound(const std::vector<const swf::Tag_DefineSound*>& sounds, uint64_t id) {
    return std::any_of(sounds.begin(), sounds.end(), [id](const auto* sound) { return sound->characterId == id; });
}

}  // namespace

int vlf::exportSounds(std::vector<uint64_t>& ids) {
    const auto sounds = soundTags(*swfFile);
    for (const uint64_t id : ids) {
        if (!hasSound(sounds, id)) printf_error(_("No sound with ID=%zu.\n"), static_cast<size_t>(id));
    }
    int count = 0;
    // Sounds go out in stream order; a second tag with an id already
    // exported would only overwrite the same file with the same bytes.
    std::set<uint64_t> exported;
    for (const auto* sound : sounds) {
        const uint64_t id = sound->characterId;
        if (!ids.empty() && std::find(ids.begin(), ids.end(), id) == ids.end()) continue;
        if (!exported.insert(id).second) continue;
        if (sound->soundFormat != kMp3Format) {
            printf_error(_("Sound with ID=%zu is not an MP3 file.\n"), static_cast<size_t>(id));
            continue;
        }
        const std::string symbol = swfFile->getSymbolName(id);
        const std::string name = resourceFileName(id, symbol, ".mp3");
        printf_normal(_("Exporting: %s\n"), name.c_str());
        // A sound that cannot be read or written is reported and the others
        // are still exported.
        try {
            writeBinaryFile(name, swfFile->exportMp3(id));
            ++count;
        } catch (const std::exception& e) {
            printf_error("%s\n", e.what());
        }
    }
    return count;
}

void vlf::replaceSound(uint64_t id, const std::string& path) {
    if (!hasSound(soundTags(*swfFile), id)) {
        printf_error(_("No sound with ID=%zu.\n"), static_cast<size_t>(id));
        return;
    }
    replaceFromFile(resourceDisplayName(id, swfFile->getSymbolName(id), ".mp3"), path,
                    [&](const ByteBuffer& bytes) { swfFile->replaceMp3(bytes, id); });
}

}  // namespace vorlune_forge
