// Replacing a sound with an MP3 file. A fixed movie with one DefineSound tag
// takes the input through soundFromMp3, which may refuse it with
// swf_exception. A replaced sound must export exactly the frames the
// inspector found in the input, with the input's rate, channels and sample
// count in the tag; and the movie written out and reloaded must export the
// same frames.
//
// The exported file is not required to import again as the same sound: the
// import takes off whatever looks like a tag at the end of a file, and the
// last 128 bytes of the frames may begin with "TAG" like an ID3v1 tag.

#include <map>

#include "codecs/mp3.h"
#include "fuzz_check.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"
#include "swf/swf_test_support.h"

namespace {

constexpr uint64_t kSoundId = 1;

const ByteBuffer& fixedMovie() {
    static const ByteBuffer movie = [] {
        using namespace testmovie;
        // Format 2 (MP3), 22050 Hz, 16 bit, mono; a single silent frame
        // header after the two seek-sample bytes.
        return testmovie::movie(concat({
            record(14, soundBody(kSoundId, 0x2A, 576, {0, 0, 0xFF, 0xF3, 0x14, 0xC4})),
            record(76, symbolClassBody({{kSoundId, "Sound"}})),
            record(1, {}),
            record(0, {}),
        }));
    }();
    return movie;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteBuffer mp3 = fuzz::bufferOf(data, size);
    swf::SWF movie(fixedMovie());
    try {
        testmovie::replaceSound(movie, mp3, kSoundId);
    } catch (const swf::swf_exception&) {
        return 0;
    }

    const mp3::Mp3Info info = mp3::inspectMp3(mp3);
    const ByteBuffer frames = testmovie::exportedSound(movie, kSoundId);
    const auto first = mp3.begin() + static_cast<std::ptrdiff_t>(info.startOffset);
    fuzz::require(frames == ByteBuffer(first, mp3.end() - static_cast<std::ptrdiff_t>(info.trailingBytes)),
                  "the exported sound is the input's frames");

    const swf::Tag_DefineSound& sound = movie.tagWithId<swf::Tag_DefineSound>(kSoundId);
    fuzz::require(sound.soundFormat() == swf::SoundFormat::Mp3, "the sound is stored as MP3");
    fuzz::require(swf::Tag_DefineSound::soundRates.at(sound.soundRate) == info.sampleRate, "the rate is the input's");
    fuzz::require(sound.soundType == (info.channels == 2 ? 1u : 0u), "the channels are the input's");
    fuzz::require(sound.soundSampleCount == info.sampleCount, "the sample count is the input's");

    swf::SWF reloaded(movie.exportSwf(swf::Compression::Uncompressed));
    fuzz::require(testmovie::exportedSound(reloaded, kSoundId) == frames,
                  "the replaced sound survives writing and reloading the movie");
    return 0;
}
