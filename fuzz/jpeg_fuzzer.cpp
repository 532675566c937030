// The input decoded as a JPEG picture. The decoder may refuse it with
// picture_exception. A picture it decodes has the player's sizes and four
// bytes for each of its pixels.

#include "codecs/jpeg.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const picture::Picture picture = picture::decodeJpeg(ByteView(data, size));
        fuzz::require(picture.width >= 1 && picture.width <= picture::kMaxSide && picture.height >= 1 &&
                          picture.height <= picture::kMaxSide &&
                          uint64_t{picture.width} * picture.height <= picture::kMaxPixels,
                      "the picture has a size the player draws");
        fuzz::require(picture.rgba.size() == size_t{picture.width} * picture.height * 4, "every pixel has 4 bytes");
    } catch (const picture::picture_exception&) {
    }
    return 0;
}
