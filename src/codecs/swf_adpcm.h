#pragma once
// The ADPCM sound data of movies decoded through libavcodec. Failures are
// sound_exception with libavcodec's reason.

#include <cstdint>
#include <vector>

#include "codecs/sound_exception.h"
#include "util/bytes.h"

namespace sound {

// The first `frames` frames (fewer when the data ends before) of ADPCM data
// of 1 or 2 channels, as interleaved 16-bit samples. The data is a 2-bit
// code size, then blocks of 4096 frames: per channel a 16-bit first sample
// and a 6-bit step index, then the codes, all packed as bits.
std::vector<int16_t> decodeSwfAdpcm(ByteView data, unsigned channels, uint64_t frames);

}  // namespace sound
