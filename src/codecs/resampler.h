#pragma once
// Changing the sample rate of a sound through libsoxr at its very high
// quality, and changing its channel count. Samples are interleaved floats.
// Failures are sound_exception with libsoxr's reason.

#include <memory>
#include <span>
#include <vector>

#include "codecs/sound_exception.h"

namespace sound {

// Resamples a stream handed over in pieces. A rate kept as it is passes the
// samples through unchanged.
class Resampler {
public:
    Resampler(unsigned inputRate, unsigned outputRate, unsigned channels);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Appends to `out` what `in`, the next frames of the stream, resamples
    // to so far.
    void process(std::span<const float> in, std::vector<float>& out);
    // Appends the frames still held back at the end of the stream.
    void finish(std::vector<float>& out);

private:
    struct Soxr;

    void run(const float* in, size_t frames, std::vector<float>& out);

    std::unique_ptr<Soxr> soxr_;
    unsigned channels_;
    double ratio_;
};

// `out` becomes `in` with its frames mixed from stereo down to mono
// (the mean of both channels) or spread from mono to both stereo channels.
void remixChannels(std::span<const float> in, unsigned from, unsigned to, std::vector<float>& out);

}  // namespace sound
