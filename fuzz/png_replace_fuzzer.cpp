// Replacing a bitmap with a PNG file. A fixed movie with one
// DefineBitsLossless2 tag takes the input through the picture decoder and
// imageFromPixels, which may refuse it with one of the program's errors. A
// replaced bitmap must export as a PNG file
// of the same size whose alpha is the input's, whose opaque pixels keep
// their colours exactly (premultiplying by 255 loses nothing) and whose
// transparent ones are black; and the movie written out and reloaded must
// export the same file.
//
// The chunk checksums are recomputed before the replacement, so that a
// mutated header or palette reaches the decoder rather than failing its
// checksum. Pictures of more than a million pixels are skipped: they are
// valid, but each would take longer than the fuzzer's time limit.

#include <lodepng.h>
#include <zlib.h>

#include <cstdint>

#include "codecs/picture.h"
#include "codecs/zlib.h"
#include "fuzz_check.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"
#include "swf/swf_test_support.h"

namespace {

constexpr uint64_t kBitmapId = 1;
constexpr uint64_t kMaxPixels = uint64_t{1} << 20;

const ByteBuffer& fixedMovie() {
    static const ByteBuffer movie = [] {
        using namespace testmovie;
        const ByteBuffer pixels = zlib::zlib_compress(ByteBuffer{0xFF, 0x10, 0x20, 0x30}, 9);
        return testmovie::movie(concat({
            record(36, losslessBody(kBitmapId, 5, 1, 1, 0, pixels)),
            record(76, symbolClassBody({{kBitmapId, "Picture"}})),
            record(1, {}),
            record(0, {}),
        }));
    }();
    return movie;
}

// Every chunk that lies whole within the file gets the checksum of its type
// and data.
void fixChunkChecksums(ByteBuffer& png) {
    size_t at = 8;
    while (png.size() - at >= 12) {
        const size_t length = loadU32be(png.data() + at);
        if (length > png.size() - at - 12) break;
        const uLong crc = crc32(0, png.data() + at + 4, static_cast<uInt>(length + 4));
        uint8_t* field = png.data() + at + 8 + length;
        for (int i = 0; i < 4; ++i) field[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

bool tooLarge(const ByteBuffer& png) {
    unsigned width = 0;
    unsigned height = 0;
    lodepng::State state;
    if (lodepng_inspect(&width, &height, &state, png.data(), png.size()) != 0) return false;
    return uint64_t{width} * height > kMaxPixels;
}

struct Picture {
    ByteBuffer rgba;
    unsigned width = 0;
    unsigned height = 0;
};

Picture decode(const ByteBuffer& png) {
    Picture picture;
    const unsigned error = lodepng::decode(picture.rgba, picture.width, picture.height, png);
    fuzz::require(error == 0, "the PNG file decodes");
    return picture;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteBuffer png = fuzz::bufferOf(data, size);
    if (png.size() >= 8) fixChunkChecksums(png);
    if (tooLarge(png)) return 0;

    swf::SWF movie(fixedMovie());
    try {
        testmovie::replaceImage(movie, png, kBitmapId);
    } catch (const forge_exception&) {
        return 0;
    }

    const ByteBuffer exported = testmovie::exportedImage(movie, kBitmapId);
    const Picture in = decode(png);
    const Picture out = decode(exported);
    fuzz::require(out.width == in.width && out.height == in.height, "the exported picture has the input's size");
    fuzz::require(out.rgba.size() == in.rgba.size(), "the exported picture has as many pixels");
    for (size_t i = 0; i < in.rgba.size(); i += 4) {
        const uint8_t alpha = in.rgba[i + 3];
        fuzz::require(out.rgba[i + 3] == alpha, "every pixel keeps its alpha");
        for (size_t c = 0; c < 3; ++c) {
            if (alpha == 255) fuzz::require(out.rgba[i + c] == in.rgba[i + c], "an opaque pixel keeps its colour");
            if (alpha == 0) fuzz::require(out.rgba[i + c] == 0, "a transparent pixel turns black");
        }
    }

    swf::SWF reloaded(movie.exportSwf(swf::Compression::Uncompressed));
    fuzz::require(testmovie::exportedImage(reloaded, kBitmapId) == exported,
                  "the replaced bitmap survives writing and reloading the movie");
    return 0;
}
