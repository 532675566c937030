// The pixel conversions between the game's bitmaps and PNG images.

#include <gtest/gtest.h>

#include "swf/bitmap_pixels.h"

namespace {

TEST(ImagesPixels, UnpremultiplyingMatchesTheKnownResults) {
    struct Case {
        uint8_t colour, alpha, shown;
    };
    // Single precision and truncation make several results one below the
    // exact quotient; results beyond 255 keep their low 8 bits.
    const Case cases[] = {
        {64, 128, 127}, {128, 128, 254}, {0, 128, 0},    {1, 1, 254},     {100, 128, 199},
        {50, 128, 99},  {25, 128, 49},   {7, 255, 7},    {255, 255, 255}, {0, 255, 0},
        {77, 0, 77},    {255, 0, 255},   {200, 100, 254}, {255, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(swf::unpremultiplyChannel(c.colour, c.alpha), c.shown)
            << "colour " << int(c.colour) << " alpha " << int(c.alpha);
    }
}

TEST(ImagesPixels, EveryStoredColourComesBackDarkerAtMostByOne) {
    // A colour premultiplied and un-premultiplied again comes back
    // unchanged when opaque; otherwise as the exact quotient of what was
    // stored, or one below it (never wrapped past 255).
    for (unsigned alpha = 1; alpha < 256; ++alpha) {
        for (unsigned colour = 0; colour < 256; ++colour) {
            ByteBuffer pixel = {static_cast<uint8_t>(colour), 0, 0, static_cast<uint8_t>(alpha)};
            swf::premultiply(pixel, true);
            const unsigned exact = pixel[1] * 255u / alpha;
            swf::unpremultiply(pixel);
            ASSERT_TRUE(pixel[0] == exact || pixel[0] + 1u == exact) << colour << " at " << alpha;
            ASSERT_LE(pixel[0], colour);
            if (alpha == 255) {
                ASSERT_EQ(pixel[0], colour);
            }
            ASSERT_EQ(pixel[3], alpha);
        }
    }
}

TEST(ImagesPixels, PixelsAreReorderedAndATrailingPartialPixelIsLeftAlone) {
    struct Case {
        const char* name;
        void (*convert)(std::span<uint8_t>);
        ByteBuffer in, out;
    };
    const Case cases[] = {
        {"opaque", swf::opaqueToRgba, {9, 1, 2, 3, 0, 4, 5, 6, 7, 8}, {1, 2, 3, 255, 4, 5, 6, 255, 7, 8}},
        {"premultiplied", swf::unpremultiply, {255, 1, 2, 3, 128, 64, 0, 128, 5, 6, 7},
         {1, 2, 3, 255, 127, 0, 254, 128, 5, 6, 7}},
        {"straight to stored", [](std::span<uint8_t> p) { swf::premultiply(p, true); },
         {200, 100, 50, 128, 1, 2, 3, 255, 1, 2, 3, 0, 1, 2, 3, 128, 9},
         {128, 100, 50, 25, 255, 1, 2, 3, 0, 0, 0, 0, 128, 0, 1, 1, 9}},  // truncated, not rounded
        {"straight to stored without alpha", [](std::span<uint8_t> p) { swf::premultiply(p, false); },
         {200, 100, 50, 128, 1, 2, 3, 255, 1, 2, 3, 0}, {0, 100, 50, 25, 0, 1, 2, 3, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        ByteBuffer pixels = c.in;
        c.convert(pixels);
        EXPECT_EQ(pixels, c.out) << c.name;
    }
}

TEST(ImagesPixels, PaletteIndicesSkipTheRowPadding) {
    // Each row holds its column numbers; padding bytes are 0xEE.
    for (size_t width = 1; width <= 9; ++width) {
        for (const bool lastPadding : {true, false}) {
            SCOPED_TRACE("width " + std::to_string(width));
            ByteBuffer rows;
            ByteBuffer expected;
            for (size_t y = 0; y < 3; ++y) {
                for (size_t x = 0; x < width; ++x) rows.push_back(static_cast<uint8_t>(x));
                for (size_t x = 0; x < width; ++x) expected.push_back(static_cast<uint8_t>(x));
                if (y < 2 || lastPadding) rows.insert(rows.end(), (4 - width % 4) % 4, 0xEE);
            }
            EXPECT_EQ(swf::collectPaletteIndices(rows, width, 3 * width), expected);
            // Fewer wanted: the rest is not read; more wanted: what is there.
            EXPECT_EQ(swf::collectPaletteIndices(rows, width, width + 1),
                      ByteBuffer(expected.begin(), expected.begin() + width + 1));
            EXPECT_EQ(swf::collectPaletteIndices(rows, width, 10 * width), expected);
        }
    }
    EXPECT_EQ(swf::collectPaletteIndices(ByteBuffer{1, 2, 3}, 0, 100), ByteBuffer{});
    // A row cut short in the middle gives what it has.
    EXPECT_EQ(swf::collectPaletteIndices(ByteBuffer{1, 2, 3, 4, 5, 0xEE, 0xEE, 0xEE, 6, 7}, 5, 100),
              (ByteBuffer{1, 2, 3, 4, 5, 6, 7}));
}

}  // namespace
