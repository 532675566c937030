#include "codecs/zlib.h"

// Input pointers are const, as the data they point at is never written.
#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

#include "util/cancellation.h"

namespace zlib {
namespace {

constexpr size_t kBlockSize = 131072;
// zlib's counters are 32-bit; larger inputs are handed over in pieces. The
// pieces are small enough that one call of deflate or inflate takes a few
// milliseconds, so that checkCancelled() between calls stops the work soon.
constexpr size_t kMaxChunk = 1u << 20;

constexpr const char* kDeflateInitFailed = N_("zlib: deflateInit() failed with code: %s");

// Hands the stream its next piece of input once it has used up the last.
// `pending` is what the source handed out and zlib has not yet been given.
void offerInput(z_stream& stream, ByteView& pending, const ChunkSource* source) {
    if (stream.avail_in != 0) return;
    if (pending.empty() && source != nullptr) pending = (*source)();
    const size_t chunk = std::min(kMaxChunk, pending.size());
    stream.next_in = pending.data();
    stream.avail_in = static_cast<uInt>(chunk);
    pending = pending.subspan(chunk);
}

// Grows `out` by one output block and points the stream at it.
void offerOutputBlock(z_stream& stream, ByteBuffer& out, size_t blockSize) {
    const size_t used = out.size();
    out.resize(used + blockSize);
    stream.next_out = out.data() + used;
    stream.avail_out = static_cast<uInt>(blockSize);
}

void dropUnusedOutput(const z_stream& stream, ByteBuffer& out) {
    out.erase(out.end() - static_cast<ptrdiff_t>(stream.avail_out), out.end());
}

struct DeflateEnd {
    void operator()(z_stream* s) const { deflateEnd(s); }
};
struct InflateEnd {
    void operator()(z_stream* s) const { inflateEnd(s); }
};

// Deflate looks back at most this far, so a chunk primed with this much of
// the input before it compresses almost as well as in one long stream.
constexpr size_t kWindowSize = 32768;
// What a sync flush may add after a chunk: an empty stored block, with the
// bits before it padded to a byte.
constexpr size_t kSyncFlushBytes = 6;

// One chunk's input, led by the window of input before it.
struct ChunkInput {
    ByteBuffer bytes;
    size_t windowSize = 0;
};

// A chunk deflated as raw deflate data, ended with a sync flush (or, for the
// last, with the final block). A failure is kept here and thrown on the
// calling thread.
struct DeflatedChunk {
    ByteBuffer bytes;
    uLong adler = 0;
    size_t inputSize = 0;
    int initResult = Z_OK;
    int deflateResult = Z_OK;
};

// Cuts the source into chunks for threads that ask for them in any order:
// each chunk is handed out only after all those before it, since the
// source's pieces can only be taken in turn.
class ChunkCutter {
public:
    ChunkCutter(const ChunkSource& source, size_t count) : source_(source), count_(count) {}

    // All of the input that is left goes to the last chunk, so that an input
    // longer than its size hint is still compressed whole.
    ChunkInput take(size_t index) {
        std::unique_lock lock(mutex_);
        turn_.wait(lock, [&] { return next_ == index || failure_; });
        if (failure_) std::rethrow_exception(failure_);
        try {
            ChunkInput chunk = cut(index + 1 == count_);
            ++next_;
            turn_.notify_all();
            return chunk;
        } catch (...) {
            failure_ = std::current_exception();
            turn_.notify_all();
            throw;
        }
    }

private:
    ChunkInput cut(bool last) {
        ChunkInput chunk;
        chunk.bytes.reserve(window_.size() + kParallelChunk);
        chunk.bytes = window_;
        chunk.windowSize = window_.size();
        size_t wanted = kParallelChunk;
        while (last || wanted != 0) {
            if (pending_.empty() && !ended_) {
                pending_ = source_();
                ended_ = pending_.empty();
            }
            if (ended_) break;
            const size_t taken = last ? pending_.size() : std::min(wanted, pending_.size());
            appendBytes(chunk.bytes, pending_.first(taken));
            pending_ = pending_.subspan(taken);
            wanted -= std::min(wanted, taken);
        }
        const size_t keep = std::min(kWindowSize, chunk.bytes.size());
        window_.assign(chunk.bytes.end() - static_cast<ptrdiff_t>(keep), chunk.bytes.end());
        return chunk;
    }

