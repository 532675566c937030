#include "codecs/lzmasdk.h"

#include <algorithm>
#include <memory>

namespace lzmasdk {
namespace {

constexpr size_t kBlockSize = 131072;
constexpr size_t kPropsSize = 5;
constexpr uint32_t kMinDictionary = 1u << 12;
// The encoder takes its input in slices of this size, so that the input it
// has consumed, which is what progress reports, follows the encoding.
constexpr size_t kInputSlice = 1u << 18;

// The error numbers that the messages have always carried: readers of old
// logs and the tests know them.
constexpr int kErrorData = 1;
constexpr int kErrorMemory = 2;
constexpr int kErrorUnsupported = 4;
constexpr int kErrorFail = 11;

// `id` is a message id that takes the error code.
[[noreturn]] void fail(const char* id, int code) { throw lzmasdk_exception(id, {code}); }

[[noreturn]] void dataError() { throw lzmasdk_exception(N_("lzma sdk: Data error during decompression.")); }

int errorCode(lzma_ret ret) {
    switch (ret) {
        case LZMA_MEM_ERROR:
            return kErrorMemory;
        case LZMA_OPTIONS_ERROR:
            return kErrorUnsupported;
        case LZMA_DATA_ERROR:
            return kErrorData;
        default:
            return kErrorFail;
    }
}

using StreamGuard = std::unique_ptr<lzma_stream, void (*)(lzma_stream*)>;

// A dictionary never needs to be larger than the output it may produce.
uint32_t boundedDictionary(uint32_t dictionary, size_t maxSize) {
    const size_t bound = std::max<size_t>(maxSize, kMinDictionary);
    return bound < dictionary ? static_cast<uint32_t>(bound) : dictionary;
}

// Output collected after a caller's prefix, up to a size limit.
struct Output {
    ByteBuffer bytes;
    size_t start;
    size_t maxSize;

    Output(ByteBuffer prefix, size_t sizeHint, size_t limit)
        : bytes(std::move(prefix)), start(bytes.size()), maxSize(limit) {
        bytes.reserve(start + std::min(sizeHint, limit));
    }
    size_t produced() const { return bytes.size() - start; }
    bool full() const { return produced() >= maxSize; }
    size_t nextLimit() const { return std::min(kBlockSize, maxSize - produced()); }
};

// Runs a raw decoder over the whole input until its end marker, or until
// the output limit is reached. Input that
// ends before that is a data error: with no size known, the end marker is
// the only way a stream may end.
ByteBuffer decodeRaw(const lzma_filter* filters, ByteView input, Output out) {
    lzma_stream stream = LZMA_STREAM_INIT;
    const lzma_ret init = lzma_raw_decoder(&stream, filters);
    if (init != LZMA_OK) fail(N_("lzma sdk: Incorrect stream properties: %s"), errorCode(init));
    StreamGuard guard(&stream, lzma_end);

    stream.next_in = input.data();
    stream.avail_in = input.size();
    ByteBuffer& buffer = out.bytes;
    while (!out.full()) {
        const size_t used = buffer.size();
        buffer.resize(used + out.nextLimit());
        stream.next_out = buffer.data() + used;
        stream.avail_out = buffer.size() - used;
        const lzma_ret ret = lzma_code(&stream, LZMA_FINISH);
        buffer.resize(buffer.size() - stream.avail_out);
        if (ret == LZMA_STREAM_END) return std::move(buffer);
        if (ret == LZMA_BUF_ERROR) dataError();
        if (ret != LZMA_OK) fail(N_("lzma sdk: Error while decompressing: %s"), errorCode(ret));
    }
    return std::move(buffer);
}

// LZMA: the properties byte (pb * 5 + lp) * 9 + lc, then the dictionary
// size, 32 bits little-endian.
ByteBuffer decompressLzma(ByteView bytes, Output out) {
    if (bytes.size() < kPropsSize || bytes[0] >= 9 * 5 * 5)
        fail(N_("lzma sdk: Incorrect stream properties: %s"), kErrorUnsupported);
    lzma_options_lzma options{};
    options.lc = bytes[0] % 9;
    options.lp = bytes[0] / 9 % 5;
    options.pb = bytes[0] / 45;
    options.dict_size = std::max(boundedDictionary(loadU32le(bytes.data() + 1), out.maxSize), kMinDictionary);
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    return decodeRaw(filters, bytes.subspan(kPropsSize), std::move(out));
}

}  // namespace

lzma_options_lzma encoderOptions() {
    lzma_options_lzma options{};
    options.dict_size = 1u << 23;
    options.lc = 3;
    options.lp = 0;
    options.pb = 2;
    options.mode = LZMA_MODE_NORMAL;
    options.nice_len = 128;
    options.mf = LZMA_MF_BT4;
    options.depth = 0;
    return options;
}

// The raw LZMA encoder knows no uncompressed size, so it always ends the
// stream with the end-of-stream marker.
ByteBuffer lzmasdk_compress(const ChunkSource& source, size_t sizeHint, ByteBuffer prefix,
                            const ProgressSink& progress) {
    lzma_options_lzma options = encoderOptions();
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};

    lzma_stream stream = LZMA_STREAM_INIT;
    const lzma_ret init = lzma_raw_encoder(&stream, filters);
    if (init == LZMA_MEM_ERROR) throw lzmasdk_exception(N_("lzma sdk: no memory."));
    if (init != LZMA_OK) fail(N_("lzma sdk: Could not set encoder properties: %s"), errorCode(init));
    StreamGuard guard(&stream, lzma_end);

    ByteBuffer out = std::move(prefix);
    const size_t start = out.size();
    // The stream rarely outgrows its input by much; reserving that much up
    // front (untouched until written) spares the copies of a growing buffer.
    out.reserve(start + sizeHint + sizeHint / 64 + 1024);
    out.resize(start + kPropsSize);
    const lzma_ret props = lzma_properties_encode(filters, out.data() + start);
    if (props != LZMA_OK) fail(N_("lzma sdk: Could not set encoder properties: %s"), errorCode(props));

    ByteView piece;
    bool ended = false;
    for (;;) {
        if (stream.avail_in == 0 && !ended) {
            if (piece.empty()) piece = source();
            ended = piece.empty();
            const size_t n = std::min(piece.size(), kInputSlice);
            stream.next_in = piece.data();
            stream.avail_in = n;
            piece = piece.subspan(n);
        }
        const size_t used = out.size();
        out.resize(used + kBlockSize);
        stream.next_out = out.data() + used;
        stream.avail_out = kBlockSize;
        const lzma_ret ret = lzma_code(&stream, ended ? LZMA_FINISH : LZMA_RUN);
        out.resize(out.size() - stream.avail_out);
        if (ret == LZMA_STREAM_END) break;
        if (ret != LZMA_OK) fail(N_("lzma sdk: Error during compressing: %s"), errorCode(ret));
        if (progress) progress(stream.total_in, sizeHint);
    }
    return out;
}

ByteBuffer lzmasdk_decompress(ByteView bytes, size_t sizeHint, size_t maxSize, ByteBuffer prefix) {
    return decompressLzma(bytes, Output(std::move(prefix), sizeHint, maxSize));
}

}  // namespace lzmasdk
