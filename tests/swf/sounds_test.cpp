#include <gtest/gtest.h>

#include "codecs/mp3.h"
#include "codecs/mp3_test_support.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"
#include "swf/swf_test_support.h"

namespace {

using namespace testmovie;
using testmp3::encodeMp3;

// Sound 7 is a short MP3 record (format 2, 44100 Hz, 16-bit, mono), sound 11
// an ADPCM one (format 1), sound 12 an MP3 record too short for its seek
// samples.
ByteBuffer soundMovie() {
    return movie(concat({
        record(14, soundBody(7, 0x2E, 1152, {0, 0, 0xFF, 0xFB, 0x90, 0x64})),
        record(14, soundBody(11, 0x1F, 4000, ByteBuffer(40, 0x11))),
        record(14, soundBody(12, 0x2E, 0, {0})),
        record(76, symbolClassBody({{7, "Theme"}, {11, "Click"}})),
        record(0, {}),
    }));
}

swf::Tag_DefineSound& sound(swf::SWF& movie, uint64_t id) { return movie.tagWithId<swf::Tag_DefineSound>(id); }

TEST(SoundsSwf, ReplacementStoresTheFramesAndDescribesThem) {
    const struct {
        unsigned rate;
        unsigned channels;
        const char* tagOptions;
        unsigned rateCode;
        unsigned soundType;
    } cases[] = {
        {44100, 2, "", 3, 1}, {22050, 1, "", 2, 0}, {22050, 2, "--add-id3v2 --tt Title --ta Artist", 2, 1},
        {11025, 1, "", 1, 0}, {11025, 2, "", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.channels) + " channel(s) " + c.tagOptions);
        // The frames alone, which a file with tags holds too.
        const ByteBuffer& mp3 = encodeMp3(c.rate, c.channels);
        swf::SWF game(soundMovie());
        const ByteBuffer otherSound = sound(game, 11).toBytes();
        replaceSound(game, encodeMp3(c.rate, c.channels, 0.3, c.tagOptions), 7);

        const swf::Tag_DefineSound& replaced = sound(game, 7);
        EXPECT_EQ(replaced.soundFormat(), swf::SoundFormat::Mp3);
        EXPECT_EQ(replaced.soundRate, c.rateCode);
        EXPECT_EQ(replaced.soundSize, 1u);
        EXPECT_EQ(replaced.soundType, c.soundType);
        EXPECT_EQ(replaced.soundSampleCount, testmp3::decodedSampleCount(mp3));
        EXPECT_EQ(replaced.data, concat({{0, 0}, mp3}));
        EXPECT_EQ(sound(game, 11).toBytes(), otherSound);

        // The record outgrew its short header; the saved game still loads,
        // and the sound comes back out as the frames that went in.
        swf::SWF reloaded(game.toBytes());
        EXPECT_EQ(sound(reloaded, 7).soundSampleCount, replaced.soundSampleCount);
        const ByteBuffer exported = exportedSound(reloaded, 7);
        EXPECT_EQ(exported, mp3);
        EXPECT_EQ(testmp3::decodedSampleCount(exported), replaced.soundSampleCount);
    }
}

std::string refusedRate(const std::string& rate) {
    return "MP3 sample rate must be one of the following: 5512 Hz, 11025 Hz, 22050 Hz, 44100 Hz. This file's sample "
           "rate is " +
           rate + " Hz.";
}

TEST(SoundsSwf, RefusedReplacementsLeaveTheGameUnchanged) {
    const ByteBuffer garbage = bytesOf("This is no MP3 file, just some text.");
    const std::string notMp3 = "Error parsing MP3 file. ";
    const std::string noFrame = notMp3 + "No MPEG audio frame was found in the file.";
    const ByteBuffer mono44 = encodeMp3(44100, 1);
    const std::string framesOf44 = std::to_string(mp3::inspectMp3(mono44).frameCount);
    const struct {
        const char* name;
        ByteBuffer bytes;
        uint64_t id;
        std::string message;
    } cases[] = {
        {"unknown id, checked before the file", garbage, 99, "No such Sound ID: 99"},
        {"garbage", garbage, 7, noFrame},
        {"empty file", {}, 7, noFrame},
        {"sample rate changes", concat({mono44, encodeMp3(22050, 1)}), 7,
         notMp3 + "The sample rate changes from 44100 Hz to 22050 Hz after frame " + framesOf44 + "."},
        {"48000 Hz", encodeMp3(48000, 2), 7, refusedRate("48000")},
        {"8000 Hz", encodeMp3(8000, 1), 11, refusedRate("8000")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        swf::SWF game(soundMovie());
        const ByteBuffer before = game.toBytes();
        EXPECT_EQ(messageOf([&] { replaceSound(game, c.bytes, c.id); }), c.message);
        EXPECT_EQ(game.toBytes(), before);
    }
}

TEST(SoundsSwf, ExportGivesTheFramesAfterTheSeekSamples) {
    swf::SWF game(soundMovie());
    EXPECT_EQ(exportedSound(game, 7), ByteBuffer({0xFF, 0xFB, 0x90, 0x64}));
    EXPECT_EQ(messageOf([&] { game.tagWithId<swf::Tag_DefineSound>(99); }), "No such Sound ID: 99");
    EXPECT_EQ(messageOf([&] { exportedSound(game, 11); }), "Sound ID 11 is not an MP3 sound.");
    EXPECT_EQ(messageOf([&] { exportedSound(game, 12); }), "Sound ID 12 is too short to hold MP3 data.");
    sound(game, 12).data = {0, 0};
    EXPECT_EQ(exportedSound(game, 12), ByteBuffer{});
}

}  // namespace
