#pragma once
// Whole-buffer LZMA compression and decompression, with failures reported
// as lzmasdk_exception.

#include <lzma.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "util/bytes.h"
#include "util/error.h"

namespace lzmasdk {

class lzmasdk_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

// The encoder settings every movie is written with: lc 3, lp 0, pb 2, an
// 8 MiB dictionary, the normal mode with the bt4 match finder and 128 fast
// bytes.
lzma_options_lzma encoderOptions();

// The 5 properties bytes (5D 00 00 80 00) followed by an LZMA stream that
// ends with the end-of-stream marker, of an input handed out piece by
// piece; the result starts with `prefix`, and `sizeHint` (the input's total
// size, when known) sizes the result up front.
// `progress`, when set, is told how much input was consumed of `sizeHint`.
ByteBuffer lzmasdk_compress(const ChunkSource& source, size_t sizeHint, ByteBuffer prefix = {},
                            const ProgressSink& progress = {});

// LZMA data led by its 5 properties bytes, which must end with the
// end-of-stream marker. The result starts with `prefix`. Decoding stops
// (without error) once `maxSize` bytes were produced; the dictionary is
// never larger than that limit needs, so a forged dictionary size cannot
// make the decoder reserve gigabytes.
ByteBuffer lzmasdk_decompress(ByteView bytes, size_t sizeHint = 0, size_t maxSize = std::numeric_limits<size_t>::max(),
                              ByteBuffer prefix = {});

}  // namespace lzmasdk
