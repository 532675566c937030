// Sessions with the real program: writing the game as an SWF movie or as a
// projector executable, and user text that must never be taken for a
// format.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "session/session_harness.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"

using namespace session;
using testmovie::elfProjector;
using testmovie::fakeElfPlayer;
using testmovie::fakePePlayer;
using testmovie::peProjector;

namespace {

const std::string kCompressionPrompt =
    "[0] Uncompressed\n[1] *zlib (faster, bigger)\n[2] LZMA (slower, smaller)\nPick option (default=1): ";
const std::string kSwfPathPrompt = "Path to output file (default=Vorlune_out.swf): ";
const std::string kExePathPrompt = "Path to output file (default=Vorlune_out.exe): ";
// The question names the file the held projector came with.
std::string reusePrompt(const std::string& game = "game.exe") {
    return "You have already loaded a Flash Player SA into memory, from '" + game +
           "'.\nWould you like to use it? [y/n] (default=y): ";
}
const std::string kProjectorPrompt = "Path to Adobe Flash Player Projector (default=SA.exe): ";

std::string signatureOf(const ByteBuffer& bytes) {
    return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(3, bytes.size())));
}

// The movie as the program writes it with the given compression.
ByteBuffer movieOf(const ByteBuffer& game, int compression) {
    return swf::SWF(game).exportSwf(swf::compressionOf(compression));
}

