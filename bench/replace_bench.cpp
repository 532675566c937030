// Makes what the replacement benchmark (replace_bench.sh) works on.
//
//   replace_bench sounds <movie file> <folder> [sounds] [seconds]
//     writes an uncompressed game of MP3 sounds (40 by default) at 44100 Hz
//     stereo and 128 kbit/s, each of the given length (5 s by default), and
//     into the folder a WAV file of music for each, of the same rate,
//     channels and length, named by the sound's id: the apply of the folder
//     encodes every one of them to MP3.
//   replace_bench picture <movie file> <folder> [side]
//     writes an uncompressed game of one bitmap without alpha, `side` pixels
//     square (4000 by default), and into the folder photo.jpg and photo.bmp,
//     a photograph of the same size in both, of the same pixels.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bench_movie.h"
#include "bench_pictures.h"
#include "bench_sounds.h"
#include "codecs/zlib.h"

namespace {

namespace fs = std::filesystem;

constexpr unsigned kFirstSoundId = 2000;
constexpr uint16_t kImageId = 600;

void soundGame(const std::string& movie, const fs::path& folder, unsigned count, double seconds) {
    const auto frames = static_cast<unsigned>(seconds * 44100 / 1152 + 1);
    ByteBuffer records;
    std::vector<std::pair<uint16_t, std::string>> symbols;
    for (unsigned i = 0; i < count; ++i) {
        const auto id = static_cast<uint16_t>(kFirstSoundId + i);
        appendRecord(records, 14, silentMp3SoundBody(id, frames));
        symbols.emplace_back(id, "vorlune.sfx.Sound" + std::to_string(id));
        writeFile((folder / (std::to_string(id) + ".wav")).string(), musicWav(44100, seconds, i + 1));
    }
    appendSymbolClass(records, symbols);
    writeFile(movie, finishMovie(std::move(records)));
}

// The game's bitmap is of one colour, so that the game loads fast; the
// photograph replaces every pixel of it.
void pictureGame(const std::string& movie, const fs::path& folder, unsigned side) {
    ByteBuffer pixels;
    pixels.reserve(size_t{side} * side * 4);
    for (size_t i = 0; i < size_t{side} * side; ++i) pixels.insert(pixels.end(), {0xFF, 0x40, 0x80, 0xC0});
    ByteBuffer body;
    appendU16le(body, kImageId);
    appendU8(body, 5);  // 32-bit pixels
    appendU16le(body, static_cast<uint16_t>(side));
    appendU16le(body, static_cast<uint16_t>(side));
    appendBytes(body, zlib::zlib_compress(pixels, 6));
    ByteBuffer records;
    appendRecord(records, 20, body);
    appendSymbolClass(records, {{kImageId, "vorlune.img.Backdrop"}});
    writeFile(movie, finishMovie(std::move(records)));

    const ByteBuffer rgb = photoLike(side);
    writeFile((folder / "photo.jpg").string(), jpegOf(rgb, side));
    writeFile((folder / "photo.bmp").string(), bmpOf(rgb, side));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 3 ? argv[1] : "";
    if (mode == "sounds") {
        const unsigned count = argc > 4 ? static_cast<unsigned>(std::atoi(argv[4])) : 40;
        const double seconds = argc > 5 ? std::atof(argv[5]) : 5;
        soundGame(argv[2], argv[3], count, seconds);
        return 0;
    }
    if (mode == "picture") {
        pictureGame(argv[2], argv[3], argc > 4 ? static_cast<unsigned>(std::atoi(argv[4])) : 4000);
        return 0;
    }
    std::fprintf(stderr,
                 "usage: replace_bench sounds <movie> <folder> [sounds] [seconds] | replace_bench picture <movie> "
                 "<folder> [side]\n");
    return 2;
}
