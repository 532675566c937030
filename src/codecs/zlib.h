#pragma once
// Whole-buffer zlib compression and decompression (zlib format, not raw
// deflate), with failures reported as zlib_exception.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "util/bytes.h"
#include "util/error.h"
#include "util/thread_pool.h"

namespace zlib {

class zlib_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

ByteBuffer zlib_compress(ByteView bytes, int level);
// The same for an input handed out piece by piece; the result starts with
// `prefix`, and `sizeHint` (the input's total size, when known) sizes the
// result up front.
// `progress`, when set, is told how much input was consumed of `sizeHint`.
// An input of at least kParallelMinimum bytes (by `sizeHint`) is cut into
// chunks of kParallelChunk bytes that are deflated on `threads` threads and
// joined into one zlib stream; the bytes written depend only on the input
// and `sizeHint`, never on the number of threads.
ByteBuffer zlib_compress(const ChunkSource& source, int level, size_t sizeHint, ByteBuffer prefix = {},
                         const ProgressSink& progress = {}, size_t threads = processorCount());

// Deflate cannot expand a byte into more than about 1032 bytes. Readers
// reserve no more than this for a stream, whatever size it claims, so that
// a forged length cannot reserve gigabytes for a small file.
inline constexpr size_t kMaxExpansion = 1032;

inline constexpr size_t kParallelChunk = size_t{1} << 20;
inline constexpr size_t kParallelMinimum = 2 * kParallelChunk;

// Inflates one zlib stream; bytes after the stream's end are ignored.
// The result starts with `prefix` (so that a caller needing a header before
// the inflated bytes does not copy them again). `sizeHint` reserves room for
// the expected output up front; inflation stops (without error) once
// `maxSize` bytes were produced, so a caller that knows the true size can
// refuse a stream that inflates beyond it without ever holding the excess.
ByteBuffer zlib_decompress(ByteView bytes, size_t sizeHint = 0,
                           size_t maxSize = std::numeric_limits<size_t>::max(), ByteBuffer prefix = {});

// The same for raw deflate data, without the zlib header and checksum.
ByteBuffer raw_decompress(ByteView bytes, size_t sizeHint = 0, size_t maxSize = std::numeric_limits<size_t>::max());

[[noreturn]] void zerr(int code, const std::string& where);

}  // namespace zlib
