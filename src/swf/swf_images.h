#pragma once
// The lossless bitmaps of a movie, as the image operations see them.

#include <cstdint>
#include <vector>

#include "swf/swf.h"

namespace swf {

// Every DefineBitsLossless tag in stream order, then every
// DefineBitsLossless2 tag in stream order. Images are looked up, listed and
// exported in this order.
std::vector<Tag_DefineBitsLossless*> losslessImages(SWF& movie);

// The first image of that order with the character id, or nullptr.
Tag_DefineBitsLossless* findLosslessImage(SWF& movie, uint64_t id);

}  // namespace swf
