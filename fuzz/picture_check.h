#pragma once
// The property every picture decoder keeps, whatever its input: it refuses
// the input with picture_exception, or makes a picture of a size the player
// draws with four bytes for each of its pixels.

#include "codecs/picture.h"
#include "fuzz_check.h"

namespace fuzz {

inline int checkPictureDecoder(picture::Picture (*decode)(ByteView), const uint8_t* data, size_t size) {
    try {
        const picture::Picture picture = decode(ByteView(data, size));
        require(picture.width >= 1 && picture.width <= picture::kMaxSide && picture.height >= 1 &&
                    picture.height <= picture::kMaxSide &&
                    uint64_t{picture.width} * picture.height <= picture::kMaxPixels,
                "the picture has a size the player draws");
        require(picture.rgba.size() == size_t{picture.width} * picture.height * 4, "every pixel has 4 bytes");
    } catch (const picture::picture_exception&) {
    }
    return 0;
}

}  // namespace fuzz
