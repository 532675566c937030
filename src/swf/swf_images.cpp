// Lossless bitmaps (DefineBitsLossless and DefineBitsLossless2) to PNG files
// and back.

#include <lodepng.h>

#include <algorithm>
#include <array>
#include <string>

#include "codecs/png.h"
#include "codecs/zlib.h"
#include "swf/bitmap_pixels.h"
#include "swf/swf.h"
#include "util/file_types.h"

namespace swf {
namespace {

size_t paddedRowSize(size_t rowBytes) { return (rowBytes + 3) / 4 * 4; }

// How the inflated bitmap holds its pixels. Only DefineBitsLossless has
// 15-bit pixels; a DefineBitsLossless2, and a format the program does not
// know, holds 32-bit pixels.
BitmapFormat layoutOf(const Tag_DefineBitsLossless& image) {
    const std::optional<BitmapFormat> format = image.bitmapFormat();
    if (!format) return BitmapFormat::Rgb32;
    switch (*format) {
        case BitmapFormat::ColourMapped:
            return BitmapFormat::ColourMapped;
        case BitmapFormat::Rgb15:
            return image.isLossless2 ? BitmapFormat::Rgb32 : BitmapFormat::Rgb15;
        case BitmapFormat::Rgb32:
            return BitmapFormat::Rgb32;
    }
    return BitmapFormat::Rgb32;
}

// Bytes of the inflated bitmap that the picture can use; anything beyond
// them is never shown, so inflating stops there.
size_t bitmapDataSize(const Tag_DefineBitsLossless& image) {
    const size_t width = image.bitmapWidth;
    const size_t height = image.bitmapHeight;
    switch (layoutOf(image)) {
        case BitmapFormat::ColourMapped: {
            const size_t tableEntry = image.isLossless2 ? 4 : 3;
            return (image.bitmapColorTableSize + 1u) * tableEntry + paddedRowSize(width) * height;
        }
        case BitmapFormat::Rgb15:
            return paddedRowSize(width * 2) * height;
        case BitmapFormat::Rgb32:
            return width * height * 4;
    }
    return width * height * 4;
}

ByteBuffer inflateBitmap(const Tag_DefineBitsLossless& image) {
    const size_t expected = bitmapDataSize(image);
    const size_t hint = std::min(expected, image.data.size() * zlib::kMaxExpansion + 64);
    return zlib::zlib_decompress(image.data, hint, expected);
}

// Pixels too few for the picture are refused with the encoder's own
// message, but before the encoder is called: it is never handed a buffer
// shorter than width x height says.
constexpr unsigned kImageTooSmall = 84;

void requirePixels(size_t available, size_t needed) {
    if (available < needed) throw png::pngEncoderError(kImageTooSmall);
}

// The stored pixels of a direct-colour bitmap, in place, as straight
// (R, G, B, A).
void toStraightRgba(const Tag_DefineBitsLossless& image, ByteBuffer& pixels) {
    if (pixels.size() % 4 != 0) {
        throw swf_exception(N_("Bitmap data of %s bytes is not a whole number of 4-byte pixels."), {pixels.size()});
    }
    requirePixels(pixels.size(), size_t{image.bitmapWidth} * image.bitmapHeight * 4);
    if (image.isLossless2) {
        unpremultiply(pixels);
    } else {
        opaqueToRgba(pixels);
    }
}

ByteBuffer encodeDirectColour(const Tag_DefineBitsLossless& image, ByteBuffer& pixels) {
    toStraightRgba(image, pixels);
    return png::encodePng(pixels, image.bitmapWidth, image.bitmapHeight);
}

// A colour-mapped bitmap: its colour table as (R, G, B, A) entries, and
// its pixels' indices into it.
struct ColourMappedPixels {
    std::vector<std::array<uint8_t, 4>> palette;
    ByteBuffer indices;
};

ColourMappedPixels colourMappedPixels(const Tag_DefineBitsLossless& image, const ByteBuffer& bitmap) {
    const size_t entries = image.bitmapColorTableSize + 1u;
    const size_t entrySize = image.isLossless2 ? 4 : 3;
    const size_t tableSize = entries * entrySize;
    if (bitmap.size() < tableSize) {
        throw swf_exception(N_("Bitmap data of %s bytes is shorter than its colour table of %s colours."),
                            {bitmap.size(), entries});
    }
    const size_t pixelCount = size_t{image.bitmapWidth} * image.bitmapHeight;
    ColourMappedPixels mapped;
    mapped.indices = collectPaletteIndices(ByteView(bitmap).subspan(tableSize), image.bitmapWidth, pixelCount);
    requirePixels(mapped.indices.size(), pixelCount);
    for (size_t i = 0; i < tableSize; i += entrySize) {
        const uint8_t* c = bitmap.data() + i;
        mapped.palette.push_back({c[0], c[1], c[2], image.isLossless2 ? c[3] : uint8_t{255}});
    }
    return mapped;
}

ByteBuffer encodeColourMapped(const Tag_DefineBitsLossless& image, const ByteBuffer& bitmap) {
    const ColourMappedPixels mapped = colourMappedPixels(image, bitmap);
    const ByteBuffer& indices = mapped.indices;
    const unsigned width = image.bitmapWidth;
    const unsigned height = image.bitmapHeight;

    // The table becomes the PNG's palette as it is, and the encoder is kept
    // from choosing another colour type, so that the indices stay valid.
    lodepng::State state;
    for (const auto& [r, g, b, alpha] : mapped.palette) {
        if (lodepng_palette_add(&state.info_png.color, r, g, b, alpha) != 0 ||
            lodepng_palette_add(&state.info_raw, r, g, b, alpha) != 0) {
            throw swf_exception(N_("Out of memory for the palette."));
        }
    }
    state.info_png.color.colortype = LCT_PALETTE;
    state.info_png.color.bitdepth = 8;
    state.info_raw.colortype = LCT_PALETTE;
    state.info_raw.bitdepth = 8;
    state.encoder.auto_convert = 0;
    return png::encodePng(indices, width, height, state);
}

// Straight (R, G, B, A) pixels with any alpha below 255.
bool hasTransparency(const ByteBuffer& rgba) {
    for (size_t i = 3; i < rgba.size(); i += 4) {
        if (rgba[i] != 255) return true;
    }
    return false;
}

// The encoder would write a file with a zero size, which no PNG reader
// accepts.
void requirePicture(const Tag_DefineBitsLossless& image) {
    if (image.bitmapWidth == 0 || image.bitmapHeight == 0) {
        throw swf_exception(N_("Bitmap of %sx%s pixels has no picture."), {image.bitmapWidth, image.bitmapHeight});
    }
}

// The straight pixels of a 15-bit bitmap, refused when too few.
ByteBuffer fifteenBitPixels(const Tag_DefineBitsLossless& image, const ByteBuffer& bitmap) {
    ByteBuffer rgba = fifteenBitToRgba(bitmap, image.bitmapWidth, image.bitmapHeight);
    requirePixels(rgba.size(), size_t{image.bitmapWidth} * image.bitmapHeight * 4);
    return rgba;
}

}  // namespace

ByteBuffer imageToPng(const Tag_DefineBitsLossless& image) {
    ByteBuffer bitmap = inflateBitmap(image);
    requirePicture(image);
    switch (layoutOf(image)) {
        case BitmapFormat::ColourMapped:
            return encodeColourMapped(image, bitmap);
        case BitmapFormat::Rgb15:
            return png::encodePng(fifteenBitPixels(image, bitmap), image.bitmapWidth, image.bitmapHeight);
        case BitmapFormat::Rgb32:
            return encodeDirectColour(image, bitmap);
    }
    return encodeDirectColour(image, bitmap);
}

ByteBuffer imagePixels(const Tag_DefineBitsLossless& image) {
    ByteBuffer bitmap = inflateBitmap(image);
    requirePicture(image);
    switch (layoutOf(image)) {
        case BitmapFormat::ColourMapped: {
            const ColourMappedPixels mapped = colourMappedPixels(image, bitmap);
            ByteBuffer rgba;
            rgba.reserve(mapped.indices.size() * 4);
            for (const uint8_t index : mapped.indices) {
                // An index beyond the table shows as transparent black, as
                // PNG readers show it.
                static constexpr std::array<uint8_t, 4> kNone = {0, 0, 0, 0};
                const auto& colour = index < mapped.palette.size() ? mapped.palette[index] : kNone;
                rgba.insert(rgba.end(), colour.begin(), colour.end());
            }
            return rgba;
        }
        case BitmapFormat::Rgb15:
            return fifteenBitPixels(image, bitmap);
        case BitmapFormat::Rgb32:
            break;
    }
    toStraightRgba(image, bitmap);
    bitmap.resize(size_t{image.bitmapWidth} * image.bitmapHeight * 4);
    return bitmap;
}

std::unique_ptr<Tag_DefineBitsLossless> imageFromPixels(picture::Picture picture, const Tag_DefineBitsLossless& image,
                                                        bool* droppedAlpha) {
    ByteBuffer& pixels = picture.rgba;
    const bool dropsAlpha = !image.isLossless2 && hasTransparency(pixels);
    premultiply(pixels, image.isLossless2);
    ByteBuffer deflated = zlib::zlib_compress(pixels, 9);

    auto replacement = std::make_unique<Tag_DefineBitsLossless>(image);
    replacement->bitmapFormatNumber = numberOf(BitmapFormat::Rgb32);
    replacement->bitmapWidth = static_cast<uint16_t>(picture.width);
    replacement->bitmapHeight = static_cast<uint16_t>(picture.height);
    replacement->data = std::move(deflated);
    if (droppedAlpha != nullptr) *droppedAlpha = dropsAlpha;
    return replacement;
}

}  // namespace swf
