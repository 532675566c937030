// Sessions with the real program: start-up, loading the game, the main
// menu, the help screen and the end of input.

#include <gtest/gtest.h>

#include <cstring>

#include "session/session_harness.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"

using namespace session;

namespace {

const std::string kGoodBye = "Good bye. o/\n";

std::string noSuchFile() { return cannot("read", "missing.swf", ENOENT); }

std::string sectionMenu(const char* list, const char* exportEntry, const char* replace) {
    return menu({list, exportEntry, replace, "Back"});
}

TEST(SessionStart, ExitRightAfterLoadingAsksNothing) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    // The line after "0" must never be read.
    const Result r = s.run(script({"game.swf", "0", "1"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.out.rfind("\x1b]0;Vorlune Forge\a", 0), 0u) << visible(r.out);
    EXPECT_TRUE(contains(r.out, yellow("Hello there, hero!\nWhich file do you wish to modify?\n\n") +
                                    "File path: game.swf\n" + mainMenu() + "0\n" + kGoodBye));
    EXPECT_TRUE(endsWith(r.out, "0\n" + kGoodBye));
    EXPECT_EQ(r.out.find("[y/n]"), std::string::npos);
    EXPECT_EQ(r.out.find("IMPORTANT"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST(SessionStart, NoColourWritesNoEscapeSequence) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    Options options;
    options.mergeStreams = true;
    options.environment = {"NO_COLOR=1"};
    const Result r = s.run(script({"missing.swf", "game.swf", "1", "2", "1", "0", "0"}), options);
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out, "What do you wish to do?\n1. Help\n"));
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << visible(r.out);
}

TEST(SessionStart, ArgumentsChangeNothing) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    const std::string input = script({"game.swf", "2", "1", "0", "0"});
    const Result plain = s.run(input);
    Options withArguments;
    withArguments.arguments = {"--help", "game.swf", "-v"};
    const Result given = s.run(input, withArguments);
    ASSERT_TRUE(plain.endedNormally()) << plain.describe();
    ASSERT_TRUE(given.endedNormally()) << given.describe();
    EXPECT_EQ(visible(given.out), visible(plain.out));
    EXPECT_EQ(given.err, plain.err);
}

TEST(SessionLoad, PathsWithBlanksAndQuotesLoad) {
    const struct {
        std::string onDisk;
        std::string typed;
    } cases[] = {
        {"my game.swf", "   \"my game.swf\"   "},
        {"my game.swf", "'my game.swf'"},
        {"game.swf", "  game.swf  "},
        {"it's here.swf", "\"it's here.swf\""},
        // Only one quote is taken off each end.
        {"\"odd\" name.swf", "\"\"odd\" name.swf\""},
        {"half.swf", "\"half.swf"},
        // The home directory, as a shell expands it (the session's home
        // holds its working directory, "play").
        {"game.swf", "~/play/game.swf"},
        {"my game.swf", " '~/play/my game.swf' "},
        // Backslashes escape as in a shell, and as completion writes them;
        // before an ordinary letter one stands for itself.
        {"my game.swf", "my\\ game.swf"},
        {"my \"odd\" name.swf", "\"my \\\"odd\\\" name.swf\""},
        {"back\\slash.swf", "back\\\\slash.swf"},
        {"C:\\games.swf", "C:\\games.swf"},
        {"it's here.swf", "it's here.swf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Session s;
        s.writeFile(c.onDisk, games::stageGame());
        const Result r = s.run(script({c.typed, "0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, "File path: " + c.typed + "\n" + mainMenu()));
        EXPECT_EQ(countOf(r.out, "File path: "), 1u);
        EXPECT_EQ(r.err, "");
    }
}

TEST(SessionLoad, MissingFileIsReportedInRedAndAskedAgain) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    const std::string input = script({"missing.swf", "game.swf", "0"});

    Options merged;
    merged.mergeStreams = true;
    const Result together = s.run(input, merged);
    ASSERT_TRUE(together.endedNormally()) << together.describe();
    EXPECT_TRUE(contains(together.out, "File path: missing.swf\n" + red("Error: " + noSuchFile() + "\n") +
                                           "File path: game.swf\n" + mainMenu()));

    const Result apart = s.run(input);
    ASSERT_TRUE(apart.endedNormally()) << apart.describe();
    EXPECT_EQ(apart.err, "Error: " + noSuchFile() + "\n");
    EXPECT_TRUE(contains(apart.out, "File path: missing.swf\n" + errorMark() + "File path: game.swf\n"));
}

TEST(SessionLoad, FilesThatHoldNoGameAreReportedAndAskedAgain) {
    ByteBuffer cut = swf::SWF(games::stageGame()).exportSwf(swf::Compression::Zlib);
    cut.resize(cut.size() / 2);
    const struct {
        const char* name;
        ByteBuffer bytes;
        const char* message;  // after the file's name
    } cases[] = {
        {"notes.txt", testmovie::bytesOf("These are not the files you are looking for.\n"),
         "Invalid SWF file. Unrecognized header."},
        {"picture.png", games::pngSignatureFile(), "Invalid SWF file. Unrecognized header."},
        {"empty.swf", {}, "Invalid SWF file. File too small."},
        {"short.swf", testmovie::bytesOf("FWS"), "Invalid SWF file. File too small."},
        {"player.exe", testmovie::fakePePlayer(), "SWF not found inside EXE file."},
        {"player", testmovie::fakeElfPlayer(), "SWF not found inside ELF file."},
        {"cut.swf", cut, "Invalid SWF file: the file is truncated or damaged: zlib: Stream is not complete."},
        {"folder", {}, "is a directory."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile("game.swf", games::stageGame());
        if (std::string(c.name) == "folder") {
            s.makeDirectory(c.name);
        } else {
            s.writeFile(c.name, c.bytes);
        }
        const Result r = s.run(script({c.name, "game.swf", "0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        const std::string separator = std::string(c.name) == "folder" ? "' " : "': ";
        EXPECT_EQ(r.err, "Error: '" + std::string(c.name) + separator + c.message + "\n");
        EXPECT_TRUE(contains(
            r.out, std::string("File path: ") + c.name + "\n" + errorMark() + "File path: game.swf\n" + mainMenu()));
    }
}

TEST(SessionLoad, MoviesAndProjectorsOfEveryFormLoad) {
    const ByteBuffer game = games::stageGame();
    const swf::SWF loaded(game);
    const struct {
        const char* name;
        ByteBuffer bytes;
    } cases[] = {
        {"plain.swf", game},
        {"zlib.swf", loaded.exportSwf(swf::Compression::Zlib)},
        {"lzma.swf", loaded.exportSwf(swf::Compression::Lzma)},
        {"windows.exe", testmovie::peProjector(testmovie::fakePePlayer(), loaded.exportSwf(swf::Compression::Zlib))},
        {"linux", testmovie::elfProjector(testmovie::fakeElfPlayer(), game)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile(c.name, c.bytes);
        // The sound listing shows that the tags were read.
        const Result r = s.run(script({c.name, "3", "1", "0", "0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(contains(r.out, "1\n" + red("7") + ": Theme.mp3\n"));
    }
}

TEST(SessionMainMenu, UnrecognisedAnswersShowTheMenuAgain) {
    const std::vector<std::string> answers = {"11", "-1", "help", "", "03", "3.", "three", "1 2", "00", "Help", "%s%n"};
    Session s;
    s.writeFile("game.swf", games::stageGame());
    std::string input = script({"game.swf"});
    for (const auto& answer : answers) input += answer + "\n";
    const Result r = s.run(input + script({"0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    // Plain text on standard output, not an error.
    EXPECT_TRUE(containsEither(r.out, [&](EmptyLine empty) {
        std::string expected = "File path: game.swf\n" + mainMenu();
        for (const auto& answer : answers) expected += echoed(answer, empty) + "Invalid option.\n" + mainMenu();
        return expected + "0\n" + kGoodBye;
    }));
    EXPECT_EQ(r.err, "");
}

TEST(SessionMainMenu, EachOptionLeadsToItsDialogue) {
    const struct {
        std::string answer;
        std::string next;
    } cases[] = {
        {"1", "\n" + std::string(kYellow)},
        {"2", sectionMenu("List stage files", "Export stage file(s)", "Replace stage file")},
        {" 3 ", sectionMenu("List sounds", "Export sound(s)", "Replace sound")},
        {"4", sectionMenu("List images", "Export image(s)", "Replace image")},
        {"5", sectionMenu("List data files", "Export data file(s)", "Replace data file")},
        {"6",
         yellow("Compression: \n") +
             "[0] Uncompressed\n[1] *zlib (faster, bigger)\n[2] LZMA (slower, smaller)\nPick option (default=1): "},
        {"7", yellow("Compression: \n") + "[0] Uncompressed\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        Session s;
        s.writeFile("game.swf", games::stageGame());
        const Result r = s.run(script({"game.swf", c.answer}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, mainMenu() + c.answer + "\n" + c.next));
        EXPECT_EQ(r.err, "");
    }
}

TEST(SessionHelp, HighlightsAndForumAddress) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    const Result r = s.run(script({"game.swf", "1", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    for (const char* highlight : {"IMPORTANT: ", " NOT ", "images resized and sounds compressed",
                                  "Exporting Vorlune: ", "Replacing Images: ", "Replacing Sounds: ", "sample rates"}) {
        EXPECT_EQ(countOf(r.out, red(highlight)), 1u) << highlight;
    }
    EXPECT_TRUE(contains(r.out, red("IMPORTANT: ") + "Vorlune is property of"));
    EXPECT_TRUE(contains(r.out, "in which case you should" + red(" NOT ") + "use them. Thank you.\n\n"));
    // The forum address is yellow and ends the screen; the menu follows.
    const std::string lead = "For tutorials and discussion visit ";
    const size_t at = r.out.find(lead + kYellow);
    ASSERT_NE(at, std::string::npos) << visible(r.out);
    const size_t end = r.out.find("\n\n" + std::string(kReset), at);
    ASSERT_NE(end, std::string::npos) << visible(r.out);
    EXPECT_GT(end, at + lead.size() + std::strlen(kYellow));
    EXPECT_EQ(r.out.compare(end + 2 + std::strlen(kReset), mainMenu().size(), mainMenu()), 0) << visible(r.out);
    EXPECT_EQ(r.err, "");
}

TEST(SessionEndOfInput, EndsPromptlyAtEveryPrompt) {
    const std::string goodBye = "\n" + kGoodBye;
    const std::string stageMenu = sectionMenu("List stage files", "Export stage file(s)", "Replace stage file");
    const std::string compression = "Pick option (default=1): ";
    const struct {
        const char* where;
        const char* game;  // the file to load
        std::vector<std::string> answers;
        std::string tail;
    } cases[] = {
        {"first file path", "game.swf", {}, "File path: " + goodBye},
        {"file path after a failed load",
         "game.swf",
         {"missing.swf"},
         "File path: missing.swf\n" + errorMark() + "File path: " + goodBye},
        {"main menu", "game.swf", {"game.swf"}, mainMenu() + goodBye},
        {"main menu after an invalid answer",
         "game.swf",
         {"game.swf", "11"},
         "11\nInvalid option.\n" + mainMenu() + goodBye},
        {"stage menu", "game.swf", {"game.swf", "2"}, "2\n" + stageMenu + goodBye},
        {"sound menu",
         "game.swf",
         {"game.swf", "3"},
         sectionMenu("List sounds", "Export sound(s)", "Replace sound") + goodBye},
        {"image menu",
         "game.swf",
         {"game.swf", "4"},
         sectionMenu("List images", "Export image(s)", "Replace image") + goodBye},
        {"data menu",
         "game.swf",
         {"game.swf", "5"},
         sectionMenu("List data files", "Export data file(s)", "Replace data file") + goodBye},
        {"section menu after an invalid answer",
         "game.swf",
         {"game.swf", "2", "x"},
         "x\n" + errorMark() + stageMenu + goodBye},
        {"export ids",
         "game.swf",
         {"game.swf", "2", "2"},
         yellow("Which stage(s) do you wish to export?\n") + "Type 'all' or comma separated IDs: " + goodBye},
        {"replace id",
         "game.swf",
         {"game.swf", "3", "3"},
         yellow("Which MP3 sound do you wish to replace?\n") + "Sound ID: " + goodBye},
        {"replace file",
         "game.swf",
         {"game.swf", "4", "3", "8"},
         yellow("Which image file do you wish to replace with?\n") + "File path: " + goodBye},
        {"compression", "game.swf", {"game.swf", "6"}, compression + goodBye},
        {"compression after an invalid answer",
         "game.swf",
         {"game.swf", "6", "9"},
         compression + "9\n" + errorMark() + goodBye},
        {"SWF output path",
         "game.swf",
         {"game.swf", "6", ""},
         compression + "\nPath to output file (default=Vorlune_out.swf): " + goodBye},
        {"EXE output path",
         "game.swf",
         {"game.swf", "7", ""},
         compression + "\nPath to output file (default=Vorlune_out.exe): " + goodBye},
        {"projector path",
         "game.swf",
         {"game.swf", "7", "", ""},
         "Path to Adobe Flash Player Projector (default=SA.exe): " + goodBye},
        {"reuse question",
         "game.exe",
         {"game.exe", "7", "", ""},
         "Would you like to use it? [y/n] (default=y): " + goodBye},
        {"reuse question after an invalid answer",
         "game.exe",
         {"game.exe", "7", "", "", "x"},
         "Would you like to use it? [y/n] (default=y): x\n" + errorMark() + goodBye},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        Session s;
        if (std::string(c.game) == "game.exe") {
            s.writeFile(c.game, testmovie::peProjector(testmovie::fakePePlayer(), games::stageGame()));
        } else {
            s.writeFile(c.game, games::stageGame());
        }
        std::string input;
        for (const auto& answer : c.answers) input += answer + "\n";
        const Result r = s.run(input);
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(endsWith(r.out, c.tail));
        EXPECT_EQ(countOf(r.out, kGoodBye), 1u);
        // Nothing was replaced, so nothing is said to be lost.
        EXPECT_EQ(r.err.find("End of input"), std::string::npos) << r.err;
        // Leaving half-way through an export writes nothing.
        EXPECT_EQ(s.files(), std::set<std::string>{c.game});
    }
}

// An error that no dialogue handles ends the run with a message and status
// 1 rather than an abort. A full standard output makes the title screen
// fail before any dialogue starts.
TEST(SessionStart, ErrorOutsideEveryDialogueEndsWithStatusOne) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    Options options;
    options.stdoutFile = "/dev/full";
    const Result r = s.run(script({"game.swf", "0"}), options);
    ASSERT_TRUE(r.exited) << r.describe();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("Error: ", 0), 0u) << r.err;
    EXPECT_TRUE(contains(r.err, std::strerror(ENOSPC)));
}

}  // namespace
