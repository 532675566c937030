// The input decoded as a BMP picture (fuzz/picture_check.h).

#include "codecs/bmp.h"
#include "picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::checkPictureDecoder(picture::decodeBmp, data, size);
}
