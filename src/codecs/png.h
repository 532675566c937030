#pragma once
// PNG files of images through lodepng, with the program's zlib wrapper in
// place of lodepng's own inflate and deflate: zlib is faster, and the long
// work on a large image sees Ctrl-C (util/cancellation.h) between its blocks.
// Failures are png_exception "PNG decoder error (...)" or "PNG encoder error
// (...)" with lodepng's code and text; a file cut short, or image data that
// zlib cannot inflate, says that the file is truncated or damaged.

#include <lodepng.h>

#include "util/bytes.h"
#include "util/error.h"

namespace png {

class png_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

// The zlib level of the PNG files of the game's images. zlib's fast levels
// look back 32 KiB, lodepng's own deflate 2 KiB, less than a row of a wide
// picture: at level 3 the files come out a little smaller than lodepng made
// them, in about two thirds of its time.
inline constexpr int kPngDeflateLevel = 3;

struct PngSize {
    unsigned width = 0;
    unsigned height = 0;
};

// The size the header gives, read without decoding anything.
PngSize inspectPng(ByteView file);

// The picture as 8-bit RGBA pixels. Its size is checked from the header
// before any pixel is decoded: a picture larger than the player draws is
// refused with picture::checkPictureSize's picture_exception.
ByteBuffer decodePng(ByteView file);

// The file of `pixels`, laid out as `state`'s raw colour mode says (8-bit
// RGBA unless set otherwise), encoded with `state`'s other settings.
ByteBuffer encodePng(const ByteBuffer& pixels, unsigned width, unsigned height,
                     lodepng::State state = lodepng::State());

// The encoder's message for lodepng's error `code`.
png_exception pngEncoderError(unsigned code);

}  // namespace png
