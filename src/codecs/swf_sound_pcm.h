#pragma once
// The samples of a movie's uncompressed and ADPCM sounds, and their WAV
// files. Failures are sound_exception.

#include <cstdint>

#include "codecs/sound_file.h"
#include "util/bytes.h"

namespace sound {

// The format fields of a DefineSound tag.
struct SwfSoundFormat {
    unsigned format = 0;    // 0 and 3: uncompressed, 1: ADPCM; others are refused
    unsigned rateCode = 0;  // 0 to 3: 5512, 11025, 22050, 44100 Hz
    bool sixteenBit = false;
    bool stereo = false;
    uint32_t sampleCount = 0;
};

// The most samples (of all channels) a sound decodes to here: 512 MiB of
// 16-bit samples, nearly an hour of stereo at 44100 Hz.
inline constexpr uint64_t kMaxPcmSamples = uint64_t{1} << 28;

// The samples of the sound's data. Uncompressed data (16-bit samples
// little-endian, as the player reads format 0 too; 8-bit ones unsigned)
// gives all of its whole frames; ADPCM data gives the tag's sample count,
// or what the data holds when it holds fewer, and 16-bit samples.
PcmSound decodeSwfSound(const SwfSoundFormat& format, ByteView data);

// The WAV file of the sound: 8- or 16-bit PCM at its rate and channels.
ByteBuffer swfSoundToWav(const SwfSoundFormat& format, ByteView data);

}  // namespace sound
