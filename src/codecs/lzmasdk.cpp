#include "codecs/lzmasdk.h"

#include <lzma.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "LzmaDec.h"
#include "LzmaEnc.h"

namespace lzmasdk {
namespace {

constexpr size_t kBlockSize = 131072;
constexpr uint32_t kMinDictionary = 1u << 12;

void* allocate(void*, size_t size) { return std::malloc(size); }
void release(void*, void* address) { std::free(address); }
ISzAlloc g_alloc = {allocate, release};

// Input stream over a chunk source: each read hands over what is asked for
// or what is left of the current piece, whichever is smaller; 0 bytes at the
// end.
struct ChunkInStream {
    ISeqInStream vtable;
    const ChunkSource* source;
    ByteView pending;
};

SRes readFromChunks(void* p, void* buf, size_t* size) {
    auto* self = static_cast<ChunkInStream*>(p);
    if (self->pending.empty()) self->pending = (*self->source)();
    const size_t n = std::min(*size, self->pending.size());
    if (n != 0) std::memcpy(buf, self->pending.data(), n);
    self->pending = self->pending.subspan(n);
    *size = n;
    return SZ_OK;
}

// Output stream that appends every block to a byte buffer.
struct BufferOutStream {
    ISeqOutStream vtable;
    ByteBuffer* out;
};

size_t appendToBuffer(void* p, const void* buf, size_t size) {
    auto* self = static_cast<BufferOutStream*>(p);
    const auto* bytes = static_cast<const uint8_t*>(buf);
    self->out->insert(self->out->end(), bytes, bytes + size);
    return size;
}

// Hands the encoder's progress reports on to a progress sink.
struct ProgressReport {
    ICompressProgress vtable;
    const ProgressSink* sink;
    uint64_t total;
};

SRes reportProgress(void* p, UInt64 inSize, UInt64) {
    const auto* self = static_cast<ProgressReport*>(p);
    (*self->sink)(inSize, self->total);
    return SZ_OK;
}

struct EncoderDeleter {
    void operator()(void* handle) const { LzmaEnc_Destroy(handle, &g_alloc, &g_alloc); }
};

[[noreturn]] void fail(const std::string& what, int code) {
    throw lzmasdk_exception("lzma sdk: " + what + std::to_string(code));
}

[[noreturn]] void dataError() { throw lzmasdk_exception("lzma sdk: Data error during decompression."); }

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

ByteBuffer decompressLzma(ByteView bytes, Output out) {
    if (bytes.size() < LZMA_PROPS_SIZE) fail("Incorrect stream properties: ", SZ_ERROR_UNSUPPORTED);
    uint8_t props[LZMA_PROPS_SIZE];
    std::memcpy(props, bytes.data(), LZMA_PROPS_SIZE);
    storeU32le(props + 1, boundedDictionary(loadU32le(props + 1), out.maxSize));

    CLzmaDec decoder;
    LzmaDec_Construct(&decoder);
    const SRes allocated = LzmaDec_Allocate(&decoder, props, LZMA_PROPS_SIZE, &g_alloc);
    if (allocated != SZ_OK) fail("Incorrect stream properties: ", allocated);
    std::unique_ptr<CLzmaDec, void (*)(CLzmaDec*)> guard(&decoder, [](CLzmaDec* d) { LzmaDec_Free(d, &g_alloc); });
    LzmaDec_Init(&decoder);

    ByteBuffer block(kBlockSize);
    ByteView input = bytes.subspan(LZMA_PROPS_SIZE);
    while (!out.full()) {
        SizeT produced = out.nextLimit();
        SizeT consumed = input.size();
        ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
        const SRes result =
            LzmaDec_DecodeToBuf(&decoder, block.data(), &produced, input.data(), &consumed, LZMA_FINISH_ANY, &status);
        input = input.subspan(consumed);
        if (result != SZ_OK) {
            if (status == LZMA_STATUS_NEEDS_MORE_INPUT) dataError();
            fail("Error while decompressing: ", result);
        }
        out.bytes.insert(out.bytes.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(produced));
        if (status == LZMA_STATUS_FINISHED_WITH_MARK) return std::move(out.bytes);
        if (status == LZMA_STATUS_NEEDS_MORE_INPUT) dataError();
        // The input ran out where a stream without end marker could end:
        // no progress is possible, and the marker is required.
        if (produced == 0 && consumed == 0) dataError();
    }
    return std::move(out.bytes);
}

// Dictionary size coded in the LZMA2 properties byte.
bool lzma2Dictionary(uint8_t prop, uint32_t& dictionary) {
    if (prop > 40) return false;
    dictionary = prop == 40 ? 0xFFFFFFFFu : (2u | (prop & 1u)) << (prop / 2 + 11);
    return true;
}

int sdkCode(lzma_ret ret) {
    switch (ret) {
        case LZMA_MEM_ERROR: return SZ_ERROR_MEM;
        case LZMA_OPTIONS_ERROR: return SZ_ERROR_UNSUPPORTED;
        case LZMA_DATA_ERROR: return SZ_ERROR_DATA;
        default: return SZ_ERROR_FAIL;
    }
}

ByteBuffer decompressLzma2(ByteView bytes, Output out) {
    lzma_options_lzma options{};
    uint32_t dictionary = 0;
    if (bytes.empty() || !lzma2Dictionary(bytes[0], dictionary)) fail("Incorrect stream properties: ", SZ_ERROR_UNSUPPORTED);
    options.dict_size = boundedDictionary(dictionary, out.maxSize);
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};

