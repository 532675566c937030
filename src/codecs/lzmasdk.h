#pragma once
// Whole-buffer LZMA compression and LZMA/LZMA2 decompression, with failures
// reported as lzmasdk_exception.

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

// The 5 properties bytes (5D 00 00 80 00) followed by an LZMA stream that
// ends with the end-of-stream marker.
ByteBuffer lzmasdk_compress(ByteView bytes);
// The same for an input handed out piece by piece; the result starts with
// `prefix`, and `sizeHint` (the input's total size, when known) sizes the
// result up front.
// `progress`, when set, is told how much input was consumed of `sizeHint`.
ByteBuffer lzmasdk_compress(const ChunkSource& source, size_t sizeHint, ByteBuffer prefix = {},
                            const ProgressSink& progress = {});

// Mode 0: LZMA data led by its 5 properties bytes, which must end with the
// end-of-stream marker. Any other mode: LZMA2 data led by its 1 properties
// byte. The result starts with `prefix`. Decoding stops (without error) once
// `maxSize` bytes were produced; the dictionary is never larger than that
// limit needs, so a forged dictionary size cannot make the decoder reserve
// gigabytes.
ByteBuffer lzmasdk_decompress(ByteView bytes, int mode, size_t sizeHint = 0,
                              size_t maxSize = std::numeric_limits<size_t>::max(), ByteBuffer prefix = {});

}  // namespace lzmasdk
