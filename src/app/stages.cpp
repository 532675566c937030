// Stage files: XML documents kept as the payload of DefineBinaryData tags,
// exported to and replaced from files as they are.

#include <algorithm>

#include "app/vlf.h"
#include "console/l18n.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

bool isStageId(uint64_t id) {
    return std::find(vlf::stages_ids.begin(), vlf::stages_ids.end(), id) != vlf::stages_ids.end();
}

}  // namespace

// Checks that the id names a stage of the game, reporting why not.
bool vlf::findStage(uint64_t id) {
    if (!isStageId(id)) {
        printf_error(_("No stage file with ID=%zu.\n"), static_cast<size_t>(id));
        return false;
    }
    if (swfFile->getTagWithId(id) == nullptr) {
        printf_error(_("Stage file with ID=%zu not found inside the game.\n"), static_cast<size_t>(id));
        return false;
    }
    return true;
}

int vlf::exportStages(std::vector<uint64_t>& ids) {
    int count = 0;
    for (const uint64_t id : ids) {
        if (!findStage(id)) continue;
        const std::string name = safeFileName(std::to_string(id) + " - " + swfFile->getSymbolName(id) + ".xml");
        printf_normal(_("Exporting: %s\n"), name.c_str());
        // A stage that cannot be read or written is reported and the
        // others are still exported.
        try {
            writeBinaryFile(name, swfFile->exportBinary(id));
            ++count;
        } catch (const std::exception& e) {
            printf_error(_("Error for stage file with ID=%zu: %s\n"), static_cast<size_t>(id), e.what());
        }
    }
    return count;
}

void vlf::replaceStage(uint64_t id, const std::string& path) {
    if (!findStage(id)) return;
    replaceFromFile(swfFile->getSymbolName(id) + ".xml", path,
                    [&](const ByteBuffer& bytes) { swfFile->replaceBinary(bytes, id); });
}

}  // namespace vorlune_forge
