// The table of resource kinds: for each, its menu texts, where its ids come
// from, how its files are named, its messages and its two conversions.

#include "app/data_files.h"
#include "app/stage_files.h"
#include "app/vlf.h"
#include "console/l18n.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// Kinds whose files hold the resource as the game converts it: the export
// is the converted bytes, the replacement hands the file's bytes to the
// game.
template <ByteBuffer (swf::SWF::*convert)(uint64_t)>
ByteBuffer converted(swf::SWF& game, uint64_t id) {
    return (game.*convert)(id);
}

template <void (swf::SWF::*put)(const ByteBuffer&, uint64_t)>
Replacement readBytes(const std::string& path) {
    ByteBuffer bytes;
    readBinaryFile(path, bytes);
    return [bytes = std::move(bytes)](swf::SWF& game, uint64_t id, const std::string&) { (game.*put)(bytes, id); };
}

// A bitmap without alpha keeps the colours of a transparent PNG, darkened,
// but not its transparency; the user is told once the image is in.
Replacement readImage(const std::string& path) {
    ByteBuffer bytes;
    readBinaryFile(path, bytes);
    return [bytes = std::move(bytes)](swf::SWF& game, uint64_t id, const std::string&) {
        bool droppedAlpha = false;
        game.replaceImg(bytes, id, &droppedAlpha);
        if (droppedAlpha) {
            printf_colored(kHeading, "%s",
                           _("WARNING: This image cannot be transparent, so the transparency of the PNG file was "
                             "dropped: its transparent parts show dark.\n"));
        }
    };
}

// Only MP3 sounds can be written to an MP3 file.
bool isMp3Sound(const swf::Tag& tag) {
    const auto* sound = dynamic_cast<const swf::Tag_DefineSound*>(&tag);
    return sound != nullptr && sound->soundFormat == swf::Tag_DefineSound::kMp3Format;
}

}  // namespace

const std::array<uint64_t, 8> vlf::stages_ids = {234, 219, 398, 226, 299, 305, 454, 170};

const std::array<uint64_t, 78> vlf::data_ids = {
    136, 140, 141, 142, 144, 149, 150, 156, 163, 167, 175, 179, 180, 181, 182, 185, 191, 195, 197, 198,
    201, 203, 205, 214, 220, 223, 224, 225, 229, 230, 233, 237, 250, 277, 278, 279, 280, 290, 294, 295,
    296, 297, 311, 314, 315, 316, 318, 326, 330, 332, 335, 336, 338, 340, 341, 347, 348, 363, 369, 371,
    380, 385, 390, 394, 396, 397, 411, 415, 421, 425, 433, 441, 442, 444, 445, 448, 465, 468};

const ResourceKind vlf::stageFiles = {
    .entries = {N_("List stage files"), N_("Export stage file(s)"), N_("Replace stage file")},
    .exportQuestion = N_("Which stage(s) do you wish to export?\n"),
    .countMessage = N_("Exported %d stage file(s).\n"),
    .replaceQuestion = N_("Which stage file do you wish to replace?\n"),
    .idPrompt = N_("Stage ID: "),
    .fileQuestion = N_("Which stage file do you wish to replace with? (.xml)\n"),
    .table = stages_ids,
    .codes = {},
    .extension = ".xml",
    .fileSuffix = "",
    .noSuchId = N_("No stage file with ID=%zu.\n"),
    .notInGame = N_("Stage file with ID=%zu not found inside the game.\n"),
    .notExportable = nullptr,
    .errorFor = N_("Error for stage file with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with file '%s'...\n"),
    .exportable = nullptr,
    .convert = converted<&swf::SWF::exportBinary>,
    .readReplacement = readStage,
    .exportIds = &vlf::exportStages,
    .replace = &vlf::replaceStage,
};

const ResourceKind vlf::sounds = {
    .entries = {N_("List sounds"), N_("Export sound(s)"), N_("Replace sound")},
    .exportQuestion = N_("Which sound(s) do you wish to export?\n"),
    .countMessage = N_("Exported %d sound(s).\n"),
    .replaceQuestion = N_("Which MP3 sound do you wish to replace?\n"),
    .idPrompt = N_("Sound ID: "),
    .fileQuestion = N_("Which MP3 file do you wish to replace with?\n"),
    .table = {},
    .codes = swf::Tag_DefineSound::kCodes,
    .extension = ".mp3",
    .fileSuffix = "",
    .noSuchId = N_("No sound with ID=%zu.\n"),
    .notInGame = nullptr,
    .notExportable = N_("Sound with ID=%zu is not an MP3 file.\n"),
    .errorFor = N_("Error for sound with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with file '%s'...\n"),
    .exportable = isMp3Sound,
    .convert = converted<&swf::SWF::exportMp3>,
    .readReplacement = readBytes<&swf::SWF::replaceMp3>,
    .exportIds = &vlf::exportSounds,
    .replace = &vlf::replaceSound,
};

const ResourceKind vlf::images = {
    .entries = {N_("List images"), N_("Export image(s)"), N_("Replace image")},
    .exportQuestion = N_("Which image(s) do you wish to export?\n"),
    .countMessage = N_("Exported %d image(s).\n"),
    .replaceQuestion = N_("Which image do you wish to replace?\n"),
    .idPrompt = N_("Image ID: "),
    .fileQuestion = N_("Which image file do you wish to replace with?\n"),
    .table = {},
    .codes = swf::Tag_DefineBitsLossless::kCodes,
    .extension = ".png",
    .fileSuffix = "",
    .noSuchId = N_("No image with ID=%zu.\n"),
    .notInGame = nullptr,
    .notExportable = nullptr,
    .errorFor = N_("Error for image with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with file '%s'...\n"),
    .exportable = nullptr,
    .convert = converted<&swf::SWF::exportImage>,
    .readReplacement = readImage,
    .exportIds = &vlf::exportImages,
    .replace = &vlf::replaceImage,
};

const ResourceKind vlf::dataFiles = {
    .entries = {N_("List data files"), N_("Export data file(s)"), N_("Replace data file")},
    .exportQuestion = N_("Which data file(s) do you wish to export?\n"),
    .countMessage = N_("Exported %d data file(s).\n"),
    .replaceQuestion = N_("Which data file do you wish to replace?\n"),
    .idPrompt = N_("Data ID: "),
    .fileQuestion = N_("Which data file do you wish to replace with? (.zip)\n"),
    .table = data_ids,
    .codes = {},
    .extension = "",
    .fileSuffix = ".zip",
    .noSuchId = N_("No data file with ID=%zu.\n"),
    .notInGame = N_("Data file with ID=%zu not found inside the game.\n"),
    .notExportable = nullptr,
    .errorFor = N_("Error for data file with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with contents of file '%s'...\n"),
    .exportable = nullptr,
    .convert = dataArchive,
    .readReplacement = readDataArchive,
    .exportIds = &vlf::exportData,
    .replace = &vlf::replaceData,
};

}  // namespace vorlune_forge
