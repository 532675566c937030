#pragma once
// Inspection of MP3 files through libmpg123: their audio format, their
// length in samples, and where their MPEG frames lie between the tags and
// other bytes around them. Failures are reported as mp3_exception.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "util/bytes.h"
#include "util/error.h"

namespace mp3 {

class mp3_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

struct Mp3Info {
    unsigned sampleRate = 0;  // Hz
    unsigned channels = 0;    // 1 or 2
    uint64_t frameCount = 0;
    // Per channel: the frames stored times the samples of one frame (1152
    // for MPEG-1, 576 for MPEG-2 and 2.5), encoder delay and padding
    // included.
    uint64_t sampleCount = 0;
    // Offset of the first frame's header.
    size_t startOffset = 0;
    // Bytes after the end of the last complete frame.
    size_t trailingBytes = 0;
};

// Finds the MPEG layer III frames of an MP3 file. The frames are the bytes
// from `startOffset` to `size - trailingBytes`. Throws mp3_exception with
// the reason, a sentence about the file, when the file holds
// no complete frame, holds frames of another layer, changes sample rate or
// channel count midway, or has frames libmpg123 cannot walk.
Mp3Info inspectMp3(ByteView bytes);

}  // namespace mp3
