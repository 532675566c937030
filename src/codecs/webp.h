#pragma once
// WebP pictures through libwebp, with their alpha.

#include "codecs/picture.h"

namespace picture {

// The picture, or an animation's first frame on its canvas.
Picture decodeWebp(ByteView file);

}  // namespace picture
