#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <string_view>

#include "codecs/mp3.h"
#include "codecs/sound_test_support.h"
#include "codecs/sound_to_mp3.h"
#include "util/cancellation.h"

namespace {

using namespace sound;
using testsound::toneFile;

std::string messageOf(ByteView file) {
    try {
        SoundFile sound(file);
        encodeAsMp3(sound, Mp3Settings{});
    } catch (const sound_exception& e) {
        return e.what();
    }
    return "(no exception)";
}

// What the target's channel holds at `seconds`: the source's tone, or both
// tones mixed.
double expected(unsigned sourceChannels, unsigned targetChannels, unsigned channel, double seconds) {
    if (sourceChannels == 2 && targetChannels == 1)
        return (testsound::tone(0, seconds) + testsound::tone(1, seconds)) / 2;
    return testsound::tone(sourceChannels == 1 ? 0 : channel, seconds);
}

// The correlation of the decoded MP3, after the encoder's and the decoder's
// delay, with what the channel should hold.
double correlation(const PcmSound& decoded, unsigned sourceChannels, unsigned channel, uint64_t delay) {
    double product = 0, decodedPower = 0, expectedPower = 0;
    for (uint64_t i = 2000; i + delay + 2000 < decoded.frames(); ++i) {
        const double d = decoded.samples[(i + delay) * decoded.channels + channel] / 32768.0;
        const double e = expected(sourceChannels, decoded.channels, channel, double(i) / decoded.sampleRate);
        product += d * e;
        decodedPower += d * d;
        expectedPower += e * e;
    }
    return product / std::sqrt(decodedPower * expectedPower);
}

TEST(SoundToMp3, FilesOfEveryKindBecomeTheTargetsSound) {
    const struct {
        int format;
        unsigned rate;
        unsigned channels;
        const char* name;
        Mp3Settings target;
    } cases[] = {
        {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, "WAV", {44100, 2, 128}},
        {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 22050, 1, "FLAC", {44100, 2, 128}},
        {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 32000, 2, "MP3", {44100, 2, 128}},
        {SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, "Ogg Vorbis", {44100, 2, 128}},
        {SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000, 1, "Opus", {22050, 1, 64}},
        {SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 16000, 2, "AIFF", {11025, 1, 32}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteBuffer file = toneFile(c.format, c.rate, c.channels, 1.0);
        SoundFile sound(file);
        EXPECT_STREQ(soundFileFormatName(sound.info().format), c.name);
        EXPECT_EQ(sound.info().sampleRate, c.rate);
        EXPECT_EQ(sound.info().channels, c.channels);
        EXPECT_NEAR(sound.info().seconds(), 1.0, 0.01);
        const uint64_t sourceFrames = sound.info().frames;

        const EncodedMp3 mp3 = encodeAsMp3(sound, c.target);
        EXPECT_NEAR(double(mp3.sampleCount), double(sourceFrames) * c.target.sampleRate / c.rate, 1.0);
        const mp3::Mp3Info frames = mp3::inspectMp3(mp3.frames);
        EXPECT_EQ(frames.sampleRate, c.target.sampleRate);
        EXPECT_EQ(frames.channels, c.target.channels);
        EXPECT_EQ(frames.startOffset, 0u) << "no ID3 tag";
        EXPECT_GE(frames.sampleCount, mp3.encoderDelay + mp3.sampleCount);

        const PcmSound decoded = readPcm(mp3.frames);
        for (unsigned channel = 0; channel < c.target.channels; ++channel) {
            EXPECT_GT(correlation(decoded, c.channels, channel, mp3.encoderDelay + kMp3DecoderDelay), 0.98)
                << "channel " << channel;
        }
    }
}

// The frames are plain MPEG frames at the constant bitrate asked for: no
// information frame, whose silence would delay an event sound.
TEST(SoundToMp3, EncoderKeepsTheRateAndBitrateAskedFor) {
    const Mp3Settings cases[] = {{11025, 1, 8}, {11025, 2, 64}, {22050, 1, 144}, {44100, 2, 320}, {44100, 1, 32}};
    for (const Mp3Settings& c : cases) {
        SCOPED_TRACE(std::to_string(c.sampleRate) + " Hz, " + std::to_string(c.bitrate) + " kbit/s");
        const std::vector<float> samples = testsound::toneSamples(c.sampleRate, c.channels, 2.0);
        Mp3Encoder encoder(c);
        encoder.encode(samples);
        const EncodedMp3 mp3 = encoder.finish();
        EXPECT_EQ(mp3.sampleCount, samples.size() / c.channels);
        EXPECT_EQ(mp3.encoderDelay, 576u);
        const mp3::Mp3Info info = mp3::inspectMp3(mp3.frames);
        const double seconds = double(info.sampleCount) / c.sampleRate;
        EXPECT_NEAR(mp3.frames.size() * 8 / seconds / 1000, c.bitrate, c.bitrate * 0.01);
        const std::string_view start(reinterpret_cast<const char*>(mp3.frames.data()), 200);
        EXPECT_EQ(start.find("Xing"), std::string_view::npos);
        EXPECT_EQ(start.find("Info"), std::string_view::npos);
    }
}

TEST(SoundToMp3, BitratesAndRatesAreOnesMp3Allows) {
    const struct {
        unsigned rate;
        double average;
        unsigned bitrate;
    } bitrates[] = {
        {44100, 100, 96},  {44100, 104, 112}, {44100, 10, 32},  {48000, 999, 320},
        {22050, 150, 144}, {24000, 7, 8},     {11025, 100, 64}, {8000, 19, 16},
    };
    for (const auto& c : bitrates)
        EXPECT_EQ(nearestMp3Bitrate(c.rate, c.average), c.bitrate) << c.rate << " " << c.average;
    EXPECT_THROW(nearestMp3Bitrate(5512, 64), sound_exception);

    const unsigned rates[][2] = {{5512, 11025},  {11025, 11025}, {16000, 22050},
                                 {22050, 22050}, {32000, 44100}, {48000, 44100}};
    for (const auto& [rate, target] : rates) EXPECT_EQ(swfMp3SampleRate(rate), target) << rate;
}

TEST(SoundToMp3, FilesThatCannotBeUsedAreRefused) {
    const ByteBuffer wav = toneFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 2, 0.5);
    const ByteBuffer flac = toneFile(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 22050, 2, 0.5);
    const ByteBuffer ogg = toneFile(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 22050, 2, 0.5);
    const auto cut = [](const ByteBuffer& b, size_t size) {
        return ByteBuffer(b.begin(), b.begin() + ptrdiff_t(size));
    };
    const std::string text = "no sound at all, only words";
    const struct {
        const char* name;
        ByteBuffer file;
        const char* message;
    } cases[] = {
        {"11 minutes", toneFile(SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1000, 1, 660),
         "The sound lasts 660 seconds; a sound may last at most 600 seconds."},
        {"3 channels", toneFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 3, 0.1),
         "The sound has 3 channels; only mono and stereo sounds can be used."},
        {"rate", toneFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 500, 1, 0.1),
         "The sound's sample rate of 500 Hz is outside the 1000 to 384000 Hz that can be used."},
        {"other kind", toneFile(SF_FORMAT_AU | SF_FORMAT_PCM_16, 8000, 1, 0.1),
         "The sound file is of a kind that cannot be used (AU "},
        {"empty", toneFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 0), "The sound file holds no sound."},
        {"WAV header cut", cut(wav, 40), "The sound file cannot be read. "},
        {"FLAC cut", cut(flac, flac.size() / 2), "The sound file cannot be decoded. "},
        {"Ogg cut", cut(ogg, ogg.size() / 2), "The sound file cannot be read. "},
        {"garbage", ByteBuffer(text.begin(), text.end()), "The sound file cannot be read. "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(messageOf(c.file).substr(0, std::string_view(c.message).size()), c.message) << c.name;
    }
}

