#pragma once
// BMP pictures through stb_image, after a check of their header.

#include "codecs/picture.h"

namespace picture {

// The size is read from the header here: stb_image checks no size before
// it decodes, and fills the rows of a file cut short with black rather than
// failing, so a file too short for its rows is refused first.
Picture decodeBmp(ByteView file);

}  // namespace picture
