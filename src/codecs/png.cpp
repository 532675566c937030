#include "codecs/png.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "codecs/picture.h"
#include "codecs/zlib.h"
#include "util/byte_cursor.h"

namespace png {
namespace {

constexpr const char* kEncoderError = N_("PNG encoder error (%s): %s");
constexpr const char* kDecoderError = N_("PNG decoder error (%s): %s");
constexpr const char* kDamaged = N_("PNG decoder error (%s): the file is truncated or damaged:");

// What failed inside a hook: lodepng is C code that an exception must not
// pass through, so the hook keeps it and returns an error code, and the
// caller throws it once lodepng has returned. lodepng hands the hooks their
// context as a const pointer; the failure is what they record there.
struct HookFailure {
    mutable std::exception_ptr failure;
};

const HookFailure& failureOf(const void* context) { return *static_cast<const HookFailure*>(context); }

// Hands the bytes to lodepng after the `*outSize` it already holds at
// `*out`, in memory it frees with lodepng_free (free).
unsigned handOver(const ByteBuffer& bytes, unsigned char** out, size_t* outSize) {
    const size_t size = *outSize + bytes.size();
    auto* joined = static_cast<unsigned char*>(std::realloc(*out, std::max<size_t>(size, 1)));
    if (joined == nullptr) return 83;  // lodepng's "memory allocation failed"
    if (!bytes.empty()) std::memcpy(joined + *outSize, bytes.data(), bytes.size());
    *out = joined;
    *outSize = size;
    return 0;
}

// Only the deflate data is inflated here: lodepng reads the zlib header and
// checks the checksum itself, so a file is taken exactly when lodepng alone
// would take it. Its settings bound what the data may inflate to; more than
// that is refused, as lodepng refuses it.
unsigned inflateHook(unsigned char** out, size_t* outSize, const unsigned char* in, size_t inSize,
                     const LodePNGDecompressSettings* settings) {
    try {
        const size_t limit = settings->max_output_size != 0 ? settings->max_output_size : SIZE_MAX - 1;
        // Image data seldom inflates to more than a few times its size; the
        // buffer grows beyond this when it does.
        const size_t hint = std::min(limit, inSize > SIZE_MAX / 8 ? SIZE_MAX : inSize * 8);
        const ByteBuffer inflated = zlib::raw_decompress(ByteView(in, inSize), hint, limit + 1);
        if (inflated.size() > limit) {
            *outSize = inflated.size();
            return 1;
        }
        return handOver(inflated, out, outSize);
    } catch (...) {
        failureOf(settings->custom_context).failure = std::current_exception();
        return 1;
    }
}

// One zlib stream, as zlib alone makes it: no size is given, which keeps the
// wrapper from cutting a large picture into chunks deflated at once (the
// pictures of an export are converted at once already).
unsigned deflateHook(unsigned char** out, size_t* outSize, const unsigned char* in, size_t inSize,
                     const LodePNGCompressSettings* settings) {
    try {
        return handOver(zlib::zlib_compress(singleChunk(ByteView(in, inSize)), kPngDeflateLevel, 0), out, outSize);
    } catch (...) {
        failureOf(settings->custom_context).failure = std::current_exception();
        return 1;
    }
}

void useZlib(lodepng::State& state, HookFailure& failure) {
    state.decoder.zlibsettings.custom_inflate = inflateHook;
    state.decoder.zlibsettings.custom_context = &failure;
    state.encoder.zlibsettings.custom_zlib = deflateHook;
    state.encoder.zlibsettings.custom_context = &failure;
}

constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Whether the chunks of the file stop before its IEND chunk, or run past
// its end. Bytes that do not start with the signature are no PNG file, and
// so not one cut short.
bool isCutShort(ByteView file) {
    ByteCursor<png_exception> cursor(file, 0, N_("PNG file"));
    try {
        const ByteView signature = cursor.bytes(8, N_("signature"));
        if (!std::equal(signature.begin(), signature.end(), std::begin(kPngSignature))) return false;
        for (;;) {
            const uint32_t length = cursor.u32be(N_("chunk length"));
            const ByteView type = cursor.bytes(4, N_("chunk type"));
            cursor.skip(length, N_("chunk data"));
            cursor.skip(4, N_("chunk CRC"));
            if (std::equal(type.begin(), type.end(), "IEND")) return false;
        }
    } catch (const png_exception&) {
        return true;
    }
}

std::string codecText(unsigned code) { return lodepng_error_text(code); }

// A failure inside zlib or Ctrl-C comes first: lodepng only knows that its
// hook failed.
png_exception decoderError(unsigned code, ByteView file, const HookFailure& hook) {
    if (hook.failure) {
        try {
            std::rethrow_exception(hook.failure);
        } catch (const std::exception& e) {
            return png_exception(kDamaged, {code}, e);
        }
    }
    if (isCutShort(file)) return png_exception(kDamaged, {code}, forge_exception(Message(codecText(code))));
    return png_exception(kDecoderError, {code, codecText(code)});
}

// The largest image data a picture of this size can have: 8 bytes a pixel
// (16-bit RGBA) and a filter byte a row, for each of the 7 passes of an
// interlaced one at most.
size_t imageDataBound(const PngSize& size) {
    return size_t{size.width} * size.height * 8 + 7 * (size_t{size.height} + 8);
}

}  // namespace

PngSize inspectPng(ByteView file) {
    PngSize size;
    lodepng::State header;
    const unsigned error = lodepng_inspect(&size.width, &size.height, &header, file.data(), file.size());
    if (error != 0) throw decoderError(error, file, HookFailure{});
    return size;
}

ByteBuffer decodePng(ByteView file) {
    const PngSize size = inspectPng(file);
    picture::checkPictureSize(size.width, size.height);
    lodepng::State state;
    HookFailure hook;
    useZlib(state, hook);
    state.decoder.zlibsettings.max_output_size = imageDataBound(size);
    ByteBuffer pixels;
    unsigned width = 0;
    unsigned height = 0;
    const unsigned error = lodepng::decode(pixels, width, height, state, file.data(), file.size());
    if (error != 0) throw decoderError(error, file, hook);
    return pixels;
}

ByteBuffer encodePng(const ByteBuffer& pixels, unsigned width, unsigned height, lodepng::State state) {
    HookFailure hook;
    useZlib(state, hook);
    ByteBuffer png;
    const unsigned error = lodepng::encode(png, pixels, width, height, state);
    if (hook.failure) std::rethrow_exception(hook.failure);
    if (error != 0) throw pngEncoderError(error);
    return png;
}

png_exception pngEncoderError(unsigned code) { return png_exception(kEncoderError, {code, codecText(code)}); }

}  // namespace png
