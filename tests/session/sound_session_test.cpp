// The sound menu with the real program and real sound files.

#include <sndfile.h>

#include "codecs/mp3_test_support.h"
#include "codecs/sound_test_support.h"
#include "session/session_harness.h"
#include "swf/movie_builder.h"
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
    // The uncompressed sound is exported as a WAV file.
    EXPECT_TRUE(contains(r.out, "Exporting: 11 - Click.wav\n"));
    EXPECT_TRUE(contains(r.out, yellow("Exported 2 sound(s).\n")));
    EXPECT_EQ(s.readFile("7 - Theme.mp3"), plain);
    EXPECT_EQ(testmp3::decodedSampleCount(s.readFile("7 - Theme.mp3")), testmp3::decodedSampleCount(plain));

    swf::SWF written(s.readFile("out.swf"));
    const auto* sound = &written.tagWithId<swf::Tag_DefineSound>(7);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->soundRate, 2u);
    EXPECT_EQ(sound->soundType, 0u);
    EXPECT_EQ(sound->soundSampleCount, testmp3::decodedSampleCount(plain));
    // An MP3 stored as it is starts at once.
    EXPECT_EQ(sound->data[0], 0);
    EXPECT_EQ(sound->data[1], 0);
}

// A game whose sound 7 is an MP3 of 44.1 kHz stereo, and sound 11 an
// uncompressed one of 22.05 kHz mono, 8-bit.
ByteBuffer soundGame() {
    using namespace testmovie;
    ByteBuffer pcm;
    for (int i = 0; i < 2205; ++i) pcm.push_back(static_cast<uint8_t>(128 + 100 * ((i / 20) % 2 == 0 ? 1 : -1)));
    return movie(concat({record(14, soundBody(7, 0x2F, 1152, {0, 0, 0xFF, 0xFB, 0x90, 0x64})),
                         record(14, soundBody(11, 0x38, 2205, pcm)),
                         record(76, symbolClassBody({{7, "Theme"}, {11, "Click"}})), record(0, {})}));
}

// Any common sound file is encoded to MP3 at the rate and channels of the
// sound it replaces, its real length kept; an MP3 at a rate the movie holds
// is stored as it is.
TEST(SessionSounds, SoundFilesOfAnyFormatAndRateBecomeMp3) {
    const struct {
        const char* name;
        ByteBuffer file;
        const char* replacing;  // what the success line says the file was
        double seconds;
    } cases[] = {
        {"a 48 kHz WAV", testsound::toneFile(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 1.0),
         "WAV 48000 Hz stereo 1.00 s → MP3 44100 Hz stereo ", 1.0},
        {"a mono FLAC", testsound::toneFile(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1, 0.5),
         "FLAC 44100 Hz mono 0.50 s → MP3 44100 Hz stereo ", 0.5},
        {"a 32 kHz MP3", testmp3::encodeMp3(32000, 2, 0.5), "MP3 32000 Hz stereo ", 0.5},
        {"an Ogg Vorbis file", testsound::toneFile(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 22050, 2, 0.5),
         "Ogg Vorbis 22050 Hz stereo 0.50 s → MP3 44100 Hz stereo ", 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile("game.swf", soundGame());
        s.writeFile("new", c.file);
        const Result r = s.run(withExit({"game.swf", "3", "3", "7", "new", "0", "6", "0", "out.swf"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(contains(r.out, std::string("Replaced sound 7 Theme.mp3: ") + c.replacing));
        const swf::SWF written(s.readFile("out.swf"));
        const auto& sound = written.tagWithId<swf::Tag_DefineSound>(7);
        EXPECT_EQ(sound.soundFormat(), swf::SoundFormat::Mp3);
        EXPECT_EQ(sound.soundRate, 3u);
        EXPECT_EQ(sound.soundType, 1u);
        // Encoded: the samples of the source at the new rate, and the
        // encoder's delay and the decoder's skipped at the start.
        EXPECT_NEAR(static_cast<double>(sound.soundSampleCount), c.seconds * 44100, 2.0);
        EXPECT_EQ(sound.data[0] | sound.data[1] << 8, 576 + 529);
    }
}

// An uncompressed sound exported as WAV and put back changes nothing; a
// file that no library reads is refused with the reason.
TEST(SessionSounds, UntouchedWavChangesNothingAndUnreadableFilesAreRefused) {
    Session s;
    s.writeFile("game.swf", soundGame());
    s.writeFile("noise.mp3", std::string("not a sound at all"));
    const Result r = s.run(withExit(
        {"game.swf", "3", "2", "11", "3", "11", "11 - Click.wav", "3", "7", "noise.mp3", "3", "99", "x.mp3", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out, "The file holds what the game already holds: sound 11 Click.wav is unchanged.\n"));
    EXPECT_EQ(r.err,
              "The sound file cannot be read. Format not recognised.\n"
              "No sound with ID=99.\n");
    EXPECT_FALSE(contains(r.out, "You have unsaved changes"));
}

}  // namespace
