#include "codecs/picture.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "codecs/bmp.h"
#include "codecs/gif.h"
#include "codecs/jpeg.h"
#include "codecs/png.h"
#include "codecs/webp.h"
#include "util/file_types.h"

namespace picture {
namespace {

Picture decodePng(ByteView file) {
    try {
        const png::PngSize size = png::inspectPng(file);
        return Picture{size.width, size.height, png::decodePng(file)};
    } catch (const png::png_exception& e) {
        throw undecodable(PictureFormat::Png, e);
    }
}

struct FormatRow {
    PictureFormat format;
    const char* name;
    const char* extension;
    bool (*recognise)(const std::vector<uint8_t>& head);
    Picture (*decode)(ByteView file);
};

constexpr FormatRow kFormats[] = {
    {PictureFormat::Png, "PNG", ".png", isPNGfile, decodePng},
    {PictureFormat::Jpeg, "JPEG", ".jpg", hasJPEGstart, decodeJpeg},
    {PictureFormat::Gif, "GIF", ".gif", isGIFfile, decodeGif},
    {PictureFormat::WebP, "WebP", ".webp", isWebPfile, decodeWebp},
    {PictureFormat::Bmp, "BMP", ".bmp", isBMPfile, decodeBmp},
};

// Every format has its row.
const FormatRow& rowOf(PictureFormat format) {
    return *std::find_if(std::begin(kFormats), std::end(kFormats),
                         [format](const FormatRow& row) { return row.format == format; });
}

// Every signature lies within the first bytes.
constexpr size_t kSignatureBytes = 32;

const FormatRow* rowOf(ByteView file) {
    const std::vector<uint8_t> head(file.begin(),
                                    file.begin() + static_cast<ptrdiff_t>(std::min(file.size(), kSignatureBytes)));
    for (const FormatRow& row : kFormats) {
        if (row.recognise(head)) return &row;
    }
    return nullptr;
}

}  // namespace

void checkPictureSize(uint64_t width, uint64_t height) {
    if (width == 0 || height == 0) {
        throw picture_exception(N_("The picture is %s × %s pixels and has nothing to show."), {width, height});
    }
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) {
        throw picture_exception(N_("The picture is %s × %s pixels; a picture can have at most %s pixels a side and "
                                   "%s pixels in all."),
                                {width, height, kMaxSide, kMaxPixels});
    }
}

const char* pictureFormatName(PictureFormat format) { return rowOf(format).name; }

const char* pictureExtension(PictureFormat format) { return rowOf(format).extension; }

std::optional<PictureFormat> recognisePicture(ByteView file) {
    const FormatRow* row = rowOf(file);
    if (row == nullptr) return std::nullopt;
    return row->format;
}

Picture decodePicture(ByteView file) {
    const FormatRow* row = rowOf(file);
    if (row == nullptr) {
        throw picture_exception(N_("The file is no PNG, JPEG, GIF, WebP or BMP picture."));
    }
    return row->decode(file);
}

picture_exception undecodable(PictureFormat format, const std::string& reason) {
    return undecodable(format, forge_exception(Message(reason)));
}

picture_exception undecodable(PictureFormat format, const std::exception& reason) {
    return picture_exception(N_("The %s file cannot be decoded."), {std::string(pictureFormatName(format))}, reason);
}

}  // namespace picture
