// A replacement sound: the input read as a sound file, its first two seconds
// converted to 22050 Hz stereo MP3. The reader may refuse the input with
// sound_exception. What it accepts must convert to MPEG frames of the
// target's rate and channels that hold, after the encoder's delay, as many
// samples as the resampled frames read.

#include <cmath>

#include "codecs/mp3.h"
#include "codecs/sound_to_mp3.h"
#include "fuzz_check.h"

namespace {

constexpr sound::Mp3Settings kTarget{22050, 2, 64};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteBuffer bytes = fuzz::bufferOf(data, size);
    try {
        sound::SoundFile file(bytes);
        const sound::SoundFileInfo& info = file.info();
        fuzz::require(info.channels == 1 || info.channels == 2, "the sound is mono or stereo");
        sound::Mp3Conversion conversion(info.sampleRate, info.channels, kTarget);
        std::vector<float> chunk(4096 * info.channels);
        uint64_t read = 0;
        while (read < 2 * uint64_t{info.sampleRate}) {
            const size_t frames = file.read(std::span<float>(chunk));
            if (frames == 0) break;
            for (const float sample : std::span<const float>(chunk).first(frames * info.channels)) {
                fuzz::require(std::isfinite(sample) && std::abs(sample) <= 1, "samples lie in full scale");
            }
            conversion.add(std::span<const float>(chunk).first(frames * info.channels));
            read += frames;
        }
        const sound::EncodedMp3 mp3 = conversion.finish();
        const double expected = double(read) * kTarget.sampleRate / info.sampleRate;
        fuzz::require(std::abs(double(mp3.sampleCount) - expected) <= 1, "the frames are resampled whole");
        if (mp3.sampleCount == 0) return 0;
        const mp3::Mp3Info frames = mp3::inspectMp3(mp3.frames);
        fuzz::require(frames.sampleRate == kTarget.sampleRate && frames.channels == kTarget.channels,
                      "the MP3 has the target's rate and channels");
        fuzz::require(frames.trailingBytes == 0 && frames.startOffset == 0, "the MP3 is frames alone");
        fuzz::require(frames.sampleCount >= mp3.encoderDelay + mp3.sampleCount, "the frames hold every sample");
    } catch (const sound::sound_exception&) {
    }
    return 0;
}
