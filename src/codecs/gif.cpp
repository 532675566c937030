#include "codecs/gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "util/cancellation.h"

namespace picture {
namespace {

struct MemoryInput {
    ByteView bytes;
    size_t position = 0;
};

int readInput(GifFileType* gif, GifByteType* out, int count) {
    auto& input = *static_cast<MemoryInput*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), input.bytes.size() - input.position);
    if (n > 0) std::memcpy(out, input.bytes.data() + input.position, n);
    input.position += n;
    return static_cast<int>(n);
}

struct Close {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifHandle = std::unique_ptr<GifFileType, Close>;

[[noreturn]] void refuse(int error) {
    const char* reason = GifErrorString(error);
    throw undecodable(PictureFormat::Gif, reason != nullptr ? reason : "error " + std::to_string(error));
}

// The transparent colour a Graphics Control Extension sets for the image
// after it; other extensions are passed over.
void readExtension(GifFileType* gif, int& transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) refuse(gif->Error);
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
        GraphicsControlBlock control{};
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_ERROR) refuse(gif->Error);
        transparent = control.TransparentColor;
    }
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) refuse(gif->Error);
    }
}

// The rows of an interlaced image come in four passes.
struct Pass {
    int first;
    int step;
};
constexpr std::array<Pass, 4> kInterlacedPasses = {{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
constexpr std::array<Pass, 1> kProgressivePass = {{{0, 1}}};

Picture readFirstImage(GifFileType* gif, int transparent) {
    if (DGifGetImageDesc(gif) == GIF_ERROR) refuse(gif->Error);
    const GifImageDesc& image = gif->Image;
    const ColorMapObject* colours = image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap;
    if (colours == nullptr || colours->Colors == nullptr) {
        throw undecodable(PictureFormat::Gif, picture_exception(N_("Its first image has no colour table.")));
    }
    if (image.Left < 0 || image.Top < 0 || image.Width <= 0 || image.Height <= 0) {
        throw undecodable(PictureFormat::Gif, picture_exception(N_("Its first image has no pixels.")));
    }
    const auto width = std::max<uint64_t>(gif->SWidth, uint64_t{unsigned(image.Left)} + unsigned(image.Width));
    const auto height = std::max<uint64_t>(gif->SHeight, uint64_t{unsigned(image.Top)} + unsigned(image.Height));
    checkPictureSize(width, height);

    Picture picture{static_cast<unsigned>(width), static_cast<unsigned>(height), {}};
    picture.rgba.assign(size_t{picture.width} * picture.height * 4, 0);
    std::vector<GifPixelType> line(static_cast<size_t>(image.Width));
    const std::span<const Pass> passes =
        image.Interlace ? std::span<const Pass>(kInterlacedPasses) : std::span<const Pass>(kProgressivePass);
    for (const Pass& pass : passes) {
        for (int row = pass.first; row < image.Height; row += pass.step) {
            checkCancelled();
            if (DGifGetLine(gif, line.data(), image.Width) == GIF_ERROR) refuse(gif->Error);
            uint8_t* out =
                picture.rgba.data() + ((size_t{unsigned(image.Top + row)} * picture.width) + unsigned(image.Left)) * 4;
            for (const GifPixelType index : line) {
                // A colour the table lacks stays transparent, as a
                // transparent one does.
                if (index != transparent && index < colours->ColorCount) {
                    const GifColorType& colour = colours->Colors[index];
                    out[0] = colour.Red;
                    out[1] = colour.Green;
                    out[2] = colour.Blue;
                    out[3] = 255;
                }
                out += 4;
            }
        }
    }
    return picture;
}

}  // namespace

Picture decodeGif(ByteView file) {
    MemoryInput input{file};
    int error = D_GIF_SUCCEEDED;
    const GifHandle gif(DGifOpen(&input, readInput, &error));
    if (!gif) refuse(error);
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) refuse(gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE) return readFirstImage(gif.get(), transparent);
        if (type == EXTENSION_RECORD_TYPE) {
            readExtension(gif.get(), transparent);
        } else if (type == TERMINATE_RECORD_TYPE) {
            throw undecodable(PictureFormat::Gif, picture_exception(N_("It holds no image.")));
        }
    }
}

}  // namespace picture
