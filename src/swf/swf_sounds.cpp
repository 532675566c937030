// MP3 sounds: DefineSound tags of format 2, whose data is a 16-bit count of
// samples to skip when seeking ("seek samples") followed by MPEG frames.

#include <limits>

#include "codecs/mp3.h"
#include "swf/swf.h"

namespace swf {
namespace {

constexpr const char* kNotMp3 = N_("Error parsing MP3 file.");

constexpr size_t kSeekSamplesSize = 2;

unsigned rateCode(unsigned sampleRate) {
    for (const auto& [code, rate] : Tag_DefineSound::soundRates) {
        if (rate == sampleRate) return code;
    }
    throw swf_exception(
        N_("MP3 sample rate must be one of the following: 5512 Hz, 11025 Hz, 22050 Hz, 44100 Hz. This file's sample "
           "rate is %s Hz."),
        {sampleRate});
}

}  // namespace

// The frames without the seek samples, so that the file is a plain MP3.
ByteBuffer soundToMp3(const Tag_DefineSound& sound) {
    const uint64_t id = sound.characterId;
    if (sound.soundFormat() != SoundFormat::Mp3) throw swf_exception(N_("Sound ID %s is not an MP3 sound."), {id});
    if (sound.data.size() < kSeekSamplesSize) {
        throw swf_exception(N_("Sound ID %s is too short to hold MP3 data."), {id});
    }
    return ByteBuffer(sound.data.begin() + kSeekSamplesSize, sound.data.end());
}

// Stores the frames of the file without its tags.
std::unique_ptr<Tag_DefineSound> soundFromMp3(const ByteBuffer& bytes, const Tag_DefineSound& sound) {
    mp3::Mp3Info info;
    try {
        info = mp3::inspectMp3(bytes);
    } catch (const mp3::mp3_exception& e) {
        throw swf_exception(kNotMp3, {}, e);
    }
    if (info.startOffset > bytes.size() || info.trailingBytes > bytes.size() - info.startOffset) {
        throw swf_exception(kNotMp3);
    }
    const size_t framesSize = bytes.size() - info.startOffset - info.trailingBytes;
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(info.startOffset);
    return soundWithFrames(ByteView(&*first, framesSize), {info.sampleRate, info.channels, info.sampleCount, 0}, sound);
}

std::unique_ptr<Tag_DefineSound> soundWithFrames(ByteView frames, const Mp3Stream& stream,
                                                 const Tag_DefineSound& sound) {
    const unsigned rate = rateCode(stream.sampleRate);
    // The sample count is a 32-bit field, and so is the record length,
    // which counts the 7 bytes before the data too.
    constexpr uint64_t limit = std::numeric_limits<uint32_t>::max();
    if (stream.sampleCount > limit || frames.size() > limit - 7 - kSeekSamplesSize) {
        throw swf_exception(N_("MP3 file is too long for a sound."));
    }
    ByteBuffer data;
    data.reserve(kSeekSamplesSize + frames.size());
    appendU16le(data, stream.seekSamples);
    data.insert(data.end(), frames.begin(), frames.end());

    auto replacement = std::make_unique<Tag_DefineSound>(sound);
    replacement->soundFormatNumber = numberOf(SoundFormat::Mp3);
    replacement->soundRate = rate;
    replacement->soundSize = 1;
    replacement->soundType = stream.channels == 2 ? 1 : 0;
    replacement->soundSampleCount = static_cast<uint32_t>(stream.sampleCount);
    replacement->data = std::move(data);
    return replacement;
}

}  // namespace swf
