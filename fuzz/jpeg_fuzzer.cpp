// The input decoded as a JPEG picture (fuzz/picture_check.h).

#include "codecs/jpeg.h"
#include "picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::checkPictureDecoder(picture::decodeJpeg, data, size);
}
