#pragma once
// Generated sounds for the benchmarks: WAV files of something like music,
// which an encoder finds neither trivial nor noise.

#include <algorithm>
#include <cmath>
#include <random>

#include "codecs/sound_file.h"

// A chord whose notes come and go, over noise, in 16-bit stereo; `seed`
// varies the noise and the pitches, so that files of several seeds differ.
inline ByteBuffer musicWav(unsigned rate, double seconds, unsigned seed = 1) {
    sound::PcmSound pcm{rate, 2, 16, {}};
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, 600);
    const double shift = 1 + (seed - 1) % 12 / 24.0;
    const auto frames = static_cast<size_t>(rate * seconds);
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        for (int channel = 0; channel < 2; ++channel) {
            double v = noise(random);
            for (const double pitch : {220.0, 277.2, 329.6, 440.0 + channel * 3}) {
                v += 4000 * std::sin(2 * M_PI * pitch * shift * t) * (0.6 + 0.4 * std::sin(t * pitch / 100));
            }
            pcm.samples.push_back(static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0)));
        }
    }
    return sound::writeWav(pcm);
}