std::atomic<unsigned> g_checks{0};
std::atomic<unsigned> g_stopAt{0};
struct Stopped {};
void countCheck() {
    if (++g_checks == g_stopAt) throw Stopped{};
}

// The long loops look for Ctrl-C at least once every 4096 frames, and
// stop at the first check that says so.
TEST(SoundToMp3, LongWorkLooksForCancellationOften) {
    const ByteBuffer wav = toneFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 10);
    setCancellationCheck(countCheck);
    g_checks = 0;
    g_stopAt = 0;
    SoundFile whole(wav);
    encodeAsMp3(whole, Mp3Settings{});
    EXPECT_GE(g_checks, 3 * 480000u / 4096) << "reading, resampling and encoding each check";
    g_checks = 0;
    g_stopAt = 5;
    SoundFile stopped(wav);
    EXPECT_THROW(encodeAsMp3(stopped, Mp3Settings{}), Stopped);
    setCancellationCheck(nullptr);
}

TEST(SoundToMp3, SoundsAreConvertedOnSeveralThreadsAtOnce) {
    const ByteBuffer wav = toneFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 2);
    const auto convert = [&] {
        SoundFile sound(wav);
        return encodeAsMp3(sound, Mp3Settings{22050, 2, 96}).frames;
    };
    const ByteBuffer alone = convert();
    std::vector<std::future<ByteBuffer>> runs;
    for (int i = 0; i < 4; ++i) runs.push_back(std::async(std::launch::async, convert));
    for (auto& run : runs) EXPECT_EQ(run.get(), alone);
}

}  // namespace