// Whether the file holds the same movie as `game`. The version may have
// been raised: LZMA compression needs version 13.
::testing::AssertionResult sameMovie(const ByteBuffer& written, const ByteBuffer& game) {
    try {
        const swf::SWF original(game);
        swf::SWF reloaded(written);
        if (reloaded.version < original.version) return ::testing::AssertionFailure() << "version lowered";
        reloaded.version = original.version;
        if (reloaded.toBytes() == original.toBytes()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "another movie";
    } catch (const std::exception& e) {
        return ::testing::AssertionFailure() << "does not load: " << e.what();
    }
}

std::string withExit(std::initializer_list<std::string> answers) { return script(answers) + script({"0"}); }

TEST(SessionExportSwf, DefaultAnswersWriteAZlibMovie) {
    const ByteBuffer game = games::stageGame();
    const struct {
        const char* name;
        ByteBuffer file;
    } cases[] = {
        {"game.swf", game},
        // From a projector only the movie is written.
        {"game.exe", peProjector(fakePePlayer(), game)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile(c.name, c.file);
        const Result r = s.run(withExit({c.name, "6", "", ""}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, yellow("Compression: \n") + kCompressionPrompt + "\n" + kSwfPathPrompt +
                                        "\nGenerating SWF... Please wait.\n" + mainMenu()));
        EXPECT_EQ(r.err, "");
        ASSERT_TRUE(s.exists("Vorlune_out.swf"));
        const ByteBuffer written = s.readFile("Vorlune_out.swf");
        EXPECT_EQ(signatureOf(written), "CWS");
        EXPECT_TRUE(sameMovie(written, game));
        EXPECT_TRUE(swf::SWF(written).projector.empty());
    }
}

TEST(SessionExportSwf, CompressionChoices) {
    const ByteBuffer game = games::stageGame();
    const struct {
        const char* answer;
        const char* signature;
    } cases[] = {
        {"0", "FWS"}, {"1", "CWS"}, {"2", "ZWS"}, {"", "CWS"}, {" 2 ", "ZWS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        Session s;
        s.writeFile("game.swf", game);
        const Result r = s.run(withExit({"game.swf", "6", c.answer, "out.swf"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, "");
        const ByteBuffer written = s.readFile("out.swf");
        EXPECT_EQ(signatureOf(written), c.signature);
        EXPECT_TRUE(sameMovie(written, game));
    }
}

TEST(SessionExportSwf, InvalidCompressionAnswersAreAskedAgainWithoutTheList) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    const std::string input = withExit({"game.swf", "6", "3", "01", "zlib", " 1 ", ""});
    const std::string invalid = "Invalid option.\n";

    Options merged;
    merged.mergeStreams = true;
    const Result together = s.run(input, merged);
    ASSERT_TRUE(together.endedNormally()) << together.describe();
    EXPECT_TRUE(contains(together.out, kCompressionPrompt + "3\n" + red(invalid) + "01\n" + red(invalid) + "zlib\n" +
                                           red(invalid) + " 1 \n" + kSwfPathPrompt + "\n"));
    EXPECT_EQ(countOf(together.out, "Pick option"), 1u);
    EXPECT_EQ(countOf(together.out, "Compression: "), 1u);
    EXPECT_EQ(signatureOf(s.readFile("Vorlune_out.swf")), "CWS");

    const Result apart = s.run(input);
    ASSERT_TRUE(apart.endedNormally()) << apart.describe();
    EXPECT_EQ(apart.err, invalid + invalid + invalid);
}

TEST(SessionExportSwf, OutputPathIsTakenAsTyped) {
    const struct {
        const char* typed;
        const char* file;
    } cases[] = {
        // Enclosing quotes are taken off, as at every path prompt.
        {"\"quoted name.swf\"", "quoted name.swf"},
        {"'single'.swf", "single'.swf"},
        {"   spaced out.swf   ", "spaced out.swf"},
        {"%s%n%x%n.swf", "%s%n%x%n.swf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Session s;
        s.writeFile("game.swf", games::stageGame());
        const Result r = s.run(withExit({"game.swf", "6", "0", c.typed}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(s.files(), (std::set<std::string>{"game.swf", c.file}));
        EXPECT_TRUE(sameMovie(s.readFile(c.file), games::stageGame()));
    }
}

TEST(SessionExportSwf, FailedWriteIsReportedAndTheSessionGoesOn) {
    const struct {
        const char* path;
        int error;
    } cases[] = {
        {"no/such/dir/out.swf", ENOENT},
        {"folder", EISDIR},
        {"..", EISDIR},
        {"missing/%s%n.swf", ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Session s;
        s.writeFile("game.swf", games::stageGame());
        s.makeDirectory("folder");
        // Refused right after the question, before anything is generated;
        // a second export afterwards still works.
        const std::string input = withExit({"game.swf", "6", "", c.path, "6", "", ""});
        const std::string message = cannot("write", c.path, c.error) + "\n";

        Options merged;
        merged.mergeStreams = true;
        const Result together = s.run(input, merged);
        ASSERT_TRUE(together.endedNormally()) << together.describe();
        EXPECT_TRUE(contains(together.out, kSwfPathPrompt + c.path + "\n" + red(message) + mainMenu() + "6\n"));
        EXPECT_EQ(countOf(together.out, "Generating SWF"), 1u);
        EXPECT_EQ(s.files(), (std::set<std::string>{"game.swf", "folder", "Vorlune_out.swf"}));
        EXPECT_TRUE(std::filesystem::is_empty(s.path("folder")));

        const Result apart = s.run(input);
        ASSERT_TRUE(apart.endedNormally()) << apart.describe();
        EXPECT_EQ(apart.err, message);
    }
}

// The loaded game is written over only after its original is kept beside
// it; an earlier original is the one kept. No question is added.
TEST(SessionExportSwf, WritingOverTheLoadedGameKeepsItsOriginal) {
    const ByteBuffer game = games::stageGame();
    const ByteBuffer projector = peProjector(fakePePlayer(), game);
    const struct {
        const char* name;
        const char* loaded;
        ByteBuffer file;
        std::vector<std::string> exportAnswers;
        ByteBuffer earlierBackup;  // empty: none
    } cases[] = {
        {"the movie", "game.swf", game, {"6", "", "game.swf"}, {}},
        {"by another name", "game.swf", game, {"6", "2", "./game.swf"}, {}},
        {"the projector", "game.exe", projector, {"7", "", "game.exe", ""}, {}},
        {"an earlier backup", "game.swf", game, {"6", "", "game.swf"}, testmovie::bytesOf("the first original")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile(c.loaded, c.file);
        if (!c.earlierBackup.empty()) s.writeFile(std::string(c.loaded) + ".orig", c.earlierBackup);
        // Exported twice: the second export keeps the first original.
        std::string input = script({c.loaded});
        for (int round = 0; round < 2; ++round) {
            for (const std::string& answer : c.exportAnswers) input += answer + "\n";
        }
        const Result r = s.run(input + script({"0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(countOf(r.out, "Overwrite"), 0u);
        EXPECT_EQ(s.readFile(std::string(c.loaded) + ".orig"), c.earlierBackup.empty() ? c.file : c.earlierBackup);
        EXPECT_NE(s.readFile(c.loaded), c.file);
        EXPECT_TRUE(sameMovie(s.readFile(c.loaded), game));
        EXPECT_EQ(s.files().size(), 2u);
    }
}

TEST(SessionExportExe, HeldProjectorIsReused) {
    const ByteBuffer game = games::stageGame();
    const ByteBuffer pe = fakePePlayer(300);
    const ByteBuffer elf = fakeElfPlayer(280);
    const struct {
        const char* name;
        ByteBuffer file;
        const char* answer;
        const char* label;
        ByteBuffer expected;
    } cases[] = {
        {"windows", peProjector(pe, game), "", "EXE", peProjector(pe, movieOf(game, 1))},
        {"windows", peProjector(pe, game), "y", "EXE", peProjector(pe, movieOf(game, 1))},
        {"linux", elfProjector(elf, game), "", "ELF", elfProjector(elf, movieOf(game, 1))},
        {"linux", elfProjector(elf, game), "Y", "ELF", elfProjector(elf, movieOf(game, 1))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " '" + c.answer + "'");
        Session s;
        s.writeFile(c.name, c.file);
        const Result r = s.run(withExit({c.name, "7", "", "", c.answer}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, kExePathPrompt + "\n" + reusePrompt(c.name) + c.answer + "\nGenerating " + c.label +
                                        "... Please wait.\n" + mainMenu()));
        EXPECT_EQ(r.out.find(kProjectorPrompt), std::string::npos);
        EXPECT_EQ(r.err, "");
        ASSERT_TRUE(s.exists("Vorlune_out.exe"));
        const ByteBuffer written = s.readFile("Vorlune_out.exe");
        EXPECT_EQ(written, c.expected);
        const swf::SWF reloaded(written);
        EXPECT_EQ(reloaded.projector, swf::SWF(c.file).projector);
        EXPECT_EQ(reloaded.projectorIsPE, std::string(c.label) == "EXE");
    }
}

TEST(SessionExportExe, OutputPathLosesItsQuotes) {
    Session s;
    const ByteBuffer game = games::stageGame();
    s.writeFile("game.exe", peProjector(fakePePlayer(), game));
    const Result r = s.run(withExit({"game.exe", "7", "0", "  \"my game.exe\" ", ""}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(s.files(), (std::set<std::string>{"game.exe", "my game.exe"}));
    EXPECT_EQ(s.readFile("my game.exe"), peProjector(fakePePlayer(), movieOf(game, 0)));
}

const std::string kNoProjector =
    "Export EXE needs a Flash Player projector executable (a Windows or Linux standalone player); give its path, "
    "or put it at ";

TEST(SessionExportExe, GameWithoutProjectorAsksForOneAtOnce) {
    const ByteBuffer game = games::stageGame();
    const ByteBuffer pe = fakePePlayer(320);
    const ByteBuffer elf = fakeElfPlayer(320);
    const struct {
        const char* description;
        const char* typed;
        const char* onDisk;  // nullptr: nothing is put there
        ByteBuffer projector;
        const char* label;    // nullptr: nothing generated
        std::string message;  // on standard error
        ByteBuffer expected;  // empty: nothing written
    } cases[] = {
        {"default name, missing",
         "",
         nullptr,
         {},
         nullptr,
         cannot("read", "SA.exe", ENOENT) + "\n" + kNoProjector + "'SA.exe'.\n",
         {}},
        {"default name, PE", "", "SA.exe", pe, "EXE", "", peProjector(pe, movieOf(game, 1))},
        {"quoted name, ELF", " \"flash player\" ", "flash player", elf, "ELF", "", elfProjector(elf, movieOf(game, 1))},
        {"a PNG file",
         "picture.png",
         "picture.png",
         games::pngSignatureFile(),
         nullptr,
         "Invalid projector file.\n",
         {}},
        {"an empty file", "empty", "empty", {}, nullptr, "No projector file given.\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        Session s;
        s.writeFile("game.swf", game);
        std::set<std::string> before = {"game.swf"};
        if (c.onDisk != nullptr) {
            s.writeFile(c.onDisk, c.projector);
            before.insert(c.onDisk);
        }
        const Result r = s.run(withExit({"game.swf", "7", "", "", c.typed}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        const std::string asked = kExePathPrompt + "\n" + kProjectorPrompt + c.typed + "\n";
        if (c.label == nullptr) {
            // Each line of the reason (and what the export needs), before
            // anything is generated.
            std::string marks;
            for (const char ch : c.message) marks += ch == '\n' ? errorMark() : "";
            EXPECT_TRUE(contains(r.out, asked + marks + mainMenu()));
            EXPECT_EQ(r.out.find("Generating"), std::string::npos);
        } else {
            const std::string generating = asked + "Generating " + c.label + "... Please wait.\n";
            EXPECT_TRUE(contains(r.out, generating + (c.message.empty() ? "" : errorMark()) + mainMenu()));
        }
        EXPECT_EQ(r.out.find("You have already loaded"), std::string::npos);
        EXPECT_EQ(r.err, c.message);
        if (c.expected.empty()) {
            EXPECT_EQ(s.files(), before);
        } else {
            ASSERT_TRUE(s.exists("Vorlune_out.exe"));
            EXPECT_EQ(s.readFile("Vorlune_out.exe"), c.expected);
        }
    }
}

TEST(SessionExportExe, ProjectorGivenLaterIsOfferedNextTime) {
    const ByteBuffer game = games::stageGame();
    const ByteBuffer other = fakeElfPlayer(280);
    Session s;
    s.writeFile("game.exe", peProjector(fakePePlayer(), game));
    s.writeFile("other player", other);
    const Result r =
        s.run(withExit({"game.exe", "7", "", "first.exe", "n", "other player", "7", "", "second.exe", ""}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(
        contains(r.out, reusePrompt() + "n\n" + kProjectorPrompt + "other player\nGenerating ELF... Please wait.\n"));
    EXPECT_TRUE(
        contains(r.out, kExePathPrompt + "second.exe\n" + reusePrompt() + "\nGenerating ELF... Please wait.\n"));
    EXPECT_EQ(countOf(r.out, kProjectorPrompt), 1u);
    const ByteBuffer expected = elfProjector(other, movieOf(game, 1));
    EXPECT_EQ(s.readFile("first.exe"), expected);
    EXPECT_EQ(s.readFile("second.exe"), expected);
}

TEST(SessionExportExe, RejectedProjectorIsNotKept) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    s.writeFile("picture.png", games::pngSignatureFile());
    s.writeFile("SA.exe", fakePePlayer());
    const Result r = s.run(withExit({"game.swf", "7", "", "", "picture.png", "7", "", "", ""}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, "Invalid projector file.\n");
    // The second export asks for a projector again rather than offering the
    // rejected file.
    EXPECT_EQ(countOf(r.out, kProjectorPrompt), 2u);
    EXPECT_EQ(r.out.find("You have already loaded"), std::string::npos);
    EXPECT_TRUE(contains(r.out, kProjectorPrompt + "\nGenerating EXE... Please wait.\n"));
    EXPECT_EQ(s.readFile("Vorlune_out.exe"), peProjector(fakePePlayer(), movieOf(games::stageGame(), 1)));
}

// Declining the held projector and naming an empty file must not fall back
// on the declined projector.
TEST(SessionExportExe, EmptyProjectorFileDoesNotBringBackTheDeclinedOne) {
    Session s;
    s.writeFile("game.exe", peProjector(fakePePlayer(), games::stageGame()));
    s.writeFile("empty", ByteBuffer{});
    const Result r = s.run(withExit({"game.exe", "7", "", "", "n", "empty"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_NE(r.err, "");
    EXPECT_EQ(s.files(), (std::set<std::string>{"game.exe", "empty"}));
}

TEST(SessionExportExe, AnswersToTheReuseQuestion) {
    Session s;
    s.writeFile("game.exe", peProjector(fakePePlayer(), games::stageGame()));
    const std::string invalid = "Invalid option.\n";
    Options merged;
    merged.mergeStreams = true;
    const Result r = s.run(withExit({"game.exe", "7", "", "", "maybe", "yes", "1", "%n%s", "Y"}), merged);
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out, reusePrompt() + "maybe\n" + red(invalid) + "yes\n" + red(invalid) + "1\n" +
                                    red(invalid) + "%n%s\n" + red(invalid) + "Y\nGenerating EXE... Please wait.\n" +
                                    mainMenu()));
    EXPECT_EQ(countOf(r.out, "Would you like to use it?"), 1u);
    EXPECT_TRUE(s.exists("Vorlune_out.exe"));
}

TEST(SessionExportExe, FailedWriteIsReportedAndTheSessionGoesOn) {
    Session s;
    s.writeFile("game.exe", elfProjector(fakeElfPlayer(), games::stageGame()));
    const Result r = s.run(withExit({"game.exe", "7", "", "no/such/dir/out.exe", "", "1"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, cannot("write", "no/such/dir/out.exe", ENOENT) + "\n");
    // Refused at once; the questions after the path are still asked, so
    // that the answers meant for them are not taken by the menu.
    EXPECT_TRUE(contains(
        r.out, kExePathPrompt + "no/such/dir/out.exe\n" + errorMark() + reusePrompt() + "\n" + mainMenu() + "1\n"));
    EXPECT_EQ(r.out.find("Generating"), std::string::npos);
    EXPECT_EQ(s.files(), std::set<std::string>{"game.exe"});
}

// Whatever the user types is printed as text: a format directive in an
// answer must neither be expanded nor crash the program.
TEST(SessionUserText, FormatDirectivesInAnswersArePlainText) {
    const std::string directives = "%s%n%x%p%n";
    Session s;
    s.writeFile("game.swf", games::stageGame());
    const std::string input = withExit({
        directives + ".swf",  // the game's path
        "game.swf",
        directives,  // main menu
        "2",
        directives,  // stage menu
        "2",
        directives,  // export ids
        "3",
        directives,  // stage id
        "3",
        "234",
        directives,  // replacement file
        "0",
        "6",
        directives,
        "",
        "",  // compression, then the default path
        "7",
        "",
        "",
        directives,  // projector path
    });
    const Result r = s.run(input);
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out, "File path: " + directives + ".swf\n"));
    const std::string noGame = cannot("read", directives + ".swf", ENOENT) + "\n";
    const std::string unknown = "No stage file named '" + directives + "'.\n";
    EXPECT_EQ(r.err.rfind("Error: " + noGame + "Invalid option.\n" + unknown + unknown, 0), 0u) << r.err;
    EXPECT_TRUE(contains(r.err, "Invalid option.\n" + cannot("read", directives, ENOENT) + "\n"));
    // A directive shows only where the answer is printed back whole.
    for (std::string text : {r.out, r.err}) {
        for (size_t at = text.find(directives); at != std::string::npos; at = text.find(directives, at)) {
            text.erase(at, directives.size());
        }
        EXPECT_EQ(text.find('%'), std::string::npos) << visible(text);
    }
    EXPECT_TRUE(contains(r.out, mainMenu() + directives + "\nInvalid option.\n" + mainMenu()));
    EXPECT_TRUE(s.exists("Vorlune_out.swf"));
}

}  // namespace
