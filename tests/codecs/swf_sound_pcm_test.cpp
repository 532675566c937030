#include "codecs/swf_sound_pcm.h"

#include <gtest/gtest.h>

namespace {

using namespace sound;

// ADPCM data is packed most significant bit first.
class BitWriter {
public:
    BitWriter& put(unsigned value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (count_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> (count_ % 8));
            ++count_;
        }
        return *this;
    }
    BitWriter& repeat(unsigned value, int bits, int times) {
        for (int i = 0; i < times; ++i) put(value, bits);
        return *this;
    }
    ByteBuffer bytes() const { return bytes_; }

private:
    ByteBuffer bytes_;
    size_t count_ = 0;
};

unsigned s16(int value) { return static_cast<uint16_t>(value); }

// Samples worked out by hand from the IMA ADPCM steps; sample i of
// `expected` is compared with sample `at[i]`.
TEST(SwfSoundPcm, SoundsDecodeAndTheirWavFilesReadBackTheSame) {
    const struct {
        const char* name;
        SwfSoundFormat format;
        ByteBuffer data;
        unsigned rate;
        std::vector<size_t> at;
        std::vector<int16_t> expected;
        uint16_t wavBits;
    } cases[] = {
        {"8-bit mono", {0, 0, false, false, 3}, {0x80, 0xFF, 0x00}, 5512, {0, 1, 2}, {0, 32512, -32768}, 8},
        {"16-bit stereo little-endian",
         {3, 3, true, true, 2},
         {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F, 0x42},
         44100,
         {0, 1, 2, 3},
         {1, -1, -32768, 32767},
         16},
        {"16-bit mono native", {0, 1, true, false, 1}, {0x34, 0x12}, 11025, {0}, {0x1234}, 16},
        // The padding bits of the last byte would make a fifth sample.
        {"ADPCM 4-bit, padding cut",
         {1, 2, true, false, 4},
         BitWriter().put(2, 2).put(1000, 16).put(0, 6).put(0b0100, 4).put(0b1100, 4).put(0, 4).bytes(),
         22050,
         {0, 1, 2, 3},
         {1000, 1007, 997, 998},
         16},
        {"ADPCM 2-bit, two blocks",
         {1, 1, true, false, 4099},
         BitWriter()
             .put(0, 2)
             .put(500, 16)
             .put(10, 6)
             .repeat(1, 2, 4095)
             .put(s16(-300), 16)
             .put(20, 6)
             .put(1, 2)
             .put(3, 2)
             .bytes(),
         11025,
         {0, 1, 4096, 4097, 4098},
         {500, 528, -300, -225, -315},
         16},
        {"ADPCM 3-bit stereo",
         {1, 3, false, true, 2},
         BitWriter().put(1, 2).put(100, 16).put(0, 6).put(s16(-100), 16).put(0, 6).put(2, 3).put(6, 3).bytes(),
         44100,
         {0, 1, 2, 3},
         {100, -100, 108, -108},
         16},
        // Short data: the padding bits of its last byte make its last sample.
        {"ADPCM with fewer samples than counted",
         {1, 0, true, false, 100},
         BitWriter().put(2, 2).put(1000, 16).put(0, 6).put(0b0100, 4).bytes(),
         5512,
         {0, 1, 2},
         {1000, 1007, 1008},
         16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PcmSound sound = decodeSwfSound(c.format, c.data);
        EXPECT_EQ(sound.sampleRate, c.rate);
        EXPECT_EQ(sound.channels, c.format.stereo ? 2u : 1u);
        ASSERT_EQ(sound.samples.size(), c.at.back() + 1);
        for (size_t i = 0; i < c.at.size(); ++i) EXPECT_EQ(sound.samples[c.at[i]], c.expected[i]) << c.at[i];

        const ByteBuffer wav = swfSoundToWav(c.format, c.data);
        EXPECT_EQ(loadU16le(wav.data() + 34), c.wavBits);
        PcmSound read = readPcm(wav);
        EXPECT_TRUE(samePcm(read, sound));
        read.samples.back() ^= 0x100;
        EXPECT_FALSE(samePcm(read, sound));
    }
}

TEST(SwfSoundPcm, SoundsOfOtherFormatsAreRefused) {
    const struct {
        SwfSoundFormat format;
        const char* message;
    } cases[] = {
        {{2, 3, true, true, 1152}, "Sounds of format 2 are neither uncompressed nor ADPCM."},
        {{6, 3, true, false, 1}, "Sounds of format 6 are neither uncompressed nor ADPCM."},
        {{3, 4, true, false, 1}, "The sound's rate code 4 names no sample rate."},
    };
    for (const auto& c : cases) {
        try {
            decodeSwfSound(c.format, ByteBuffer(16, 0));
            ADD_FAILURE() << c.message;
        } catch (const sound_exception& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace
