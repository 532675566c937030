#pragma once
// Generated lossless bitmaps whose pixels compress as game art does, and a
// game that holds them, for the benchmarks.

#include <random>
#include <vector>

#include "bench_movie.h"
#include "codecs/zlib.h"

// Each benchmark program includes this in one file only.
namespace benchimages {

// Picture-like content: smooth gradients with some noise, which compress as
// game art does, neither trivially nor not at all.
uint8_t sample(unsigned x, unsigned y, unsigned channel, std::mt19937& random) {
    return static_cast<uint8_t>((x * (channel + 1) + y * (3 - channel)) / 2 + random() % 8);
}

ByteBuffer directPixels(unsigned width, unsigned height, bool withAlpha, std::mt19937& random) {
    ByteBuffer pixels;
    pixels.reserve(size_t{width} * height * 4);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const uint8_t alpha = withAlpha ? static_cast<uint8_t>(x < width / 4 ? 0 : 128 + (x + y) % 128) : 0;
            pixels.push_back(alpha);
            for (unsigned c = 0; c < 3; ++c) {
                const uint8_t colour = sample(x, y, c, random);
                // Premultiplied: never above alpha.
                pixels.push_back(withAlpha ? static_cast<uint8_t>(colour * alpha / 255) : colour);
            }
        }
    }
    return pixels;
}

ByteBuffer colourMappedPixels(unsigned width, unsigned height, bool withAlpha, std::mt19937& random) {
    ByteBuffer pixels;
    for (unsigned i = 0; i < 256; ++i) {
        pixels.insert(pixels.end(),
                      {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2)});
        if (withAlpha) pixels.push_back(static_cast<uint8_t>(i | 0x80));
    }
    const unsigned stride = (width + 3) / 4 * 4;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < stride; ++x) pixels.push_back(x < width ? sample(x, y, 0, random) : 0);
    }
    return pixels;
}

// The records of `count` bitmaps of both codes and formats, of ids from
// `firstId` on.
void appendImageRecords(ByteBuffer& records, unsigned count, unsigned firstId = 1) {
    std::mt19937 random(7);
    for (unsigned id = firstId; id < firstId + count; ++id) {
        const bool lossless2 = id % 2 == 0;
        const bool colourMapped = id % 3 == 0;
        const unsigned width = 32 + random() % 481;
        const unsigned height = 32 + random() % 481;
        const ByteBuffer pixels = colourMapped ? colourMappedPixels(width, height, lossless2, random)
                                               : directPixels(width, height, lossless2, random);
        ByteBuffer body;
        appendU16le(body, static_cast<uint16_t>(id));
        appendU8(body, colourMapped ? 3 : 5);
        appendU16le(body, static_cast<uint16_t>(width));
        appendU16le(body, static_cast<uint16_t>(height));
        if (colourMapped) appendU8(body, 255);
        appendBytes(body, zlib::zlib_compress(pixels, 6));
        appendRecord(records, lossless2 ? 36 : 20, body);
    }
}

ByteBuffer generateGame(unsigned count) {
    ByteBuffer records;
    appendImageRecords(records, count);
    return finishMovie(std::move(records));
}

}  // namespace benchimages
