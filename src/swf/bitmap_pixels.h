#pragma once
// Pixel conversions between the game's lossless bitmaps and PNG images. The
// game stores direct-colour pixels as (A, R, G, B) with the colours
// premultiplied by alpha (or (X, R, G, B) without alpha); PNG images hold
// straight (R, G, B, A). Each function works in place on whole 4-byte
// pixels: a trailing partial pixel is left alone, never read past.

#include <cstddef>
#include <cstdint>
#include <span>

#include "util/bytes.h"

namespace swf {

// One colour channel stored premultiplied by `alpha`, as the exported image
// shows it. Computed in single precision and truncated, keeping the low 8
// bits, so the results match the images the game's tools have always
// produced (colour 64 at alpha 128 gives 127, colour 1 at alpha 1 gives
// 254). A colour at alpha 0 is kept as stored.
uint8_t unpremultiplyChannel(uint8_t colour, uint8_t alpha);

// (X, R, G, B) of an opaque bitmap to (R, G, B, 255).
void opaqueToRgba(std::span<uint8_t> pixels);

// Premultiplied (A, R, G, B) to straight (R, G, B, A).
void unpremultiply(std::span<uint8_t> pixels);

// Straight (R, G, B, A) to (A, R, G, B) with each colour replaced by
// (A × colour) / 255, truncated. Without `keepAlpha` (a bitmap that has no
// alpha) the first byte becomes 0; the colours are premultiplied all the
// same, so transparent parts come out dark rather than revealing colours
// the picture hid.
void premultiply(std::span<uint8_t> pixels, bool keepAlpha);

// The straight (R, G, B, 255) pixels of a 15-bit bitmap whose rows of
// `width` 16-bit pixels (a spare bit, then 5 bits each of red, green and
// blue, most significant first) are each padded to a multiple of 4 bytes.
// Each 5-bit channel is widened to 8 bits as (v << 3) | (v >> 2), so that
// its darkest and brightest stay black and white. Returns fewer pixels when
// `rows` ends early.
ByteBuffer fifteenBitToRgba(ByteView rows, size_t width, size_t height);

// The colour indices of a colour-mapped bitmap whose rows of `width` bytes
// are each padded to a multiple of 4 bytes (the last row's padding may be
// missing). Returns at most `count` indices: fewer when `rows` ends early.
ByteBuffer collectPaletteIndices(ByteView rows, size_t width, size_t count);

}  // namespace swf
