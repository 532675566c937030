// The List action of the section menus: one line per resource, its id and
// the name it is exported under.

#include "app/vlf.h"
#include "console/l18n.h"

namespace vorlune_forge {

using namespace l18n;

const std::array<uint64_t, 8> vlf::stages_ids = {234, 219, 398, 226, 299, 305, 454, 170};

const std::array<uint64_t, 78> vlf::data_ids = {
    136, 140, 141, 142, 144, 149, 150, 156, 163, 167, 175, 179, 180, 181, 182, 185, 191, 195, 197, 198,
    201, 203, 205, 214, 220, 223, 224, 225, 229, 230, 233, 237, 250, 277, 278, 279, 280, 290, 294, 295,
    296, 297, 311, 314, 315, 316, 318, 326, 330, 332, 335, 336, 338, 340, 341, 347, 348, 363, 369, 371,
    380, 385, 390, 394, 396, 397, 411, 415, 421, 425, 433, 441, 442, 444, 445, 448, 465, 468};

void vlf::printListingLine(uint64_t id, const std::string& name) {
    printf_colored(12, "%zu", static_cast<size_t>(id));
    printf_normal(": %s\n", name.c_str());
}

void vlf::listStages() {
    for (const uint64_t id : stages_ids) {
        const swf::Tag* tag = swfFile->getTagWithId(id);
        if (tag == nullptr) {
            printf_error(_("Stage file with ID=%zu not found inside the game.\n"), static_cast<size_t>(id));
            continue;
        }
        printListingLine(tag->characterId, swfFile->getSymbolName(id) + ".xml");
    }
}

void vlf::listData() {
    for (const uint64_t id : data_ids) {
        const swf::Tag* tag = swfFile->getTagWithId(id);
        if (tag == nullptr) {
            printf_error(_("Data file with ID=%zu not found inside the game.\n"), static_cast<size_t>(id));
            continue;
        }
        printListingLine(tag->characterId, swfFile->getSymbolName(id));
    }
}

void vlf::listTagsOfType(int code) {
    for (const swf::Tag* tag : swfFile->getTagsOfType(code)) {
        const std::string& type = swf::SWF::tagTypeName(tag->code);
        const std::string symbol = swfFile->getSymbolName(tag->characterId);
        if (type == "DefineBinaryData") {
            printListingLine(tag->characterId, symbol);
        } else if (type == "DefineSound") {
            const auto* sound = dynamic_cast<const swf::Tag_DefineSound*>(tag);
            printListingLine(tag->characterId, symbol + (sound != nullptr && sound->soundFormat == 2 ? ".mp3" : ""));
        } else if (type == "DefineBitsLossless" || type == "DefineBitsLossless2") {
            printListingLine(tag->characterId, symbol + ".png");
        } else {
            printf_normal(_("Tag %zu (type = %s)\n"), static_cast<size_t>(tag->characterId), type.c_str());
        }
    }
}

}  // namespace vorlune_forge
