#include "codecs/bmp.h"

#include <stb_image.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "util/byte_cursor.h"

namespace picture {
namespace {

using BmpCursor = ByteCursor<picture_exception>;

// Compression methods whose rows are stored as they are.
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;

struct BmpHeader {
    uint64_t width = 0;
    uint64_t height = 0;
    uint64_t pixelOffset = 0;
    uint64_t bitsPerPixel = 0;
    uint32_t compression = kUncompressed;
};

// The 14-byte file header, then the bitmap header: its OS/2 form of 16-bit
// sizes, or a Windows form of signed 32-bit ones, whose height is negative
// for rows stored from the top.
BmpHeader readHeader(ByteView file) {
    BmpCursor cursor(file, 0, N_("BMP file"));
    BmpHeader header;
    cursor.skip(10, N_("file header"));
    header.pixelOffset = cursor.u32le(N_("pixel offset"));
    const uint32_t headerSize = cursor.u32le(N_("bitmap header size"));
    if (headerSize == 12) {
        header.width = cursor.u16le(N_("width"));
        header.height = cursor.u16le(N_("height"));
        cursor.skip(2, N_("planes"));
        header.bitsPerPixel = cursor.u16le(N_("bits per pixel"));
        return header;
    }
    const auto width = static_cast<int32_t>(cursor.u32le(N_("width")));
    const auto height = static_cast<int32_t>(cursor.u32le(N_("height")));
    cursor.skip(2, N_("planes"));
    header.bitsPerPixel = cursor.u16le(N_("bits per pixel"));
    header.compression = cursor.u32le(N_("compression"));
    // A negative width is no picture; the size check refuses it as huge.
    header.width = width < 0 ? UINT64_MAX : static_cast<uint64_t>(width);
    header.height = static_cast<uint64_t>(height < 0 ? -int64_t{height} : int64_t{height});
    return header;
}

void checkRowsArePresent(const BmpHeader& header, size_t fileSize) {
    if (header.compression != kUncompressed && header.compression != kBitFields &&
        header.compression != kAlphaBitFields) {
        return;
    }
    const uint64_t rowBytes = (header.width * header.bitsPerPixel + 31) / 32 * 4;
    const uint64_t needed = rowBytes * header.height;
    if (header.pixelOffset > fileSize || needed > fileSize - header.pixelOffset) {
        throw undecodable(PictureFormat::Bmp,
                          picture_exception(N_("Its rows need %s bytes from offset %s, but the file has %s bytes."),
                                            {needed, header.pixelOffset, fileSize}));
    }
}

struct FreeImage {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

Picture decodeBmp(ByteView file) {
    const BmpHeader header = readHeader(file);
    checkPictureSize(header.width, header.height);
    checkRowsArePresent(header, file.size());
    if (file.size() > INT_MAX) {
        throw undecodable(PictureFormat::Bmp,
                          picture_exception(N_("It is larger than the 2 GiB that can be decoded.")));
    }

    int width = 0;
    int height = 0;
    int channels = 0;
    const std::unique_ptr<stbi_uc, FreeImage> pixels(
        stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 4));
    if (!pixels) throw undecodable(PictureFormat::Bmp, stbi_failure_reason());
    if (static_cast<uint64_t>(width) != header.width || static_cast<uint64_t>(height) != header.height) {
        throw undecodable(PictureFormat::Bmp,
                          picture_exception(N_("Its pixels are not of the size its header gives.")));
    }
    Picture picture{static_cast<unsigned>(width), static_cast<unsigned>(height), {}};
    picture.rgba.assign(pixels.get(), pixels.get() + size_t{picture.width} * picture.height * 4);
    return picture;
}

}  // namespace picture
