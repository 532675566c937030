#include "swf/conversion_advice.h"

#include <array>

#include "util/file_types.h"

namespace swf {
namespace {

struct Advice {
    bool (*recognises)(const std::vector<uint8_t>& bytes);
    const char* reason;
};

constexpr std::array<Advice, 4> kImageAdvice = {{
    {hasJPEGstart, N_("The file is a JPEG image, not a PNG file; convert it first, for example with ImageMagick: "
                      "convert in.jpg out.png")},
    {isGIFfile, N_("The file is a GIF image, not a PNG file; convert it first, for example with ImageMagick: "
                   "convert in.gif out.png")},
    {isBMPfile, N_("The file is a BMP image, not a PNG file; convert it first, for example with ImageMagick: "
                   "convert in.bmp out.png")},
    {isWebPfile, N_("The file is a WebP image, not a PNG file; convert it first, for example with ImageMagick: "
                    "convert in.webp out.png")},
}};

constexpr std::array<Advice, 4> kSoundAdvice = {{
    {isWAVfile, N_("The file is a WAV sound, not an MP3 file; convert it first, for example with: "
                   "lame in.wav out.mp3")},
    {isOggfile, N_("The file is an Ogg sound, not an MP3 file; convert it first, for example with: "
                   "ffmpeg -i in.ogg -ar 44100 out.mp3")},
    {isFLACfile, N_("The file is a FLAC sound, not an MP3 file; convert it first, for example with: "
                    "ffmpeg -i in.flac -ar 44100 out.mp3")},
    {isAACfile, N_("The file is an AAC sound, not an MP3 file; convert it first, for example with: "
                   "ffmpeg -i in.m4a -ar 44100 out.mp3")},
}};

template <size_t N>
const char* adviceFor(const ByteBuffer& bytes, const std::array<Advice, N>& table) {
    for (const Advice& row : table) {
        if (row.recognises(bytes)) return row.reason;
    }
    return nullptr;
}

}  // namespace

swf_exception notPngError(const ByteBuffer& bytes) {
    if (const char* reason = adviceFor(bytes, kImageAdvice)) return swf_exception(kNotPng, {}, swf_exception(reason));
    return swf_exception(kNotPng);
}

swf_exception notMp3Error(const ByteBuffer& bytes, const std::exception& reason) {
    if (const char* advice = adviceFor(bytes, kSoundAdvice)) return swf_exception(kNotMp3, {}, swf_exception(advice));
    return swf_exception(kNotMp3, {}, reason);
}

}  // namespace swf