    lzma_stream stream = LZMA_STREAM_INIT;
    const lzma_ret init = lzma_raw_decoder(&stream, filters);
    if (init != LZMA_OK) fail("Incorrect stream properties: ", sdkCode(init));
    std::unique_ptr<lzma_stream, void (*)(lzma_stream*)> guard(&stream, lzma_end);

    stream.next_in = bytes.data() + 1;
    stream.avail_in = bytes.size() - 1;
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
        if (ret != LZMA_OK) fail("Error while decompressing: ", sdkCode(ret));
    }
    return std::move(buffer);
}

}  // namespace

ByteBuffer lzmasdk_compress(ByteView bytes) { return lzmasdk_compress(singleChunk(bytes), bytes.size()); }

ByteBuffer lzmasdk_compress(const ChunkSource& source, size_t sizeHint, ByteBuffer prefix,
                            const ProgressSink& progress) {
    std::unique_ptr<void, EncoderDeleter> encoder(LzmaEnc_Create(&g_alloc));
    if (!encoder) throw lzmasdk_exception("lzma sdk: no memory.");

    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.dictSize = 1u << 23;
    props.lc = 3;
    props.lp = 0;
    props.pb = 2;
    props.algo = 2;
    props.fb = 128;
    props.writeEndMark = 1;
    props.numThreads = 2;
    LzmaEncProps_Normalize(&props);
    const SRes set = LzmaEnc_SetProps(encoder.get(), &props);
    if (set != SZ_OK) fail("Could not set encoder properties: ", set);

    ByteBuffer out = std::move(prefix);
    const size_t start = out.size();
    // The stream rarely outgrows its input by much; reserving that much up
    // front (untouched until written) spares the copies of a growing buffer.
    out.reserve(start + sizeHint + sizeHint / 64 + 1024);
    out.resize(start + LZMA_PROPS_SIZE);
    SizeT propsSize = LZMA_PROPS_SIZE;
    LzmaEnc_WriteProperties(encoder.get(), out.data() + start, &propsSize);

    ChunkInStream input{{readFromChunks}, &source, {}};
    BufferOutStream output{{appendToBuffer}, &out};
    ProgressReport report{{reportProgress}, &progress, sizeHint};
    const SRes encoded = LzmaEnc_Encode(encoder.get(), &output.vtable, &input.vtable,
                                        progress ? &report.vtable : nullptr, &g_alloc, &g_alloc);
    if (encoded != SZ_OK) fail("Error during compressing: ", encoded);
    return out;
}

ByteBuffer lzmasdk_decompress(ByteView bytes, int mode, size_t sizeHint, size_t maxSize, ByteBuffer prefix) {
    Output out(std::move(prefix), sizeHint, maxSize);
    return mode == 0 ? decompressLzma(bytes, std::move(out)) : decompressLzma2(bytes, std::move(out));
}

}  // namespace lzmasdk
