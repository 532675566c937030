// The table of resource kinds: for each, its menu texts, where its ids come
// from, how its files are named, its messages and its two conversions. A
// kind is one row here, with its conversions, and an entry in the list at
// the end; nothing outside names a row.

#include <cstdio>

#include "app/bulk_export.h"
#include "app/data_files.h"
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

ByteBuffer mp3File(const swf::Tag& tag) { return swf::soundToMp3(dynamic_cast<const swf::Tag_DefineSound&>(tag)); }

ByteBuffer pngFile(const swf::Tag& tag) {
    return swf::imageToPng(dynamic_cast<const swf::Tag_DefineBitsLossless&>(tag));
}

// Kinds whose files are exactly what their export writes.
template <ByteBuffer (*convert)(const swf::Tag&)>
bool holdsBytes(const std::string& path, const swf::Tag& tag) {
    try {
        return fileEquals(path, convert(tag));
    } catch (const std::exception&) {
        return false;  // a resource that cannot be exported is in no file
    }
}

// Kinds whose files are what the tag is made from: the replacement reads
// the file's bytes and converts them against the tag it replaces.
template <std::unique_ptr<swf::Tag> (*make)(const ByteBuffer& file, const swf::Tag& current, const WarningSink&),
          const char* extension>
ReplacementFile readBytes(const std::string& path) {
    auto bytes = std::make_shared<ByteBuffer>();
    readBinaryFile(path, *bytes);
    return {path, bytes, extension, [bytes](const swf::Tag& current, const std::string&, const WarningSink& warn) {
                return make(*bytes, current, warn);
            }};
}

constexpr char kMp3[] = ".mp3";
constexpr char kPng[] = ".png";

// A file equal to what the export of `current` writes holds the same.
bool isExportOf(const ByteBuffer& file, const swf::Tag& current, ByteBuffer (*convert)(const swf::Tag&)) {
    try {
        return convert(current) == file;
    } catch (const std::exception&) {
        return false;  // a resource that cannot be exported is in no file
    }
}

std::unique_ptr<swf::Tag> soundFromFile(const ByteBuffer& file, const swf::Tag& current, const WarningSink&) {
    if (isExportOf(file, current, mp3File)) return nullptr;
    return swf::soundFromMp3(file, dynamic_cast<const swf::Tag_DefineSound&>(current));
}

// Whether the picture shows exactly the pixels the export of the bitmap
// shows, whatever PNG form it has been saved in since.
bool showsBitmap(const swf::DecodedPng& picture, const swf::Tag_DefineBitsLossless& image) {
    if (picture.width != image.bitmapWidth || picture.height != image.bitmapHeight) return false;
    try {
        return swf::imagePixels(image) == picture.rgba;
    } catch (const std::exception&) {
        return false;
    }
}

// A bitmap without alpha keeps the colours of a transparent PNG, darkened,
// but not its transparency; the user is told.
std::unique_ptr<swf::Tag> imageFromFile(const ByteBuffer& file, const swf::Tag& current, const WarningSink& warn) {
    const auto& image = dynamic_cast<const swf::Tag_DefineBitsLossless&>(current);
    swf::DecodedPng picture = swf::readPng(file);
    if (showsBitmap(picture, image)) return nullptr;
    bool droppedAlpha = false;
    auto replacement = swf::imageFromPixels(std::move(picture), image, &droppedAlpha);
    if (droppedAlpha) {
        warn(
            Message::text(N_("WARNING: This image cannot be transparent, so the transparency of the PNG file was "
                             "dropped: its transparent parts show dark.\n")));
    }
    return replacement;
}

std::vector<Message> binaryFacts(const swf::Tag& tag) { return {Message::text(N_("%s bytes"), {tag.data.size()})}; }

std::vector<Message> soundFacts(const swf::Tag& tag) {
    const auto& sound = dynamic_cast<const swf::Tag_DefineSound&>(tag);
    const unsigned rate = swf::Tag_DefineSound::soundRates.at(sound.soundRate & 3);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", static_cast<double>(sound.soundSampleCount) / rate);
    return {Message::text(N_("%s Hz"), {rate}), Message::text(sound.soundType != 0 ? N_("stereo") : N_("mono")),
            Message::text(N_("%s s"), {std::string(seconds)})};
}

std::vector<Message> imageFacts(const swf::Tag& tag) {
    const auto& image = dynamic_cast<const swf::Tag_DefineBitsLossless&>(tag);
    return {Message::text(N_("%s×%s"), {image.bitmapWidth, image.bitmapHeight}),
            Message::text(image.isLossless2 ? N_("alpha") : N_("no alpha"))};
}

// The game draws a picture in the place and size the old one had.
const char* imageResized(const swf::Tag& before, const swf::Tag& after) {
    const auto& old = dynamic_cast<const swf::Tag_DefineBitsLossless&>(before);
    const auto& now = dynamic_cast<const swf::Tag_DefineBitsLossless&>(after);
    if (old.bitmapWidth == now.bitmapWidth && old.bitmapHeight == now.bitmapHeight) return nullptr;
    return N_(
        "WARNING: The image's size has changed. The game draws it where the old one was, so it may show "
        "cropped or stretched.\n");
}

const char* noWarning(const swf::Tag&, const swf::Tag&) { return nullptr; }

// Only MP3 sounds can be written to an MP3 file.
bool isMp3Sound(const swf::Tag& tag) {
    const auto* sound = dynamic_cast<const swf::Tag_DefineSound*>(&tag);
    return sound != nullptr && sound->soundFormat() == swf::SoundFormat::Mp3;
}

const char* const kOtherSoundFormats[] = {".wav",  ".wave", ".ogg", ".oga", ".flac", ".aif",
                                          ".aiff", ".opus", ".m4a", ".aac", ".wma"};
const char* const kOtherImageFormats[] = {".jpg", ".jpeg", ".gif", ".webp", ".bmp", ".tif", ".tiff"};

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
    .fileSuffix = "",
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
    .fileSuffix = "",
    .otherFormats = kOtherSoundFormats,
    .otherFormat = N_("'%s' is ignored: %s is not a sound format this program reads.\n"),
    .noSuchId = N_("No sound with ID=%zu.\n"),
    .noSuchName = N_("No sound named '%s'.\n"),
    .notInGame = nullptr,
    .missingTag = swf::Tag_DefineSound::kMissingId,
    .notExportable = N_("Sound with ID=%zu is not an MP3 file.\n"),
    .errorFor = N_("Error for sound with ID=%zu: %s\n"),
    .replacing = N_("Replacing '%s' with file '%s'...\n"),
    .exportable = isMp3Sound,
    .convert = mp3File,
    .readReplacement = readBytes<soundFromFile, kMp3>,
    .fileHolds = holdsBytes<mp3File>,
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
    .fileSuffix = "",
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
    .convert = pngFile,
    .readReplacement = readBytes<imageFromFile, kPng>,
    .fileHolds = holdsBytes<pngFile>,
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
    .fileSuffix = ".zip",
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
    .facts = binaryFacts,
    .changeWarning = noWarning,
};

const ResourceKind* const kResourceKinds[] = {&stageFiles, &sounds, &images, &dataFiles};

}  // namespace

std::span<const ResourceKind* const> resourceKinds() { return kResourceKinds; }

}  // namespace vorlune_forge
