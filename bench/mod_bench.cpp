// Makes what the whole-mod benchmark (mod_bench.sh) works on.
//
//   mod_bench game <movie file> [images] [data megabytes]
//     writes an uncompressed game of every kind of resource: the eight
//     stages, MP3 sounds, lossless bitmaps (200 by default) and a data file
//     for every data id (40 MB inflated by default; sprites and backgrounds
//     of at most 512 KB), each with a symbol name.
//   mod_bench change <folder>
//     changes every image and every data file of a folder of exported
//     resources: one bit of every pixel, one member of each data file's
//     first document.

#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "amf/amf0.h"
#include "bench_data_files.h"
#include "bench_images.h"
#include "bench_movie.h"
#include "console/l18n_files.h"

namespace {

namespace fs = std::filesystem;

constexpr uint16_t kStageIds[] = {234, 219, 398, 226, 299, 305, 454, 170};
constexpr unsigned kSounds = 24;
constexpr unsigned kSoundFrames = 300;
constexpr unsigned kFirstSoundId = 2000;
constexpr unsigned kFirstImageId = 1000;

// A stage of about 40 KB of XML.
ByteBuffer stage(uint16_t id) {
    std::string xml = "<?xml version=\"1.0\"?>\n<stage id=\"" + std::to_string(id) + "\">\n";
    for (int i = 0; xml.size() < 40000; ++i) {
        xml += "  <platform x=\"" + std::to_string(i * 37 % 4000) + "\" y=\"" + std::to_string(i * 13 % 900) +
               "\" tile=\"" + std::to_string(i % 17) + "\"/>\n";
    }
    xml += "</stage>\n";
    return ByteBuffer(xml.begin(), xml.end());
}

ByteBuffer game(unsigned images, size_t dataBytes) {
    ByteBuffer records;
    std::vector<std::pair<uint16_t, std::string>> symbols;
    for (const uint16_t id : kStageIds) {
        ByteBuffer body;
        appendU16le(body, id);
        appendU32le(body, 0);
        appendBytes(body, stage(id));
        appendRecord(records, 87, body);
        symbols.emplace_back(id, "vorlune.stage.Stage" + std::to_string(id));
    }
    for (unsigned i = 0; i < kSounds; ++i) {
        const auto id = static_cast<uint16_t>(kFirstSoundId + i);
        appendRecord(records, 14, silentMp3SoundBody(id, kSoundFrames));
        symbols.emplace_back(id, "vorlune.sfx.Sound" + std::to_string(id));
    }
    benchimages::appendImageRecords(records, images, kFirstImageId);
    for (unsigned i = 0; i < images; ++i) {
        symbols.emplace_back(kFirstImageId + i, "vorlune.img.Image" + std::to_string(kFirstImageId + i));
    }
    // A sprite or background description is one document, which a
    // conversion holds whole as JSON; the game's are small.
    benchdata::appendDataRecords(records, benchdata::generateGameSet(dataBytes, 512 << 10), symbols);
    appendSymbolClass(records, symbols);
    return finishMovie(std::move(records));
}

void changeImage(const fs::path& path) {
    std::vector<unsigned char> pixels;
    unsigned width = 0;
    unsigned height = 0;
    if (lodepng::decode(pixels, width, height, path.string()) != 0) std::abort();
    for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] ^= 1;
    if (lodepng::encode(path.string(), pixels, width, height) != 0) std::abort();
}

// A data file is exported as a folder of its entries: the first document in
// the order of the names gains a member.
void changeDataFolder(const fs::path& path) {
    std::vector<fs::path> documents;
    for (const auto& entry : fs::directory_iterator(path)) {
        if (entry.path().extension() == ".json") documents.push_back(entry.path());
    }
    if (documents.empty()) return;
    const fs::path first = *std::min_element(documents.begin(), documents.end());
    ByteBuffer bytes;
    l18n::readBinaryFile(first.string(), bytes);
    swf::JsonDocument document = swf::AMF0::parseDocument(std::string(bytes.begin(), bytes.end()));
    document.begin().value()["benchEdit"] = 1;
    std::ofstream(first) << document.dump(4);
}

void change(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder / "images")) changeImage(entry.path());
    for (const auto& entry : fs::directory_iterator(folder / "data")) changeDataFolder(entry.path());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "game") {
        const unsigned images = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 200;
        const size_t megabytes = argc > 4 ? static_cast<size_t>(std::atoi(argv[4])) : 40;
        writeFile(argv[2], game(images, megabytes << 20));
        return 0;
    }
    if (mode == "change") {
        change(argv[2]);
        return 0;
    }
    std::fprintf(stderr, "usage: mod_bench game <movie> [images] [data megabytes] | mod_bench change <folder>\n");
    return 2;
}
