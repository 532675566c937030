// The table of resource kinds: for each, its menu texts, where its ids come
// from, how its files are named, its messages and its two conversions. A
// kind is one row here, with its conversions, and an entry in the list at
// the end; nothing outside names a row.

#include "app/bulk_export.h"
#include "app/data_files.h"
#include "app/image_files.h"
#include "app/sound_files.h"
#include "app/stage_files.h"
#include "console/l18n.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

template <typename T>
std::vector<const swf::Tag*> tagsOfKind(const swf::SWF& game) {
    const std::vector<const T*> typed = game.tagsOfKind<T>();
    return {typed.begin(), typed.end()};
}

// Stage files are the payload of their tag as it is.
ByteBuffer payload(const swf::Tag& tag) { return tag.data; }

// Kinds whose files are exactly what their export writes.
template <ByteBuffer (*convert)(const swf::Tag&)>
bool holdsBytes(const std::string& path, const swf::Tag& tag) {
    try {
        return fileEquals(path, convert(tag));
    } catch (const std::exception&) {
        return false;  // a resource that cannot be exported is in no file
    }
}

std::vector<Message> binaryFacts(const swf::Tag& tag) { return {Message::text(N_("%s bytes"), {tag.data.size()})}; }

const char* noWarning(const swf::Tag&, const swf::Tag&) { return nullptr; }

// The files each kind takes back, and those of formats it does not read.
const char* const kStageExtensions[] = {".xml"};
const char* const kSoundExtensions[] = {".mp3",  ".wav",  ".wave", ".aif", ".aiff",
                                        ".aifc", ".flac", ".ogg",  ".oga", ".opus"};
const char* const kImageExtensions[] = {".png", ".jpg", ".jpeg", ".gif", ".webp", ".bmp"};
const char* const kDataExtensions[] = {".zip"};
const char* const kOtherSoundFormats[] = {".m4a", ".aac", ".wma", ".mid", ".midi"};
const char* const kOtherImageFormats[] = {".tif", ".tiff", ".psd", ".svg", ".ico"};

// Character ids of the stage files and of the data files.
const std::array<uint64_t, 8> stages_ids = {234, 219, 398, 226, 299, 305, 454, 170};

const std::array<uint64_t, 78> data_ids = {
    136, 140, 141, 142, 144, 149, 150, 156, 163, 167, 175, 179, 180, 181, 182, 185, 191, 195, 197, 198,
    201, 203, 205, 214, 220, 223, 224, 225, 229, 230, 233, 237, 250, 277, 278, 279, 280, 290, 294, 295,
    296, 297, 311, 314, 315, 316, 318, 326, 330, 332, 335, 336, 338, 340, 341, 347, 348, 363, 369, 371,
    380, 385, 390, 394, 396, 397, 411, 415, 421, 425, 433, 441, 442, 444, 445, 448, 465, 468};

const ResourceKind stageFiles = {
    .editEntry = N_("Edit stages"),
    .noun = N_("stage"),
    .folder = "stages",
    .entries = {N_("List stage files"), N_("Export stage file(s)"), N_("Replace stage file")},
    .exportQuestion = N_("Which stage(s) do you wish to export?\n"),
    .countMessage = N_("Exported %d stage file(s).\n"),
    .replaceQuestion = N_("Which stage file do you wish to replace?\n"),
    .idPrompt = N_("Stage ID: "),
    .fileQuestion = N_("Which stage file do you wish to replace with? (.xml)\n"),
    .table = stages_ids,
    .codes = swf::Tag_DefineBinaryData::kCodes,
    .tagsIn = tagsOfKind<swf::Tag_DefineBinaryData>,
    .extension = ".xml",
    .extensionOf = nullptr,
    .fileSuffix = "",
    .readExtensions = kStageExtensions,
    .otherFormats = {},
    .otherFormat = nullptr,
    .noSuchId = N_("No stage file with ID=%zu.\n"),
    .noSuchName = N_("No stage file named '%s'.\n"),
    .notInGame = N_("Stage file with ID=%zu not found inside the game.\n"),
    .missingTag = swf::Tag_DefineBinaryData::kMissingId,
    .notExportable = nullptr,
    .errorFor = N_("Error for stage file with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with file '%s'...\n"),
    .exportable = nullptr,
    .convert = payload,
    .readReplacement = readStage,
    .fileHolds = holdsBytes<payload>,
    .folderEntries = nullptr,
    .folderHolds = nullptr,
    .facts = binaryFacts,
    .changeWarning = noWarning,
};

