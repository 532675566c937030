#include <gtest/gtest.h>

#include "swf/movie_builder.h"
#include "swf/swf_test_support.h"

using namespace testmovie;

namespace {

TEST(SwfProjector, MovieIsFoundInPeAndElfProjectors) {
    const ByteBuffer swfBytes = sampleMovie();
    const struct {
        const char* name;
        ByteBuffer player;
        ByteBuffer file;
        bool isPE;
    } cases[] = {
        {"PE", fakePePlayer(), peProjector(fakePePlayer(), swfBytes), true},
        {"ELF", fakeElfPlayer(), elfProjector(fakeElfPlayer(), swfBytes), false},
        {"ELF with bytes after the movie", fakeElfPlayer(),
         concat({elfProjector(fakeElfPlayer(), swfBytes), bytesOf("trailing")}), false},
        // Markers inside the player and the movie do not confuse the search.
        {"PE with earlier markers", concat({fakePePlayer(), markerBytes(), lengthBytes(3)}),
         peProjector(concat({fakePePlayer(), markerBytes(), lengthBytes(3)}), swfBytes), true},
        {"ELF whose first marker has no movie after it",
         concat({fakeElfPlayer(), lengthBytes(9), markerBytes(), bytesOf("XYZ")}),
         elfProjector(concat({fakeElfPlayer(), lengthBytes(9), markerBytes(), bytesOf("XYZ")}), swfBytes), false},
    };
    for (const auto& c : cases) {
        const swf::SWF loaded(c.file);
        EXPECT_EQ(loaded.projector, c.player) << c.name;
        EXPECT_EQ(loaded.projectorIsPE, c.isPE) << c.name;
        EXPECT_EQ(loaded.exportSwf(swf::Compression::Uncompressed), swfBytes) << c.name;
    }
}

TEST(SwfProjector, CompressedMoviesInsideProjectors) {
    const ByteBuffer zws = swf::SWF(sampleMovie()).exportSwf(swf::Compression::Lzma);
    const swf::SWF loaded(peProjector(fakePePlayer(), zws));
    ByteBuffer expected = sampleMovie();
    expected[3] = 13;
    EXPECT_EQ(loaded.exportSwf(swf::Compression::Uncompressed), expected);
}

TEST(SwfProjector, MissingMoviesAreReported) {
    const ByteBuffer swfBytes = sampleMovie();
    ByteBuffer wrongSignature = peProjector(fakePePlayer(), swfBytes);
    wrongSignature[256] = 'X';
    const struct {
        const char* name;
        ByteBuffer file;
        const char* message;
    } cases[] = {
        {"PE without trailer", concat({fakePePlayer(), swfBytes}), "SWF not found inside EXE file."},
        {"PE with marker not at the end", concat({peProjector(fakePePlayer(), swfBytes), {0}}),
         "SWF not found inside EXE file."},
        {"PE movie without signature", wrongSignature, "SWF not found inside EXE file."},
        {"PE length reaching before the file", concat({fakePePlayer(), markerBytes(), lengthBytes(1000)}),
         "SWF not found inside EXE file. The movie length in the trailer exceeds the file."},
        {"PE length of the whole file", concat({fakePePlayer(), markerBytes(), lengthBytes(256)}),
         "SWF not found inside EXE file."},
        {"PE length reaching into the trailer", concat({fakePePlayer(), markerBytes(), lengthBytes(257)}),
         "SWF not found inside EXE file. The movie length in the trailer exceeds the file."},
        {"ELF without marker", concat({fakeElfPlayer(), swfBytes}), "SWF not found inside ELF file."},
        {"ELF marker too close to the end", concat({fakeElfPlayer(), lengthBytes(5), markerBytes(), bytesOf("FWS")}),
         "SWF not found inside ELF file."},
        {"ELF movie longer than the file",
         concat({fakeElfPlayer(), lengthBytes(swfBytes.size() + 1), markerBytes(), swfBytes}),
         "SWF not found inside ELF file."},
    };
    for (const auto& c : cases) EXPECT_EQ(loadError(c.file), c.message) << c.name;
}

TEST(SwfProjector, ExportedExecutablesLoadAgain) {
    for (bool pe : {true, false}) {
        const ByteBuffer player = pe ? fakePePlayer(300) : fakeElfPlayer(300);
        swf::SWF loaded(pe ? peProjector(player, sampleMovie()) : elfProjector(player, sampleMovie()));
        for (const swf::Compression form : kEveryCompression) {
            const ByteBuffer exe = loaded.exportExe({}, form);
            const ByteBuffer movieBytes = loaded.exportSwf(form);
            EXPECT_EQ(exe, pe ? peProjector(player, movieBytes) : elfProjector(player, movieBytes));
            const swf::SWF reloaded(exe);
            EXPECT_EQ(reloaded.projector, player);
            EXPECT_EQ(reloaded.projectorIsPE, pe);
            EXPECT_EQ(reloaded.toBytes().size(), loaded.toBytes().size());
        }
    }
}

TEST(SwfProjector, ProjectorGivenForAPlainMovie) {
    swf::SWF loaded(sampleMovie());
    EXPECT_EQ(messageOf([&] { loaded.exportExe({}, swf::Compression::Uncompressed); }), "No projector file given.");
    EXPECT_TRUE(loaded.projector.empty());

    const ByteBuffer exe = loaded.exportExe(fakeElfPlayer(), swf::Compression::Uncompressed);
    EXPECT_EQ(exe, elfProjector(fakeElfPlayer(), sampleMovie()));
    EXPECT_EQ(loaded.projector, fakeElfPlayer()) << "kept for later exports";

    const ByteBuffer png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0};
    EXPECT_EQ(messageOf([&] { loaded.exportExe(png, swf::Compression::Uncompressed); }), "Invalid projector file.");
    EXPECT_EQ(loaded.projector, fakeElfPlayer());
    EXPECT_FALSE(loaded.projectorIsPE);
    EXPECT_EQ(loaded.exportExe({}, swf::Compression::Uncompressed), exe);

    EXPECT_EQ(loaded.exportExe(fakePePlayer(), swf::Compression::Uncompressed),
              peProjector(fakePePlayer(), sampleMovie()));
    EXPECT_TRUE(loaded.projectorIsPE);
}

}  // namespace
