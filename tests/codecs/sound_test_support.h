#pragma once
// Sound files for the sound tests, written by libsndfile itself from tones:
// 440 Hz on the first channel, 660 Hz on the second.

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/mp3_test_support.h"
#include "util/bytes.h"

namespace testsound {

inline double tone(unsigned channel, double seconds) {
    return 0.5 * std::sin(2 * std::numbers::pi * (channel == 0 ? 440.0 : 660.0) * seconds);
}

inline std::vector<float> toneSamples(unsigned rate, unsigned channels, double seconds) {
    const auto frames = static_cast<size_t>(rate * seconds);
    std::vector<float> samples;
    for (size_t i = 0; i < frames; ++i) {
        for (unsigned c = 0; c < channels; ++c) samples.push_back(static_cast<float>(tone(c, double(i) / rate)));
    }
    return samples;
}

// A file of `format` (libsndfile's major and subformat) holding the samples.
inline ByteBuffer soundFile(int format, unsigned rate, unsigned channels, const std::vector<float>& samples) {
    static int serial = 0;
    const std::string path = testmp3::scratch().file("sound" + std::to_string(serial++));
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = static_cast<int>(channels);
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error(std::string("libsndfile: ") + sf_strerror(nullptr));
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
    sf_close(file);
    return testmp3::readFile(path);
}

inline ByteBuffer toneFile(int format, unsigned rate, unsigned channels, double seconds) {
    return soundFile(format, rate, channels, toneSamples(rate, channels, seconds));
}

}  // namespace testsound
