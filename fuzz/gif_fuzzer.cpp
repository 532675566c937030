// The input decoded as a GIF picture (fuzz/picture_check.h).

#include "codecs/gif.h"
#include "picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::checkPictureDecoder(picture::decodeGif, data, size);
}
