#pragma once
// Pictures people give as replacement images: PNG, JPEG, GIF, WebP and BMP
// files, told apart by their content, each decoded by its format's library
// into 8-bit RGBA. Every decoder checks the picture's size from its header
// before it decodes a pixel. Failures are picture_exception.

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "util/bytes.h"
#include "util/error.h"

namespace picture {

class picture_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

enum class PictureFormat { Png, Jpeg, Gif, WebP, Bmp };

// Straight (not premultiplied) RGBA, 4 bytes a pixel, row by row from the
// top.
struct Picture {
    unsigned width = 0;
    unsigned height = 0;
    ByteBuffer rgba;
};

// The largest pictures the player draws.
inline constexpr uint64_t kMaxSide = 8191;
inline constexpr uint64_t kMaxPixels = 16777215;

// Throws, naming the size, for a picture without pixels or larger than the
// player draws.
void checkPictureSize(uint64_t width, uint64_t height);

// "PNG", "JPEG", "GIF", "WebP", "BMP"; and the extension a file of the
// format is given (".png", ".jpg", ...).
const char* pictureFormatName(PictureFormat format);
const char* pictureExtension(PictureFormat format);

// The format whose signature the file starts with, if any.
std::optional<PictureFormat> recognisePicture(ByteView file);

// The picture of a file in any of the formats, found by its content.
Picture decodePicture(ByteView file);

// "The <format> file cannot be decoded." with the reason: a decoder's own
// text, or our error.
picture_exception undecodable(PictureFormat format, const std::string& reason);
picture_exception undecodable(PictureFormat format, const std::exception& reason);

}  // namespace picture
