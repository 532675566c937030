// A whole mod at once, with the real program and the sample game: every
// resource exported to a folder, the folder edited and applied, the changes
// reviewed and reverted.

#include <lodepng.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "data/data_samples.h"
#include "session/session_harness.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"

using namespace session;

namespace {

namespace fs = std::filesystem;

ByteBuffer sampleGame() {
    std::ifstream in(VLF_SOURCE_DIR "/examples/vorlune_sample.swf", std::ios::binary);
    return ByteBuffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A game of two data files that hold no entries, so that their archives
// hold none either; compressed, as the sample game is.
ByteBuffer emptyDataGame() {
    ByteBuffer emptyLimbs = datasamples::kindTag("limbInfo");
    appendU32be(emptyLimbs, 0);
    appendU32be(emptyLimbs, 0);
    const ByteBuffer movie = testmovie::movie(testmovie::concat({
        testmovie::record(87, testmovie::binaryDataBody(136, datasamples::wrapped(datasamples::samples()[1].content))),
        testmovie::record(87, testmovie::binaryDataBody(140, datasamples::wrapped(emptyLimbs))),
        testmovie::record(76, testmovie::symbolClassBody({{136, "EmptyDat"}, {140, "EmptyLmi"}})),
        testmovie::record(0, {}),
    }));
    return swf::SWF(movie).exportSwf(swf::Compression::Zlib);
}

// The session with a game (the sample game unless given) as game.swf and
// all its resources, `files` of them, exported to mod/.
struct ModSession {
    Session s;
    explicit ModSession(const ByteBuffer& game = sampleGame(), size_t files = 92) {
        s.writeFile("game.swf", game);
        const Result r = s.run(script({"game.swf", "8", "mod", "0"}));
        EXPECT_TRUE(contains(r.out, "Exported " + std::to_string(files) + " file(s) to 'mod'.\n")) << r.describe();
    }
};

// The records of a movie by character id (raw tags under 0).
std::map<uint64_t, ByteBuffer> recordsById(const ByteBuffer& movie) {
    std::map<uint64_t, ByteBuffer> records;
    for (const auto& tag : swf::SWF(movie).tags) records[tag->characterId] = tag->toBytes();
    return records;
}

std::set<uint64_t> changedIds(const ByteBuffer& before, const ByteBuffer& after) {
    const auto old = recordsById(before);
    std::set<uint64_t> changed;
    for (const auto& [id, bytes] : recordsById(after)) {
        if (old.at(id) != bytes) changed.insert(id);
    }
    return changed;
}

TEST(SessionModFolder, AnUntouchedExportAppliesAsNothingAndTheGameIsWrittenAsLoaded) {
    const struct {
        const char* name;
        ByteBuffer game;
        size_t files;
    } cases[] = {
        {"the sample game", sampleGame(), 92},
        {"data files without entries", emptyDataGame(), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModSession m(c.game, c.files);
        const Result r = m.s.run(script({"game.swf", "9", "mod", "8", "mod", "6", "1", "out.swf", "0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        const std::string files = std::to_string(c.files);
        EXPECT_TRUE(contains(r.out, "0 changed, " + files + " unchanged, 0 failed, 0 not matched, 0 ignored"));
        EXPECT_TRUE(contains(r.out, "Exported " + files + " file(s) to 'mod'.\n"))
            << "exported again without a question";
        EXPECT_FALSE(contains(r.out, "Overwrite them?"));
        EXPECT_EQ(m.s.readFile("out.swf"), c.game);
    }
}

TEST(SessionModFolder, OneChangedFileOfEachKindChangesExactlyThoseRecords) {
    ModSession m;
    m.s.writeFile("mod/stages/234 - StageMeadow.xml", "<stage name=\"edited\"/>");
    fs::copy_file(m.s.path("mod/sounds/501 - SoundCoin.mp3"), m.s.path("mod/sounds/500 - SoundJump.mp3"),
                  fs::copy_options::overwrite_existing);
    fs::copy_file(m.s.path("mod/images/601 - GrassTiles.png"), m.s.path("mod/images/600 - HeroSprite.png"),
                  fs::copy_options::overwrite_existing);
    // A data file is a folder of its archive's entries, edited in place.
    m.s.writeFile("mod/data/141 - Stage1Spt/Spt.json", std::string(R"({"Data.Spt": {"edited": true}})"));
    // Files that are not applied, each with its reason.
    fs::copy_file(m.s.path("mod/stages/219 - StageForest.xml"), m.s.path("mod/219.xml"));
    m.s.writeFile("mod/images/4242.png", games::pngSignatureFile());
    m.s.writeFile("mod/images/603 - GemPalette.png", "not a picture");
    m.s.writeFile("mod/601.mp3", "a picture's id as a sound");
    m.s.writeFile("mod/readme.txt", "notes");
    m.s.writeFile("mod/sounds/12 - S_aac.m4a", "aac");
    m.s.makeDirectory("mod/.hidden");
    m.s.writeFile("mod/.hidden/7.png", "skipped");

    const Result r = m.s.run(script({"game.swf", "9", "mod", "y", "6", "0", "out.swf", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    for (const std::string line : {
             "stage 234 StageMeadow.xml: 203 bytes → 22 bytes\n",
             "sound 500 SoundJump.mp3: 22050 Hz → 11025 Hz, mono, 0.3 s\n",
             "image 600 HeroSprite.png: 24×24 → 7×5, no alpha\nWARNING: The image's size has changed.",
             "data file 141 Stage1Spt: ",
             "4 changed, 86 unchanged, 3 failed, 2 not matched, 3 ignored (not named like resources).\n",
             "'mod/.hidden' is ignored: its name begins with a dot.\n",
             // Every ignored file is named, with the reason.
             "'mod/readme.txt' is ignored: it is not named like a resource.\n",
             "'mod/sounds/12 - S_aac.m4a' is ignored: .m4a is not a sound format this program reads.\n",
             "Apply 4 replacement(s)? [y/n] (default=y): y\n",
             "Applied 4 replacement(s).\n",
         }) {
        EXPECT_TRUE(contains(r.out, line));
    }
    for (const std::string line : {
             "stage 219 StageForest.xml is claimed by more than one file, so none of them is applied: 'mod/219.xml', "
             "'mod/stages/219 - StageForest.xml'\n",
             "'mod/images/603 - GemPalette.png': The file is no PNG, JPEG, GIF, WebP or BMP picture.",
             "'mod/images/4242.png' matches no resource: the game has no image with ID=4242.\n",
             "'mod/601.mp3' matches no resource: the game has no sound with ID=601.\n",
         }) {
        EXPECT_TRUE(contains(r.err, line));
    }
    swf::SWF loaded(sampleGame());
    EXPECT_EQ(changedIds(loaded.exportSwf(swf::Compression::Uncompressed), m.s.readFile("out.swf")),
              (std::set<uint64_t>{141, 234, 500, 600}));
}

TEST(SessionModFolder, RevertPutsBackTheLoadedRecordAndTheExitQuestionFollowsTheFileWritten) {
    // readline shows the end of a prompt wider than the screen.
    const std::string question = "exit without exporting SWF/EXE? [y/n] (default=n): ";
    const struct {
        const char* name;
        std::vector<std::string> answers;  // after loading and applying
        bool asked;
    } cases[] = {
        {"changed and not written", {}, true},
        {"changed, then reverted", {"10", "1", "all", "0"}, false},
        {"reverted by a range", {"10", "1", "200-300", "0"}, false},
        {"reverted by name", {"10", "1", "stagemeadow.xml", "0"}, false},
        {"a range of nothing changed", {"10", "1", "602-606", "0"}, true},
        {"changed and written", {"6", "0", "out.swf"}, false},
        {"written, then reverted", {"6", "0", "out.swf", "10", "1", "234"}, true},
        {"written, reverted and written", {"6", "0", "out.swf", "10", "1", "234", "6", "0", "out.swf"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModSession m;
        m.s.writeFile("mod/stages/234 - StageMeadow.xml", "<stage/>");
        std::string input = script({"game.swf", "9", "mod", "y"});
        for (const auto& answer : c.answers) input += answer + "\n";
        const Result r = m.s.run(input + script({"0", "y"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(contains(r.out, question), c.asked);
    }

    ModSession m;
    m.s.writeFile("mod/stages/234 - StageMeadow.xml", "<stage/>");
    const Result r = m.s.run(script({"game.swf", "9", "mod", "y", "10", "1", "234", "6", "1", "out.swf", "0"}));
    EXPECT_TRUE(contains(r.out,
                         "stage 234 StageMeadow.xml, from 'mod/stages/234 - StageMeadow.xml': 203 bytes → 8 "
                         "bytes\n"));
    EXPECT_TRUE(
        contains(r.out, "Reverted stage 234 StageMeadow.xml.\nNothing differs from the game as it was loaded.\n"));
    EXPECT_EQ(m.s.readFile("out.swf"), sampleGame());
}

TEST(SessionModFolder, ExportingOverEditedFilesAsksFirst) {
    for (const bool overwrite : {false, true}) {
        ModSession m;
        m.s.writeFile("mod/stages/234 - StageMeadow.xml", "edited");
        const Result r = m.s.run(script({"game.swf", "8", "mod", overwrite ? "y" : "n", "0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, "  mod/stages/234 - StageMeadow.xml\n"));
        EXPECT_TRUE(contains(r.out, "1 file(s) differ from the game's resources and would be overwritten.\n"));
        EXPECT_TRUE(contains(r.out, "Overwrite them? [y/n] (default=n): "));
        EXPECT_EQ(contains(r.out, "Nothing was written.\n"), !overwrite);
        EXPECT_EQ(m.s.readFile("mod/stages/234 - StageMeadow.xml") == testmovie::bytesOf("edited"), !overwrite);
    }
}

TEST(SessionModFolder, CtrlCDuringAnApplyChangesNothing) {
    // Large pictures for every image of the game: decoding and compressing
    // them takes far longer than the signal takes to arrive, which is sent
    // once the program has read the folder's path and so begun the work.
    constexpr unsigned kSide = 2500;
    ByteBuffer noise(size_t{kSide} * kSide * 4);
    std::mt19937 random(3);
    for (auto& byte : noise) byte = static_cast<uint8_t>(random());
    ByteBuffer png;
    lodepng::State state;
    state.encoder.zlibsettings.btype = 0;  // stored: quick to write
    state.encoder.filter_strategy = LFS_ZERO;
    state.encoder.auto_convert = 0;
    ASSERT_EQ(lodepng::encode(png, noise, kSide, kSide, state), 0u);

    Session s;
    const ByteBuffer game = games::stageGame();
    s.writeFile("game.swf", game);
    s.makeDirectory("mod");
    for (const char* name : {"8.png", "9.png", "10.png", "12.png"}) s.writeFile(std::string("mod/") + name, png);
    Options options;
    options.signalAfter = "Folder path (default=game_resources): mod\n";
    options.signal = SIGINT;
    const Result r = s.run(script({"game.swf", "9", "mod", "6", "0", "out.swf", "0"}), options);
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, "Cancelled.\n");
    EXPECT_FALSE(contains(r.out, "replacement(s)?"));
    EXPECT_EQ(s.readFile("out.swf"), swf::SWF(game).exportSwf(swf::Compression::Uncompressed));
}

// A mod is the files that made the changes: applied to the game as it was
// loaded, it makes the modder's game byte for byte, and so does a mod
// exported from a game made that way, generation after generation. Colours
// of half transparent pixels, which the game stores premultiplied, do not
// darken on the way.
TEST(SessionModFolder, ASharedModRebuildsTheGameGenerationAfterGeneration) {
    ModSession m;
    ByteBuffer rgba;
    for (int i = 0; i < 24 * 24; ++i) rgba.insert(rgba.end(), {128, 255, 1, 128});
    ByteBuffer png;
    ASSERT_EQ(lodepng::encode(png, rgba, 24, 24), 0u);
    m.s.writeFile("mod/images/602 - GlowEffect.png", png);
    m.s.writeFile("mod/stages/234 - StageMeadow.xml", "<stage/>");
    const std::string spt = R"({"Data.Spt": {"edited": true}})";
    m.s.writeFile("mod/data/141 - Stage1Spt/Spt.json", spt);
    // The modder applies the edits twice, the second time to no effect, and
    // shares what changed.
    Result r =
        m.s.run(script({"game.swf", "9", "mod", "y", "9", "mod", "6", "0", "modded.swf", "10", "2", "", "0", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out, "0 changed, 92 unchanged, 0 failed")) << r.out;
    EXPECT_TRUE(contains(r.out, "Folder path (default=game_mod): \n"));
    EXPECT_TRUE(contains(r.out, "Exported 3 file(s) to 'game_mod'.\n"));
    EXPECT_EQ(m.s.readFile("game_mod/images/602 - GlowEffect.png"), png);
    EXPECT_EQ(m.s.readFile("game_mod/data/141 - Stage1Spt/Spt.json"), testmovie::bytesOf(spt));
    const ByteBuffer modded = m.s.readFile("modded.swf");
    EXPECT_NE(modded, sampleGame());
    std::string shared = "game_mod";
    for (const std::string next : {"second_mod", "third_mod"}) {
        SCOPED_TRACE(next);
        r = m.s.run(script({"game.swf", "9", shared, "y", "6", "0", next + ".swf", "10", "2", next, "0", "0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(m.s.readFile(next + ".swf"), modded);
        shared = next;
    }
}

// A mod says what game it was made for: applied to another version, it says
// so, and names each resource whose record is not the one it changed.
TEST(SessionModFolder, AModKnowsItsGame) {
    ModSession m;
    m.s.writeFile("mod/stages/234 - StageMeadow.xml", "<stage/>");
    m.s.writeFile("mod/stages/398 - StageCaves.xml", "<caves/>");
    Result r = m.s.run(script({"game.swf", "9", "mod", "y", "10", "2", "", "0", "0", "y"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    const ByteBuffer manifest = m.s.readFile("game_mod/mod.json");
    const std::string text(manifest.begin(), manifest.end());
    for (const std::string part :
         {"\"game\": \"game.swf\"", "\"movie\": \"", "\"kind\": \"stages\"", "\"id\": 234", "\"name\": \"StageMeadow\"",
          "\"file\": \"stages/234 - StageMeadow.xml\"", "\"replaced\": \""}) {
        EXPECT_TRUE(contains(text, part));
    }

    // Another version of the game: its stage 234 is not the one the mod
    // changed.
    swf::SWF other(sampleGame());
    const auto& stage = other.tagWithId<swf::Tag_DefineBinaryData>(234);
    other.exchangeTag(stage, swf::binaryWithPayload(testmovie::bytesOf("<v2/>"), stage));
    m.s.writeFile("other.swf", other.exportSwf(swf::Compression::Uncompressed));
    r = m.s.run(script({"other.swf", "9", "game_mod", "y", "0", "y"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out,
                         "This mod was made for another version of the game: 'game.swf', whose movie differs "
                         "from the one loaded.\n"));
    EXPECT_TRUE(contains(r.out,
                         "stage 234 StageMeadow.xml: made for another version of the game, whose record "
                         "differs from this game's.\n"));
    EXPECT_FALSE(contains(r.out, "stage 398 StageCaves.xml: made for another version"));
    EXPECT_TRUE(contains(r.out, "Apply 2 replacement(s) (1 for another version)? [y/n] (default=y): "));
    EXPECT_TRUE(contains(r.out, "Applied 2 replacement(s).\n"));

    // A description that cannot be read changes nothing.
    m.s.writeFile("game_mod/mod.json", "{\"game\": 1}");
    r = m.s.run(script({"game.swf", "9", "game_mod", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.err, "Error: 'game_mod/mod.json' does not describe a mod this program can read: "));
    EXPECT_FALSE(contains(r.out, "replacement(s)"));
}

}  // namespace
