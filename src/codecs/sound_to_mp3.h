#pragma once
// A replacement sound made into MP3: the sound file's samples mixed or
// spread to the wanted channels, resampled to the wanted rate and encoded.
// Failures are sound_exception.

#include <span>
#include <vector>

#include "codecs/mp3_encoder.h"
#include "codecs/resampler.h"
#include "codecs/sound_file.h"

namespace sound {

// The conversion of a stream handed over in pieces. Stereo is mixed down
// before resampling and spread after it, so that the resampler works on the
// fewer channels.
class Mp3Conversion {
public:
    Mp3Conversion(unsigned sourceRate, unsigned sourceChannels, const Mp3Settings& target);

    // The next frames of the source, interleaved.
    void add(std::span<const float> frames);
    EncodedMp3 finish();

private:
    void encodeResampled();

    unsigned sourceChannels_;
    unsigned resampledChannels_;
    unsigned targetChannels_;
    Resampler resampler_;
    Mp3Encoder encoder_;
    std::vector<float> mixed_;
    std::vector<float> resampled_;
    std::vector<float> spread_;
};

// The whole sound of the file, converted. Throws for a file without a
// single frame.
EncodedMp3 encodeAsMp3(SoundFile& file, const Mp3Settings& target);

}  // namespace sound
