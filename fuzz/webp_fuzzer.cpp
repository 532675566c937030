// The input decoded as a WebP picture (fuzz/picture_check.h).

#include "codecs/webp.h"
#include "picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::checkPictureDecoder(picture::decodeWebp, data, size);
}
