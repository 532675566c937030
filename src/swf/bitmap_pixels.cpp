#include "swf/bitmap_pixels.h"

#include <algorithm>
#include <array>

namespace swf {
namespace {

// Every (alpha, colour) pair, so that a large bitmap costs a table look-up
// per channel instead of a division.
using UnpremultiplyTable = std::array<uint8_t, 256 * 256>;

const UnpremultiplyTable& unpremultiplyTable() {
    static const UnpremultiplyTable table = [] {
        UnpremultiplyTable built{};
        for (unsigned alpha = 0; alpha < 256; ++alpha) {
            for (unsigned colour = 0; colour < 256; ++colour) {
                built[alpha * 256 + colour] =
                    unpremultiplyChannel(static_cast<uint8_t>(colour), static_cast<uint8_t>(alpha));
            }
        }
        return built;
    }();
    return table;
}

}  // namespace

uint8_t unpremultiplyChannel(uint8_t colour, uint8_t alpha) {
    const float a = static_cast<float>(alpha) / 255.0f;
    if (a == 0.0f) return colour;
    // Up to 255 × 255 before the low byte is taken, so the int never
    // overflows.
    return static_cast<uint8_t>(static_cast<int>(static_cast<float>(colour) / a));
}

void opaqueToRgba(std::span<uint8_t> pixels) {
    const size_t end = pixels.size() / 4 * 4;
    for (size_t i = 0; i < end; i += 4) {
        uint8_t* p = pixels.data() + i;
        p[0] = p[1];
        p[1] = p[2];
        p[2] = p[3];
        p[3] = 255;
    }
}

void unpremultiply(std::span<uint8_t> pixels) {
    const UnpremultiplyTable& table = unpremultiplyTable();
    const size_t end = pixels.size() / 4 * 4;
    for (size_t i = 0; i < end; i += 4) {
        uint8_t* p = pixels.data() + i;
        const uint8_t alpha = p[0];
        const uint8_t* row = table.data() + alpha * 256;
        p[0] = row[p[1]];
        p[1] = row[p[2]];
        p[2] = row[p[3]];
        p[3] = alpha;
    }
}

void premultiply(std::span<uint8_t> pixels, bool keepAlpha) {
    const size_t end = pixels.size() / 4 * 4;
    for (size_t i = 0; i < end; i += 4) {
        uint8_t* p = pixels.data() + i;
        const unsigned alpha = p[3];
        p[3] = static_cast<uint8_t>(alpha * p[2] / 255);
        p[2] = static_cast<uint8_t>(alpha * p[1] / 255);
        p[1] = static_cast<uint8_t>(alpha * p[0] / 255);
        p[0] = keepAlpha ? static_cast<uint8_t>(alpha) : 0;
    }
}

ByteBuffer collectPaletteIndices(ByteView rows, size_t width, size_t count) {
    ByteBuffer indices;
    if (width == 0) return indices;
    indices.reserve(std::min(count, rows.size()));
    const size_t stride = (width + 3) / 4 * 4;
    for (size_t rowStart = 0; rowStart < rows.size() && indices.size() < count; rowStart += stride) {
        const size_t take = std::min({width, rows.size() - rowStart, count - indices.size()});
        indices.insert(indices.end(), rows.begin() + rowStart, rows.begin() + rowStart + take);
    }
    return indices;
}

ByteBuffer fifteenBitToRgba(ByteView rows, size_t width, size_t height) {
    ByteBuffer rgba;
    const size_t stride = (width * 2 + 3) / 4 * 4;
    rgba.reserve(std::min(width * height, rows.size() / 2) * 4);
    const auto widened = [](unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); };
    for (size_t row = 0; row < height; ++row) {
        const size_t rowStart = row * stride;
        for (size_t x = 0; x < width && rowStart + x * 2 + 1 < rows.size(); ++x) {
            const unsigned pixel = unsigned{rows[rowStart + x * 2]} << 8 | rows[rowStart + x * 2 + 1];
            rgba.insert(rgba.end(),
                        {widened(pixel >> 10 & 0x1F), widened(pixel >> 5 & 0x1F), widened(pixel & 0x1F), 255});
        }
    }
    return rgba;
}

}  // namespace swf
