// Builds the sample game from the assets beside it, through the program's
// own code: stage XML files, MP3 sounds, PNG images (direct colour and
// colour-mapped, in both kinds of lossless bitmap) and data files of the
// four kinds, written as one zlib-compressed movie. Every data id the
// program knows has a data file: those without assets get a small one made
// here, so that the sample stays small.
//
//   make_sample_game <assets directory> <output movie>

#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <stdexcept>

#include "amf/json_document.h"
#include "app/resource_kind.h"
#include "codecs/zlib.h"
#include "console/l18n_files.h"
#include "data/data_file.h"
#include "swf/swf.h"

namespace fs = std::filesystem;

namespace {

ByteBuffer readFile(const fs::path& path) {
    ByteBuffer bytes;
    l18n::readBinaryFile(path.string(), bytes);
    return bytes;
}

// A short record header for `code`; the writer sizes it to the body.
swf::RecordHeader headerFor(uint16_t code) {
    swf::RecordHeader header;
    header.code = swf::tagCode(code);
    header.rawHeader = {static_cast<uint8_t>(code << 6), static_cast<uint8_t>(code >> 2)};
    return header;
}

std::unique_ptr<swf::Tag> rawTag(uint16_t code, ByteBuffer body) {
    auto tag = std::make_unique<swf::Tag>(headerFor(code));
    tag->data = std::move(body);
    return tag;
}

// Puts what `convert` makes of the placeholder of kind T with the id in
// its place, as the program's replacements do.
template <typename T, typename Convert>
void fill(swf::SWF& movie, uint64_t id, Convert convert) {
    const T& placeholder = movie.tagWithId<T>(id);
    movie.exchangeTag(placeholder, convert(placeholder));
}

void fillBinary(swf::SWF& movie, uint64_t id, ByteBuffer payload) {
    fill<swf::Tag_DefineBinaryData>(
        movie, id, [&](const auto& binary) { return swf::binaryWithPayload(std::move(payload), binary); });
}

void fillSound(swf::SWF& movie, uint64_t id, const ByteBuffer& mp3) {
    fill<swf::Tag_DefineSound>(movie, id, [&](const auto& sound) { return swf::soundFromMp3(mp3, sound); });
}

void fillImage(swf::SWF& movie, uint64_t id, const ByteBuffer& png) {
    fill<swf::Tag_DefineBitsLossless>(
        movie, id, [&](const auto& image) { return swf::imageFromPixels(picture::decodePicture(png), image); });
}

// The fixed fields of a defining tag: its id and `zeros` bytes to be filled.
ByteBuffer fixedFields(uint16_t id, size_t zeros) {
    ByteBuffer body;
    appendU16le(body, id);
    body.resize(body.size() + zeros);
    return body;
}

// A colour-mapped bitmap (format 3) from a palette PNG: the colour table,
// then the indices in rows padded to 4 bytes, deflated.
ByteBuffer colourMappedBody(uint16_t id, bool withAlpha, const ByteBuffer& png) {
    lodepng::State state;
    state.info_raw.colortype = LCT_PALETTE;
    state.info_raw.bitdepth = 8;
    std::vector<unsigned char> indices;
    unsigned width = 0, height = 0;
    if (lodepng::decode(indices, width, height, state, png) != 0) throw std::runtime_error("not a palette PNG");
    const LodePNGColorMode& palette = state.info_png.color;
    ByteBuffer bitmap;
    for (size_t i = 0; i < palette.palettesize; ++i) {
        bitmap.insert(bitmap.end(), palette.palette + 4 * i, palette.palette + 4 * i + (withAlpha ? 4 : 3));
    }
    const size_t stride = (width + 3) / 4 * 4;
    for (unsigned y = 0; y < height; ++y) {
        bitmap.insert(bitmap.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
        bitmap.resize(bitmap.size() + stride - width);
    }
    ByteBuffer body;
    appendU16le(body, id);
    appendU8(body, 3);
    appendU16le(body, static_cast<uint16_t>(width));
    appendU16le(body, static_cast<uint16_t>(height));
    appendU8(body, static_cast<uint8_t>(palette.palettesize - 1));
    appendBytes(body, zlib::zlib_compress(bitmap, 9));
    return body;
}

// A data file's archive, from a directory of its entries.
data::ArchiveReader directoryArchive(const fs::path& dir) {
    data::ArchiveReader archive;
    for (const auto& entry : fs::directory_iterator(dir)) archive.names.push_back(entry.path().filename().string());
    std::sort(archive.names.begin(), archive.names.end());
    archive.extract = [dir](const std::string& name) { return readFile(dir / name); };
    return archive;
}

struct Named {
    uint16_t id;
    std::string symbol;
};

using Json = swf::JsonDocument;

// A data file's archive held in memory.
data::ArchiveReader memoryArchive(const std::vector<std::pair<std::string, Json>>& documents) {
    data::ArchiveReader archive;
    std::map<std::string, ByteBuffer> entries;
    for (const auto& [name, document] : documents) {
        archive.names.push_back(name);
        const std::string text = document.dump(4);
        entries[name] = ByteBuffer(text.begin(), text.end());
    }
    archive.extract = [entries](const std::string& name) { return entries.at(name); };
    return archive;
}

Json typed(const char* className, Json members) { return Json{{className, std::move(members)}}; }

// The data file made for the n-th id without assets: the kinds take turns,
// and each file holds one or two small documents that vary with n.
struct MadeData {
    std::string symbol;
    data::DataKind kind;
    data::ArchiveReader archive;
};

MadeData madeData(size_t n) {
    static const char* const places[] = {"Forest",  "Caves",   "Harbour", "Tower",  "Marsh",   "Summit", "Desert",
                                         "Glacier", "Volcano", "Swamp",   "Castle", "Village", "Ruins",  "Garden",
                                         "Mines",   "Bridge",  "Temple",  "Clouds", "Orchard"};
    static const char* const creatures[] = {"Slime",  "Bat",    "Knight", "Wolf",  "Golem", "Crab", "Owl",
                                            "Spider", "Dragon", "Mole",   "Ghost", "Frog",  "Yeti", "Beetle",
                                            "Imp",    "Lizard", "Wisp",   "Boar",  "Fox"};
    const size_t round = n / 4;
    const std::string place = places[round % std::size(places)];
    const std::string creature = creatures[round % std::size(creatures)];
    const double step = static_cast<double>(round);
    switch (n % 4) {
        case 0:
            return {place + "Spt", data::DataKind::Spt,
                    memoryArchive({{"Spt.json", typed("Data.Spt", {{"frames", 2.0 + double(round % 6)},
                                                                   {"speed", 0.1 + 0.05 * double(round % 4)},
                                                                   {"loop", round % 3 != 0},
                                                                   {"name", place}})}})};
        case 1:
            return {
                place + "Bgi", data::DataKind::Bg,
                memoryArchive({{"BgInfoFile.json",
                                typed("Data.BgInfo", {{"layers", {{"VLF_ArrayLenXXX", 2}, {"0", "sky"}, {"1", place}}},
                                                      {"parallax", 0.25 + 0.05 * double(round % 5)},
                                                      {"colour", 4210752.0 + 65793.0 * step}})}})};
        case 2:
            // A limb without an embedded picture needs no PNG file.
            return {
                creature + "Lmi", data::DataKind::LimbInfo,
                memoryArchive(
                    {{"LimbPic_0.json",
                      typed("Data.LimbPic",
                            {{"name", "body"}, {"disabled", true}, {"embeded", false}, {"scale", 1.0}})},
                     {"Limb_0.json",
                      typed("Data.Limb",
                            {{"pic", 0.0}, {"x", step}, {"y", 2.0 * step}, {"rotation", 5.0 * double(round % 8)}})}})};
        default:
            return {
                creature + "Dat", data::DataKind::Gdat,
                memoryArchive({{"Attack_0.json", typed("Data.Attack", {{"name", creature + " strike"},
                                                                       {"damage", 2.0 + step},
                                                                       {"knockback", 0.5 + 0.25 * double(round % 4)}})},
                               {"PtWithName_0.json",
                                typed("Data.PtWithName", {{"name", "spawn"}, {"x", 4.0 * step}, {"y", -1.5}})}})};
    }
}

void build(const fs::path& assets, const std::string& output) {
    const ByteBuffer header = {'F',  'W',  'S',  10,   21,   0,    0,    0,  0x80, 0x00, 0x2A,
                               0xF8, 0x00, 0x00, 0x1F, 0x40, 0x00, 0x00, 24, 1,    0};
    swf::SWF movie(header);
    std::vector<Named> symbols;
    movie.tags.push_back(rawTag(69, {0x08, 0, 0, 0}));    // FileAttributes
    movie.tags.push_back(rawTag(9, {0x87, 0xCE, 0xEB}));  // SetBackgroundColor

    // Placeholders first, filled below through the replace operations.
    const auto addBinary = [&](uint16_t id, const std::string& symbol) {
        movie.tags.push_back(std::make_unique<swf::Tag_DefineBinaryData>(headerFor(87), fixedFields(id, 4)));
        symbols.push_back({id, symbol});
    };
    std::vector<fs::path> stages;
    for (const auto& entry : fs::directory_iterator(assets / "stages")) stages.push_back(entry.path());
    std::sort(stages.begin(), stages.end());
    for (const fs::path& stage : stages) {
        const std::string name = stage.stem().string();  // "<id> - <symbol>"
        const auto id = static_cast<uint16_t>(std::stoi(name));
        addBinary(id, name.substr(name.find(" - ") + 3));
        fillBinary(movie, id, readFile(stage));
    }

    const std::vector<Named> sounds = {{500, "SoundJump"}, {501, "SoundCoin"}};
    for (const Named& sound : sounds) {
        movie.tags.push_back(std::make_unique<swf::Tag_DefineSound>(headerFor(14), fixedFields(sound.id, 5)));
        symbols.push_back(sound);
    }
    fillSound(movie, 500, readFile(assets / "sounds" / "jump.mp3"));
    fillSound(movie, 501, readFile(assets / "sounds" / "coin.mp3"));

    movie.tags.push_back(std::make_unique<swf::Tag_DefineBitsLossless>(headerFor(20), fixedFields(600, 5)));
    movie.tags.push_back(std::make_unique<swf::Tag_DefineBitsLossless>(
        headerFor(20), colourMappedBody(601, false, readFile(assets / "images" / "grass_tiles.png"))));
    movie.tags.push_back(std::make_unique<swf::Tag_DefineBitsLossless>(headerFor(36), fixedFields(602, 5)));
    movie.tags.push_back(std::make_unique<swf::Tag_DefineBitsLossless>(
        headerFor(36), colourMappedBody(603, true, readFile(assets / "images" / "gem_palette.png"))));
    fillImage(movie, 600, readFile(assets / "images" / "hero.png"));
    fillImage(movie, 602, readFile(assets / "images" / "glow.png"));
    symbols.insert(symbols.end(), {{600, "HeroSprite"}, {601, "GrassTiles"}, {602, "GlowEffect"}, {603, "GemPalette"}});

    std::vector<fs::path> dataFiles;
    for (const auto& entry : fs::directory_iterator(assets / "data")) dataFiles.push_back(entry.path());
    std::sort(dataFiles.begin(), dataFiles.end());
    for (const fs::path& dir : dataFiles) {
        const std::string name = dir.filename().string();
        const auto id = static_cast<uint16_t>(std::stoi(name));
        const std::string symbol = name.substr(name.find(" - ") + 3);
        addBinary(id, symbol);
        const ByteBuffer body = data::wrapDataContent(
            data::buildDataContent(*data::kindOfSymbol(symbol), directoryArchive(dir), [](data::LimbWarning, int) {
                throw std::runtime_error("the limb data of the sample must be consistent");
            }));
        fillBinary(movie, id, body);
    }
    const auto hasData = [&](uint64_t id) {
        return std::any_of(symbols.begin(), symbols.end(), [&](const Named& named) { return named.id == id; });
    };
    size_t made = 0;
    const auto kinds = vorlune_forge::resourceKinds();
    const auto dataKind =
        std::find_if(kinds.begin(), kinds.end(), [](const auto* kind) { return std::string(kind->folder) == "data"; });
    for (const uint64_t id : (*dataKind)->table) {
        if (hasData(id)) continue;
        const MadeData file = madeData(made++);
        addBinary(static_cast<uint16_t>(id), file.symbol);
        fillBinary(
            movie, id,
            data::wrapDataContent(data::buildDataContent(file.kind, file.archive, [](data::LimbWarning, int) {})));
    }

    ByteBuffer entries;
    appendU16le(entries, static_cast<uint16_t>(symbols.size()));
    for (const Named& named : symbols) {
        appendU16le(entries, named.id);
        entries.insert(entries.end(), named.symbol.begin(), named.symbol.end());
        entries.push_back(0);
    }
    size_t consumed = 0;
    movie.tags.push_back(std::make_unique<swf::Tag_SymbolClass>(headerFor(76), entries, consumed));
    movie.tags.push_back(rawTag(1, {}));  // ShowFrame
    movie.tags.push_back(rawTag(0, {}));  // End

    l18n::writeBinaryFile(output, movie.exportSwf(swf::Compression::Zlib));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sample_game <assets directory> <output movie>\n");
        return 2;
    }
    try {
        build(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_sample_game: %s\n", e.what());
        return 1;
    }
    return 0;
}
