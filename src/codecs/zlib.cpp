#include "codecs/zlib.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace zlib {
namespace {

constexpr size_t kBlockSize = 131072;
// zlib's counters are 32-bit; larger inputs are handed over in pieces.
constexpr size_t kMaxChunk = 1u << 30;

const char* const kZlibVersion = "1.2.11";

// Hands the stream its next piece of input once it has used up the last.
// `pending` is what the source handed out and zlib has not yet been given.
void offerInput(z_stream& stream, ByteView& pending, const ChunkSource* source) {
    if (stream.avail_in != 0) return;
    if (pending.empty() && source != nullptr) pending = (*source)();
    const size_t chunk = std::min(kMaxChunk, pending.size());
    stream.next_in = const_cast<Bytef*>(pending.data());
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

void dropUnusedOutput(const z_stream& stream, ByteBuffer& out) { out.resize(out.size() - stream.avail_out); }

struct DeflateEnd {
    void operator()(z_stream* s) const { deflateEnd(s); }
};
struct InflateEnd {
    void operator()(z_stream* s) const { inflateEnd(s); }
};

}  // namespace

ByteBuffer zlib_compress(ByteView bytes, int level) { return zlib_compress(singleChunk(bytes), level, bytes.size()); }

ByteBuffer zlib_compress(const ChunkSource& source, int level, size_t sizeHint, ByteBuffer prefix,
                         const ProgressSink& progress) {
    z_stream stream{};
    const int init = deflateInit_(&stream, level, kZlibVersion, static_cast<int>(sizeof(z_stream)));
    if (init != Z_OK) throw zlib_exception("zlib: deflateInit() failed with code: " + std::to_string(init));
    std::unique_ptr<z_stream, DeflateEnd> guard(&stream);

    ByteBuffer out = std::move(prefix);
    // Reserved address space is not touched until written, so reserving the
    // worst case costs nothing and spares the copies of a growing buffer.
    out.reserve(out.size() + deflateBound(&stream, static_cast<uLong>(sizeHint)));
    ByteView pending;
    offerInput(stream, pending, &source);
    offerOutputBlock(stream, out, kBlockSize);
    while (stream.avail_in != 0) {
        const int result = deflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) zerr(result, "deflate()");
        if (stream.avail_out == 0) offerOutputBlock(stream, out, kBlockSize);
        offerInput(stream, pending, &source);
        if (progress) progress(stream.total_in, sizeHint);
    }
    for (;;) {
        if (stream.avail_out == 0) offerOutputBlock(stream, out, kBlockSize);
        const int result = deflate(&stream, Z_FINISH);
        if (result == Z_OK) continue;
        if (result != Z_STREAM_END) throw zlib_exception("zlib: Stream is not complete.");
        dropUnusedOutput(stream, out);
        return out;
    }
}

ByteBuffer zlib_decompress(ByteView bytes, size_t sizeHint, size_t maxSize, ByteBuffer prefix) {
    z_stream stream{};
    const int init = inflateInit_(&stream, kZlibVersion, static_cast<int>(sizeof(z_stream)));
    if (init != Z_OK) throw zlib_exception("zlib: inflateInit() failed with code: " + std::to_string(init));
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
        result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) zerr(result, "inflate()");
        if (stream.avail_out == 0) {
            if (produced() == maxSize) return out;
            nextBlock();
        }
        offerInput(stream, pending, nullptr);
    }
    while (result != Z_STREAM_END) {
        if (stream.avail_out == 0) {
            if (produced() == maxSize) return out;
            nextBlock();
        }
        result = inflate(&stream, Z_FINISH);
        // Z_BUF_ERROR with output room left means the input ended early.
        if (result == Z_BUF_ERROR && stream.avail_out != 0) break;
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) break;
    }
    if (result != Z_STREAM_END) throw zlib_exception("zlib: Stream is not complete.");
    dropUnusedOutput(stream, out);
    return out;
}

void zerr(int code, const std::string& where) {
    const std::string prefix = "zlib: " + where;
    switch (code) {
        case Z_VERSION_ERROR: throw zlib_exception(prefix + " zlib version mismatch.");
        case Z_MEM_ERROR: throw zlib_exception(prefix + " Out of memory.");
        case Z_DATA_ERROR: throw zlib_exception(prefix + " Invalid or incomplete deflate data.");
        case Z_STREAM_ERROR: throw zlib_exception(prefix + " Invalid compression level.");
        case Z_ERRNO: throw zlib_exception(prefix + " I/O Error.");
        default:
            throw zlib_exception(prefix + " Unknown error, possibly a bug. Error code: " + std::to_string(code));
    }
}

}  // namespace zlib
