#include "codecs/sound_to_mp3.h"

#include <algorithm>

namespace sound {
namespace {

constexpr size_t kChunkFrames = 4096;

}  // namespace

Mp3Conversion::Mp3Conversion(unsigned sourceRate, unsigned sourceChannels, const Mp3Settings& target)
    : sourceChannels_(sourceChannels),
      resampledChannels_(std::min(sourceChannels, target.channels)),
      targetChannels_(target.channels),
      resampler_(sourceRate, target.sampleRate, resampledChannels_),
      encoder_(target) {}

void Mp3Conversion::add(std::span<const float> frames) {
    remixChannels(frames, sourceChannels_, resampledChannels_, mixed_);
    resampled_.clear();
    resampler_.process(mixed_, resampled_);
    encodeResampled();
}

EncodedMp3 Mp3Conversion::finish() {
    resampled_.clear();
    resampler_.finish(resampled_);
    encodeResampled();
    return encoder_.finish();
}

void Mp3Conversion::encodeResampled() {
    remixChannels(resampled_, resampledChannels_, targetChannels_, spread_);
    encoder_.encode(spread_);
}

EncodedMp3 encodeAsMp3(SoundFile& file, const Mp3Settings& target) {
    const SoundFileInfo& info = file.info();
    Mp3Conversion conversion(info.sampleRate, info.channels, target);
    std::vector<float> chunk(kChunkFrames * info.channels);
    bool empty = true;
    while (const size_t frames = file.read(std::span<float>(chunk))) {
        conversion.add(std::span<const float>(chunk).first(frames * info.channels));
        empty = false;
    }
    if (empty) throw sound_exception(N_("The sound file holds no sound."));
    return conversion.finish();
}

}  // namespace sound