    const ChunkSource& source_;
    const size_t count_;
    std::mutex mutex_;
    std::condition_variable turn_;
    size_t next_ = 0;
    std::exception_ptr failure_;
    ByteView pending_;
    bool ended_ = false;
    ByteBuffer window_;
};

DeflatedChunk deflateChunk(const ChunkInput& input, int level, bool last) {
    DeflatedChunk chunk;
    const ByteView data = ByteView(input.bytes).subspan(input.windowSize);
    chunk.inputSize = data.size();
    chunk.adler = adler32_z(adler32(0, Z_NULL, 0), data.data(), data.size());

    z_stream stream{};
    chunk.initResult = deflateInit2_(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, ZLIB_VERSION,
                                     static_cast<int>(sizeof(z_stream)));
    if (chunk.initResult != Z_OK) return chunk;
    std::unique_ptr<z_stream, DeflateEnd> guard(&stream);
    if (input.windowSize != 0) {
        chunk.deflateResult = deflateSetDictionary(&stream, input.bytes.data(), static_cast<uInt>(input.windowSize));
        if (chunk.deflateResult != Z_OK) return chunk;
    }

    ByteView pending = data;
    offerOutputBlock(stream, chunk.bytes, deflateBound(&stream, static_cast<uLong>(data.size())) + kSyncFlushBytes);
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        if (stream.avail_out == 0) offerOutputBlock(stream, chunk.bytes, kBlockSize);
        offerInput(stream, pending, nullptr);
        const int mode = pending.empty() ? flush : Z_NO_FLUSH;
        const int result = deflate(&stream, mode);
        if (result == Z_STREAM_END) break;
        if (result != Z_OK) {
            chunk.deflateResult = result;
            return chunk;
        }
        // A sync flush is complete once zlib stops short of filling the
        // output it was given.
        if (mode == Z_SYNC_FLUSH && stream.avail_in == 0 && stream.avail_out != 0) break;
    }
    dropUnusedOutput(stream, chunk.bytes);
    return chunk;
}

// The two bytes zlib itself writes before a stream of this level: deflate
// with a 32 KiB window, the level's class, and the check bits.
void appendZlibHeader(ByteBuffer& out, int level) {
    const unsigned levelClass = level == Z_DEFAULT_COMPRESSION ? 2 : level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    unsigned header = (0x78u << 8) | (levelClass << 6);
    header += 31 - header % 31;
    appendU16be(out, static_cast<uint16_t>(header));
}

// Deflates fixed-size chunks of the input at once and joins them: each
// chunk is primed with the 32 KiB of input before it and ends with a sync
// flush, so the chunks' deflate data make one stream, closed by the last
// chunk's final block and the Adler-32 of the whole input combined from the
// chunks'.
ByteBuffer parallelCompress(const ChunkSource& source, int level, size_t sizeHint, ByteBuffer prefix,
                            const ProgressSink& progress, size_t threads) {
    const size_t count = (sizeHint + kParallelChunk - 1) / kParallelChunk;
    ByteBuffer out = std::move(prefix);
    out.reserve(out.size() + compressBound(static_cast<uLong>(sizeHint)) + count * kSyncFlushBytes);
    appendZlibHeader(out, level);
    uLong adler = adler32(0, Z_NULL, 0);
    uint64_t consumed = 0;
    ChunkCutter cutter(source, count);
    parallelOrdered<DeflatedChunk>(
        count, [&](size_t index) { return deflateChunk(cutter.take(index), level, index + 1 == count); },
        [&](size_t, DeflatedChunk&& chunk) {
            checkCancelled();
            if (chunk.initResult != Z_OK) {
                throw zlib_exception(kDeflateInitFailed, {chunk.initResult});
            }
            if (chunk.deflateResult != Z_OK) zerr(chunk.deflateResult, "deflate()");
            appendBytes(out, chunk.bytes);
            adler = adler32_combine(adler, chunk.adler, static_cast<z_off_t>(chunk.inputSize));
            consumed += chunk.inputSize;
            if (progress) progress(consumed, sizeHint);
        },
        threads);
    appendU32be(out, static_cast<uint32_t>(adler));
    return out;
}

}  // namespace

ByteBuffer zlib_compress(ByteView bytes, int level) { return zlib_compress(singleChunk(bytes), level, bytes.size()); }

