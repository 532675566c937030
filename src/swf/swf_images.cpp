// Lossless bitmaps (DefineBitsLossless and DefineBitsLossless2) to PNG files
// and back.

#include "swf/swf.h"

#include <lodepng.h>

#include <algorithm>
#include <string>

#include "codecs/zlib.h"
#include "swf/bitmap_pixels.h"
#include "swf/conversion_advice.h"
#include "swf/png_codec.h"
#include "util/file_types.h"

namespace swf {
namespace {

constexpr uint8_t kColourMapped = 3;
constexpr uint8_t kFifteenBit = 4;
constexpr uint8_t kDirectColour = 5;

// The largest inflate/deflate ratio zlib can reach is about 1032:1; no more
// than this is reserved for a stream, whatever sizes its tag claims.
constexpr size_t kMaxInflateRatio = 1032;

size_t paddedRowSize(size_t rowBytes) { return (rowBytes + 3) / 4 * 4; }

// Only DefineBitsLossless has 15-bit pixels; DefineBitsLossless2 reads every
// format but the colour-mapped one as 32-bit pixels.
bool isFifteenBit(const Tag_DefineBitsLossless& image) {
    return image.bitmapFormat == kFifteenBit && !image.isLossless2;
}

// Bytes of the inflated bitmap that the picture can use; anything beyond
// them is never shown, so inflating stops there.
size_t bitmapDataSize(const Tag_DefineBitsLossless& image) {
    const size_t width = image.bitmapWidth;
    const size_t height = image.bitmapHeight;
    if (image.bitmapFormat == kColourMapped) {
        const size_t tableEntry = image.isLossless2 ? 4 : 3;
        return (image.bitmapColorTableSize + 1u) * tableEntry + paddedRowSize(width) * height;
    }
    if (isFifteenBit(image)) return paddedRowSize(width * 2) * height;
    return width * height * 4;
}

ByteBuffer inflateBitmap(const Tag_DefineBitsLossless& image) {
    const size_t expected = bitmapDataSize(image);
    const size_t hint = std::min(expected, image.data.size() * kMaxInflateRatio + 64);
    return zlib::zlib_decompress(image.data, hint, expected);
}

// Pixels too few for the picture are refused with the encoder's own
// message, but before the encoder is called: it is never handed a buffer
// shorter than width x height says.
constexpr unsigned kImageTooSmall = 84;

void requirePixels(size_t available, size_t needed) {
    if (available < needed) throw pngEncoderError(kImageTooSmall);
}

ByteBuffer encodeDirectColour(const Tag_DefineBitsLossless& image, ByteBuffer& pixels) {
    if (pixels.size() % 4 != 0) {
        throw swf_exception(N_("Bitmap data of %s bytes is not a whole number of 4-byte pixels."), {pixels.size()});
    }
    const unsigned width = image.bitmapWidth;
    const unsigned height = image.bitmapHeight;
    requirePixels(pixels.size(), size_t{width} * height * 4);
    if (image.isLossless2) {
        unpremultiply(pixels);
    } else {
        opaqueToRgba(pixels);
    }
    return encodePng(pixels, width, height);
}

ByteBuffer encodeColourMapped(const Tag_DefineBitsLossless& image, const ByteBuffer& bitmap) {
    const size_t entries = image.bitmapColorTableSize + 1u;
    const size_t entrySize = image.isLossless2 ? 4 : 3;
    const size_t tableSize = entries * entrySize;
    if (bitmap.size() < tableSize) {
        throw swf_exception(N_("Bitmap data of %s bytes is shorter than its colour table of %s colours."),
                            {bitmap.size(), entries});
    }
    const unsigned width = image.bitmapWidth;
    const unsigned height = image.bitmapHeight;
    const size_t pixelCount = size_t{width} * height;
    const ByteBuffer indices = collectPaletteIndices(ByteView(bitmap).subspan(tableSize), width, pixelCount);
    requirePixels(indices.size(), pixelCount);

    // The table becomes the PNG's palette as it is, and the encoder is kept
    // from choosing another colour type, so that the indices stay valid.
    lodepng::State state;
    for (size_t i = 0; i < tableSize; i += entrySize) {
        const uint8_t* c = bitmap.data() + i;
        const uint8_t alpha = image.isLossless2 ? c[3] : 255;
        if (lodepng_palette_add(&state.info_png.color, c[0], c[1], c[2], alpha) != 0 ||
            lodepng_palette_add(&state.info_raw, c[0], c[1], c[2], alpha) != 0) {
            throw swf_exception(N_("Out of memory for the palette."));
        }
    }
    state.info_png.color.colortype = LCT_PALETTE;
    state.info_png.color.bitdepth = 8;
    state.info_raw.colortype = LCT_PALETTE;
    state.info_raw.bitdepth = 8;
    state.encoder.auto_convert = 0;
    return encodePng(indices, width, height, state);
}

// Straight (R, G, B, A) pixels with any alpha below 255.
bool hasTransparency(const ByteBuffer& rgba) {
    for (size_t i = 3; i < rgba.size(); i += 4) {
        if (rgba[i] != 255) return true;
    }
    return false;
}

}  // namespace

ByteBuffer SWF::exportImage(uint64_t id) {
    const Tag_DefineBitsLossless* image = &tagWithId<Tag_DefineBitsLossless>(id);
    ByteBuffer bitmap = inflateBitmap(*image);
    // The encoder would write a file with a zero size, which no PNG reader
    // accepts.
    if (image->bitmapWidth == 0 || image->bitmapHeight == 0) {
        throw swf_exception(N_("Bitmap of %sx%s pixels has no picture."), {image->bitmapWidth, image->bitmapHeight});
    }
    if (image->bitmapFormat == kColourMapped) return encodeColourMapped(*image, bitmap);
    if (isFifteenBit(*image)) {
        throw swf_exception(N_("Exporting image for 'DefineBitsLossless' format 4 is not implemented."));
    }
    return encodeDirectColour(*image, bitmap);
}

// A bitmap of code 20 stores no alpha: `droppedAlpha`, when given, tells
// whether the picture had transparent pixels that it lost.
void SWF::replaceImg(const ByteBuffer& bytes, uint64_t id, bool* droppedAlpha) {
    Tag_DefineBitsLossless& image = tagWithId<Tag_DefineBitsLossless>(id);
    if (!isPNGfile(bytes)) throw notPngError(bytes);

    // The size is known from the header before anything is decoded, so a
    // picture too large for the tag is refused without decoding it.
    const auto [width, height] = inspectPng(bytes);
    constexpr unsigned kMaxSide = 65535;
    if (width > kMaxSide || height > kMaxSide) {
        throw swf_exception(N_("PNG image of %sx%s pixels is too large: images can be at most 65535 pixels wide and high."),
                            {width, height});
    }

    ByteBuffer pixels = decodePng(bytes);
    const bool dropsAlpha = !image.isLossless2 && hasTransparency(pixels);
    premultiply(pixels, image.isLossless2);
    ByteBuffer deflated = zlib::zlib_compress(pixels, 9);

    // Every check is behind us: the tag changes only now.
    image.bitmapFormat = kDirectColour;
    image.bitmapWidth = static_cast<uint16_t>(width);
    image.bitmapHeight = static_cast<uint16_t>(height);
    image.data = std::move(deflated);
    if (droppedAlpha != nullptr) *droppedAlpha = dropsAlpha;
}

}  // namespace swf
