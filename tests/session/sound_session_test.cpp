// The sound menu with the real program and real MP3 files.

#include "codecs/mp3_test_support.h"
#include "session/session_harness.h"
#include "swf/swf.h"

using namespace session;

namespace {

std::string withExit(std::initializer_list<std::string> answers) { return script(answers) + script({"0"}); }

TEST(SessionSounds, ReplacedSoundIsExportedAsTheFramesPutIn) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    // Tags before and after the frames are not part of the sound.
    const ByteBuffer tagged = testmp3::encodeMp3(22050, 1, 0.3, "--tt Title --add-id3v2 --id3v1-only");
    const ByteBuffer plain = testmp3::encodeMp3(22050, 1, 0.3);
    s.writeFile("tone.mp3", tagged);
    const Result r = s.run(withExit({"game.swf", "3", "3", "7", "tone.mp3", "2", "all", "0", "6", "0", "out.swf"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out, yellow("Replacing 'Theme.mp3' with file 'tone.mp3'...\n")));
    EXPECT_TRUE(contains(r.out, "Exporting: 7 - Theme.mp3\n"));
    EXPECT_TRUE(contains(r.err, "Sound with ID=11 is not an MP3 file.\n"));
    EXPECT_TRUE(contains(r.out, yellow("Exported 1 sound(s).\n")));
    EXPECT_EQ(s.readFile("7 - Theme.mp3"), plain);
    EXPECT_EQ(testmp3::decodedSampleCount(s.readFile("7 - Theme.mp3")), testmp3::decodedSampleCount(plain));

    swf::SWF written(s.readFile("out.swf"));
    const auto* sound = &written.tagWithId<swf::Tag_DefineSound>(7);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->soundRate, 2u);
    EXPECT_EQ(sound->soundType, 0u);
    EXPECT_EQ(sound->soundSampleCount, testmp3::decodedSampleCount(plain));
}

TEST(SessionSounds, RefusedFilesLeaveTheGameUnchanged) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    s.writeFile("high.mp3", testmp3::encodeMp3(48000, 2, 0.2));
    s.writeFile("noise.mp3", std::string("not an mp3 at all"));
    s.writeFile("tone.mp3", testmp3::toneWav(44100, 2, 0.1));
    const Result r = s.run(withExit(
        {"game.swf", "3", "3", "7", "high.mp3", "3", "7", "noise.mp3", "3", "7", "tone.mp3", "3", "99", "x.mp3", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err,
              "MP3 sample rate must be one of the following: 5512 Hz, 11025 Hz, 22050 Hz, 44100 Hz. This file's "
              "sample rate is 48000 Hz; convert it first, for example with: lame --resample 22.05 in.mp3 out.mp3\n"
              "Error parsing MP3 file. No MPEG audio frame was found in the file.\n"
              "Error parsing MP3 file. The file is a WAV sound, not an MP3 file; convert it first, for example with: "
              "lame in.wav out.mp3\n"
              "No sound with ID=99.\n");
    EXPECT_FALSE(contains(r.out, "You have unsaved changes"));
}

}  // namespace
