#include "codecs/swf_sound_pcm.h"

#include <algorithm>
#include <array>

#include "codecs/swf_adpcm.h"
#include "util/byte_cursor.h"
#include "util/cancellation.h"

namespace sound {
namespace {

constexpr std::array<unsigned, 4> kRates = {5512, 11025, 22050, 44100};

using SoundCursor = ByteCursor<sound_exception>;

[[noreturn]] void refuseLength(uint64_t samples) {
    throw sound_exception(N_("The sound holds %s samples, more than the %s that are exported."),
                          {samples, kMaxPcmSamples});
}

void decodeUncompressed(const SwfSoundFormat& format, ByteView data, PcmSound& sound) {
    const size_t sampleBytes = format.sixteenBit ? 2 : 1;
    const size_t frames = data.size() / (sampleBytes * sound.channels);
    const size_t count = frames * sound.channels;
    if (count > kMaxPcmSamples) refuseLength(count);
    sound.bitsPerSample = format.sixteenBit ? 16 : 8;
    sound.samples.resize(count);
    SoundCursor cursor(data, 0, N_("sound data"));
    for (size_t i = 0; i < count; ++i) {
        checkCancelledNowAndThen();
        sound.samples[i] = format.sixteenBit ? static_cast<int16_t>(cursor.u16le(N_("sample")))
                                             : static_cast<int16_t>((cursor.u8(N_("sample")) - 128) * 256);
    }
}

void decodeAdpcm(const SwfSoundFormat& format, ByteView data, PcmSound& sound) {
    // A frame takes at least two bits a channel, which bounds what the data
    // can hold whatever the sample count says.
    const uint64_t frames = std::min<uint64_t>(format.sampleCount, uint64_t{data.size()} * 4 / sound.channels);
    if (frames * sound.channels > kMaxPcmSamples) refuseLength(frames * sound.channels);
    sound.bitsPerSample = 16;
    sound.samples = decodeSwfAdpcm(data, sound.channels, frames);
}

// The formats decoded here, by their number in the tag.
struct FormatRow {
    unsigned format;
    void (*decode)(const SwfSoundFormat&, ByteView, PcmSound&);
};

constexpr FormatRow kFormats[] = {
    {0, decodeUncompressed},
    {1, decodeAdpcm},
    {3, decodeUncompressed},
};

}  // namespace

PcmSound decodeSwfSound(const SwfSoundFormat& format, ByteView data) {
    const auto row = std::find_if(std::begin(kFormats), std::end(kFormats),
                                  [&](const FormatRow& r) { return r.format == format.format; });
    if (row == std::end(kFormats)) {
        throw sound_exception(N_("Sounds of format %s are neither uncompressed nor ADPCM."), {format.format});
    }
    if (format.rateCode >= kRates.size()) {
        throw sound_exception(N_("The sound's rate code %s names no sample rate."), {format.rateCode});
    }
    PcmSound sound;
    sound.sampleRate = kRates[format.rateCode];
    sound.channels = format.stereo ? 2 : 1;
    row->decode(format, data, sound);
    return sound;
}

ByteBuffer swfSoundToWav(const SwfSoundFormat& format, ByteView data) { return writeWav(decodeSwfSound(format, data)); }

}  // namespace sound
