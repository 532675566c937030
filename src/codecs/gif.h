#pragma once
// GIF pictures through giflib.

#include "codecs/picture.h"

namespace picture {

// The first frame, placed on the logical screen (grown to hold the frame
// should it reach past it), which is transparent elsewhere; the pixels of
// the frame's transparent colour, as its Graphics Control Extension names
// it, are transparent too.
Picture decodeGif(ByteView file);

}  // namespace picture
