// Prints how exporting every bitmap of a large generated game as PNG
// compares with bare lodepng encodes (deflated by zlib, as the program's
// are) of the same pixels, already converted:
// the difference is what inflating the bitmaps, converting their pixels and
// our own checks cost on top of the PNG encoder.
//
//   image_bench [bitmaps] [movie file]
//
// With a movie file, the generated game is also written there, for timing
// the program's own export of every image.

#include <lodepng.h>
#include <time.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench_images.h"
#include "bench_movie.h"
#include "bench_timing.h"
#include "codecs/zlib.h"
#include "swf/bitmap_pixels.h"
#include "codecs/png.h"
#include "swf/swf.h"

using namespace benchimages;

namespace {

// One bitmap as the bare encoder gets it: converted pixels and the settings.
struct Prepared {
    ByteBuffer pixels;
    unsigned width = 0;
    unsigned height = 0;
    lodepng::State state;
};

Prepared prepare(const swf::Tag_DefineBitsLossless& image) {
    Prepared out;
    out.width = image.bitmapWidth;
    out.height = image.bitmapHeight;
    const ByteBuffer inflated = zlib::zlib_decompress(image.data);
    if (image.bitmapFormat() != swf::BitmapFormat::ColourMapped) {
        out.pixels = inflated;
        if (image.isLossless2) {
            swf::unpremultiply(out.pixels);
        } else {
            swf::opaqueToRgba(out.pixels);
        }
        return out;
    }
    const size_t entry = image.isLossless2 ? 4 : 3;
    const size_t tableSize = (image.bitmapColorTableSize + 1u) * entry;
    for (size_t i = 0; i < tableSize; i += entry) {
        const uint8_t* c = inflated.data() + i;
        const uint8_t alpha = image.isLossless2 ? c[3] : 255;
        lodepng_palette_add(&out.state.info_png.color, c[0], c[1], c[2], alpha);
        lodepng_palette_add(&out.state.info_raw, c[0], c[1], c[2], alpha);
    }
    out.state.info_png.color.colortype = out.state.info_raw.colortype = LCT_PALETTE;
    out.state.info_png.color.bitdepth = out.state.info_raw.bitdepth = 8;
    out.state.encoder.auto_convert = 0;
    out.pixels =
        swf::collectPaletteIndices(ByteView(inflated).subspan(tableSize), out.width, size_t{out.width} * out.height);
    return out;
}

// The program's PNG files are deflated by zlib at its own level, in place of
// lodepng's own deflate; the bare encodes are deflated the same way.
unsigned zlibDeflate(unsigned char** out, size_t* outSize, const unsigned char* in, size_t inSize,
                     const LodePNGCompressSettings*) {
    uLongf size = compressBound(static_cast<uLong>(inSize));
    *out = static_cast<unsigned char*>(std::malloc(size));
    if (*out == nullptr || compress2(*out, &size, in, static_cast<uLong>(inSize), png::kPngDeflateLevel) != Z_OK)
        return 1;
    *outSize = size;
    return 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned count = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 200;
    ByteBuffer movie = generateGame(count);
    if (argc > 2) writeFile(argv[2], movie);
    swf::SWF game(std::move(movie));
    const std::vector<swf::Tag_DefineBitsLossless*> images = game.tagsOfKind<swf::Tag_DefineBitsLossless>();
    size_t streams = 0;
    size_t pixelBytes = 0;
    std::vector<Prepared> prepared;
    for (const auto* image : images) {
        streams += image->data.size();
        prepared.push_back(prepare(*image));
        pixelBytes += prepared.back().pixels.size();
    }
    std::printf("game: %zu bitmaps, %.1f MB of zlib streams, %.1f MB of converted pixels\n", images.size(),
                streams / 1048576.0, pixelBytes / 1048576.0);

    size_t ourBytes = 0;
    size_t bareBytes = 0;
    const auto exportAll = [&] {
        ourBytes = 0;
        for (const auto* image : images) ourBytes += swf::imageToPng(*image).size();
    };
    const auto encodeAll = [&] {
        bareBytes = 0;
        for (Prepared& p : prepared) {
            ByteBuffer png;
            p.state.encoder.zlibsettings.custom_zlib = zlibDeflate;
            const unsigned error = lodepng::encode(png, p.pixels, p.width, p.height, p.state);
            if (error != 0) std::abort();
            bareBytes += png.size();
        }
    };
    // Medians of alternating runs, so that machine noise falls on both alike.
    std::vector<double> ours, bare;
    for (int i = 0; i < 3; ++i) {
        ours.push_back(seconds(exportAll));
        bare.push_back(seconds(encodeAll));
    }
    if (ourBytes != bareBytes) {
        std::printf("PNG sizes differ: %zu vs %zu bytes\n", ourBytes, bareBytes);
        return 1;
    }
    std::printf("%-44s %8.3f s  vs %8.3f s  ratio %.3f\n", "imageToPng of every bitmap vs lodepng (CPU)", median(ours),
                median(bare), median(ours) / median(bare));
    std::printf("PNG output: %.1f MB\n", ourBytes / 1048576.0);
    return 0;
}