ByteBuffer zlib_compress(const ChunkSource& source, int level, size_t sizeHint, ByteBuffer prefix,
                         const ProgressSink& progress, size_t threads) {
    if (sizeHint >= kParallelMinimum) {
        return parallelCompress(source, level, sizeHint, std::move(prefix), progress, threads);
    }
    z_stream stream{};
    const int init = deflateInit_(&stream, level, ZLIB_VERSION, static_cast<int>(sizeof(z_stream)));
    if (init != Z_OK) throw zlib_exception(kDeflateInitFailed, {init});
    std::unique_ptr<z_stream, DeflateEnd> guard(&stream);

    ByteBuffer out = std::move(prefix);
    // Reserved address space is not touched until written, so reserving the
    // worst case costs nothing and spares the copies of a growing buffer.
    out.reserve(out.size() + deflateBound(&stream, static_cast<uLong>(sizeHint)));
    ByteView pending;
    offerInput(stream, pending, &source);
    offerOutputBlock(stream, out, kBlockSize);
    while (stream.avail_in != 0) {
        checkCancelled();
        const int result = deflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) zerr(result, "deflate()");
        if (stream.avail_out == 0) offerOutputBlock(stream, out, kBlockSize);
        offerInput(stream, pending, &source);
        if (progress) progress(stream.total_in, sizeHint);
    }
    for (;;) {
        checkCancelled();
        if (stream.avail_out == 0) offerOutputBlock(stream, out, kBlockSize);
        const int result = deflate(&stream, Z_FINISH);
        if (result == Z_OK) continue;
        if (result != Z_STREAM_END) throw zlib_exception(N_("zlib: Stream is not complete."));
        dropUnusedOutput(stream, out);
        return out;
    }
}

namespace {

// Inflates a zlib stream (windowBits 15) or raw deflate data (-15).
ByteBuffer inflateStream(int windowBits, ByteView bytes, size_t sizeHint, size_t maxSize, ByteBuffer prefix) {
    z_stream stream{};
    const int init = inflateInit2_(&stream, windowBits, ZLIB_VERSION, static_cast<int>(sizeof(z_stream)));
    if (init != Z_OK) throw zlib_exception(N_("zlib: inflateInit() failed with code: %s"), {init});
    std::unique_ptr<z_stream, InflateEnd> guard(&stream);

    ByteBuffer out = std::move(prefix);
    const size_t start = out.size();
    if (maxSize == 0) return out;
    out.reserve(start + std::min(sizeHint, maxSize));
    auto produced = [&] { return out.size() - start; };
    auto nextBlock = [&] { offerOutputBlock(stream, out, std::min(kBlockSize, maxSize - produced())); };
    ByteView pending = bytes;
    offerInput(stream, pending, nullptr);
    nextBlock();
    // Inflate until the stream ends, the input runs out or the size limit
    // is reached; bytes after the end of the stream are never consumed.
    int result = Z_OK;
    while (stream.avail_in != 0 && result != Z_STREAM_END) {
        checkCancelled();
        result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) zerr(result, "inflate()");
        if (stream.avail_out == 0) {
            if (produced() == maxSize) return out;
            nextBlock();
        }
        offerInput(stream, pending, nullptr);
    }
    while (result != Z_STREAM_END) {
        checkCancelled();
        if (stream.avail_out == 0) {
            if (produced() == maxSize) return out;
            nextBlock();
        }
        result = inflate(&stream, Z_FINISH);
        // Z_BUF_ERROR with output room left means the input ended early.
        if (result == Z_BUF_ERROR && stream.avail_out != 0) break;
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) break;
    }
    if (result != Z_STREAM_END) throw zlib_exception(N_("zlib: Stream is not complete."));
    dropUnusedOutput(stream, out);
    return out;
}

}  // namespace

ByteBuffer zlib_decompress(ByteView bytes, size_t sizeHint, size_t maxSize, ByteBuffer prefix) {
    return inflateStream(MAX_WBITS, bytes, sizeHint, maxSize, std::move(prefix));
}

ByteBuffer raw_decompress(ByteView bytes, size_t sizeHint, size_t maxSize) {
    return inflateStream(-MAX_WBITS, bytes, sizeHint, maxSize, {});
}

void zerr(int code, const std::string& where) {
    switch (code) {
        case Z_VERSION_ERROR: throw zlib_exception(N_("zlib: %s zlib version mismatch."), {where});
        case Z_MEM_ERROR: throw zlib_exception(N_("zlib: %s Out of memory."), {where});
        case Z_DATA_ERROR: throw zlib_exception(N_("zlib: %s Invalid or incomplete deflate data."), {where});
        case Z_STREAM_ERROR: throw zlib_exception(N_("zlib: %s Invalid compression level."), {where});
        case Z_ERRNO: throw zlib_exception(N_("zlib: %s I/O Error."), {where});
        default: throw zlib_exception(N_("zlib: %s Unknown error, possibly a bug. Error code: %s"), {where, code});
    }
}

}  // namespace zlib