const ResourceKind sounds = {
    .editEntry = N_("Edit sounds"),
    .noun = N_("sound"),
    .folder = "sounds",
    .entries = {N_("List sounds"), N_("Export sound(s)"), N_("Replace sound")},
    .exportQuestion = N_("Which sound(s) do you wish to export?\n"),
    .countMessage = N_("Exported %d sound(s).\n"),
    .replaceQuestion = N_("Which MP3 sound do you wish to replace?\n"),
    .idPrompt = N_("Sound ID: "),
    .fileQuestion = N_("Which MP3 file do you wish to replace with?\n"),
    .table = {},
    .codes = swf::Tag_DefineSound::kCodes,
    .tagsIn = tagsOfKind<swf::Tag_DefineSound>,
    .extension = ".mp3",
    .extensionOf = soundExtension,
    .fileSuffix = "",
    .readExtensions = kSoundExtensions,
    .otherFormats = kOtherSoundFormats,
    .otherFormat = N_("'%s' is ignored: %s is not a sound format this program reads.\n"),
    .noSuchId = N_("No sound with ID=%zu.\n"),
    .noSuchName = N_("No sound named '%s'.\n"),
    .notInGame = nullptr,
    .missingTag = swf::Tag_DefineSound::kMissingId,
    .notExportable = soundNotExportable,
    .errorFor = N_("Error for sound with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with file '%s'...\n"),
    .exportable = isExportableSound,
    .convert = soundFile,
    .readReplacement = readSound,
    .fileHolds = holdsBytes<soundFile>,
    .folderEntries = nullptr,
    .folderHolds = nullptr,
    .facts = soundFacts,
    .changeWarning = noWarning,
};

const ResourceKind images = {
    .editEntry = N_("Edit images"),
    .noun = N_("image"),
    .folder = "images",
    .entries = {N_("List images"), N_("Export image(s)"), N_("Replace image")},
    .exportQuestion = N_("Which image(s) do you wish to export?\n"),
    .countMessage = N_("Exported %d image(s).\n"),
    .replaceQuestion = N_("Which image do you wish to replace?\n"),
    .idPrompt = N_("Image ID: "),
    .fileQuestion = N_("Which image file do you wish to replace with?\n"),
    .table = {},
    .codes = swf::Tag_DefineBitsLossless::kCodes,
    .tagsIn = tagsOfKind<swf::Tag_DefineBitsLossless>,
    .extension = ".png",
    .extensionOf = nullptr,
    .fileSuffix = "",
    .readExtensions = kImageExtensions,
    .otherFormats = kOtherImageFormats,
    .otherFormat = N_("'%s' is ignored: %s is not an image format this program reads.\n"),
    .noSuchId = N_("No image with ID=%zu.\n"),
    .noSuchName = N_("No image named '%s'.\n"),
    .notInGame = nullptr,
    .missingTag = swf::Tag_DefineBitsLossless::kMissingId,
    .notExportable = nullptr,
    .errorFor = N_("Error for image with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with file '%s'...\n"),
    .exportable = nullptr,
    .convert = imageFile,
    .readReplacement = readImage,
    .fileHolds = holdsBytes<imageFile>,
    .folderEntries = nullptr,
    .folderHolds = nullptr,
    .facts = imageFacts,
    .changeWarning = imageResized,
};

const ResourceKind dataFiles = {
    .editEntry = N_("Edit data"),
    .noun = N_("data file"),
    .folder = "data",
    .entries = {N_("List data files"), N_("Export data file(s)"), N_("Replace data file")},
    .exportQuestion = N_("Which data file(s) do you wish to export?\n"),
    .countMessage = N_("Exported %d data file(s).\n"),
    .replaceQuestion = N_("Which data file do you wish to replace?\n"),
    .idPrompt = N_("Data ID: "),
    .fileQuestion = N_("Which data file do you wish to replace with? (.zip)\n"),
    .table = data_ids,
    .codes = swf::Tag_DefineBinaryData::kCodes,
    .tagsIn = tagsOfKind<swf::Tag_DefineBinaryData>,
    .extension = "",
    .extensionOf = nullptr,
    .fileSuffix = ".zip",
    .readExtensions = kDataExtensions,
    .otherFormats = {},
    .otherFormat = nullptr,
    .noSuchId = N_("No data file with ID=%zu.\n"),
    .noSuchName = N_("No data file named '%s'.\n"),
    .notInGame = N_("Data file with ID=%zu not found inside the game.\n"),
    .missingTag = swf::Tag_DefineBinaryData::kMissingId,
    .notExportable = nullptr,
    .errorFor = N_("Error for data file with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with contents of file '%s'...\n"),
    .exportable = nullptr,
    .convert = dataArchive,
    .readReplacement = readDataArchive,
    .fileHolds = dataArchiveHolds,
    .folderEntries = dataEntries,
    .folderHolds = dataFolderHolds,
    .facts = binaryFacts,
    .changeWarning = noWarning,
};

const ResourceKind* const kResourceKinds[] = {&stageFiles, &sounds, &images, &dataFiles};

}  // namespace

std::span<const ResourceKind* const> resourceKinds() { return kResourceKinds; }

}  // namespace vorlune_forge
