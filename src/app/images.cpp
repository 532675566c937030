// Images: the game's lossless bitmaps, exported to PNG files in the current
// directory and replaced from PNG files.

#include <algorithm>

#include "app/file_names.h"
#include "app/vlf.h"
#include "console/l18n.h"
#include "swf/swf_images.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

bool containsImage(const std::vector<swf::Tag_DefineBitsLossless*>& images, uint64_t id) {
    return std::any_of(images.begin(), images.end(), [id](const auto* image) { return image->characterId == id; });
}

}  // namespace

int vlf::exportImages(std::vector<uint64_t>& ids) {
    const std::vector<swf::Tag_DefineBitsLossless*> images = swf::losslessImages(*swfFile);
    for (const uint64_t id : ids) {
        if (!containsImage(images, id)) printf_error(_("No image with ID=%zu.\n"), static_cast<size_t>(id));
    }
    int count = 0;
    // Written in the order of the game, so an id listed twice is written once.
    for (const swf::Tag_DefineBitsLossless* image : images) {
        const uint64_t id = image->characterId;
        if (!ids.empty() && std::find(ids.begin(), ids.end(), id) == ids.end()) continue;
        const std::string symbol = swfFile->getSymbolName(id);
        const std::string name = resourceFileName(id, symbol, ".png");
        printf_normal(_("Exporting: %s\n"), name.c_str());
        // A bitmap that cannot be converted (unsupported format, corrupt
        // stream) or a file that cannot be written is reported, and the
        // other images are still exported.
        try {
            writeBinaryFile(name, swfFile->exportImage(id));
            ++count;
        } catch (const std::exception& e) {
            printf_error(_("Error for image with ID=%zu: %s\n"), static_cast<size_t>(id), e.what());
        }
    }
    return count;
}

void vlf::replaceImage(uint64_t id, const std::string& path) {
    if (swf::findLosslessImage(*swfFile, id) == nullptr) {
        printf_error(_("No image with ID=%zu.\n"), static_cast<size_t>(id));
        return;
    }
    replaceFromFile(resourceDisplayName(id, swfFile->getSymbolName(id), ".png"), path,
                    [&](const ByteBuffer& bytes) { swfFile->replaceImg(bytes, id); });
}

}  // namespace vorlune_forge
