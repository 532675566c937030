// The WAV export of an uncompressed or ADPCM sound. The first byte chooses
// the format fields (format, rate, sample size, channels), the next four
// the sample count, the rest is the sound's data. The decoder may refuse it
// with sound_exception. A sound it decodes must write a WAV file that reads
// back as the same samples at the same rate and channels.

#include "codecs/swf_sound_pcm.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    const ByteView bytes(data, size);
    constexpr unsigned kFormats[] = {0, 1, 3};
    sound::SwfSoundFormat format;
    format.format = kFormats[bytes[0] % 3];
    format.rateCode = (bytes[0] >> 2) & 3;
    format.sixteenBit = (bytes[0] & 0x10) != 0;
    format.stereo = (bytes[0] & 0x20) != 0;
    format.sampleCount = loadU32le(data + 1);
    try {
        const sound::PcmSound sound = sound::decodeSwfSound(format, bytes.subspan(5));
        fuzz::require(sound.samples.size() % sound.channels == 0, "the samples are whole frames");
        if (format.format == 1) fuzz::require(sound.frames() <= format.sampleCount, "ADPCM stops at its count");
        const ByteBuffer wav = sound::writeWav(sound);
        if (sound.samples.empty()) return 0;
        fuzz::require(sound::samePcm(sound::readPcm(wav), sound), "the WAV file reads back as the sound");
    } catch (const sound::sound_exception&) {
    }
    return 0;
}
