#pragma once
// JPEG pictures through libjpeg-turbo's TurboJPEG API.

#include "codecs/picture.h"

namespace picture {

// Refuses a file the decoder warns about (cut short, or damaged data it
// would paint over with guesses), and CMYK pictures, which it does not turn
// into RGB.
Picture decodeJpeg(ByteView file);

}  // namespace picture
