#include "codecs/webp.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>

namespace picture {
namespace {

// libwebp gives a status, not a text; these are the texts of its statuses.
const char* statusText(VP8StatusCode status) {
    switch (status) {
        case VP8_STATUS_OK:
            return "no error";
        case VP8_STATUS_OUT_OF_MEMORY:
            return "out of memory";
        case VP8_STATUS_INVALID_PARAM:
            return "invalid parameter";
        case VP8_STATUS_BITSTREAM_ERROR:
            return "bitstream error";
        case VP8_STATUS_UNSUPPORTED_FEATURE:
            return "unsupported feature";
        case VP8_STATUS_SUSPENDED:
            return "suspended";
        case VP8_STATUS_USER_ABORT:
            return "user abort";
        case VP8_STATUS_NOT_ENOUGH_DATA:
            return "not enough data";
    }
    return "unknown status";
}

[[noreturn]] void refuse(VP8StatusCode status) { throw undecodable(PictureFormat::WebP, statusText(status)); }

struct DeleteDecoder {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

void decodeStill(ByteView file, Picture& picture) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) refuse(VP8_STATUS_INVALID_PARAM);
    config.output.colorspace = MODE_RGBA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = picture.rgba.data();
    config.output.u.RGBA.stride = static_cast<int>(picture.width * 4);
    config.output.u.RGBA.size = picture.rgba.size();
    const VP8StatusCode status = WebPDecode(file.data(), file.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) refuse(status);
}

// The animation decoder composes each frame on the canvas; it gives no
// reason when it fails.
void decodeFirstFrame(ByteView file, Picture& picture) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) refuse(VP8_STATUS_INVALID_PARAM);
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const WebPData data{file.data(), file.size()};
    const std::unique_ptr<WebPAnimDecoder, DeleteDecoder> decoder(WebPAnimDecoderNew(&data, &options));
    if (!decoder) refuse(VP8_STATUS_BITSTREAM_ERROR);
    WebPAnimInfo info{};
    if (!WebPAnimDecoderGetInfo(decoder.get(), &info) || info.canvas_width != picture.width ||
        info.canvas_height != picture.height) {
        refuse(VP8_STATUS_BITSTREAM_ERROR);
    }
    uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp)) refuse(VP8_STATUS_BITSTREAM_ERROR);
    std::memcpy(picture.rgba.data(), frame, picture.rgba.size());
}

}  // namespace

Picture decodeWebp(ByteView file) {
    WebPBitstreamFeatures features;
    if (const VP8StatusCode status = WebPGetFeatures(file.data(), file.size(), &features); status != VP8_STATUS_OK) {
        refuse(status);
    }
    checkPictureSize(static_cast<uint64_t>(features.width), static_cast<uint64_t>(features.height));
    Picture picture{static_cast<unsigned>(features.width), static_cast<unsigned>(features.height), {}};
    picture.rgba.resize(size_t{picture.width} * picture.height * 4);
    if (features.has_animation) {
        decodeFirstFrame(file, picture);
    } else {
        decodeStill(file, picture);
    }
    return picture;
}

}  // namespace picture
