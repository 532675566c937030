// Sessions at a terminal: what only a user at the keyboard meets.

#include <signal.h>

#include <iterator>
#include <sstream>

#include "session/terminal_harness.h"
#include "swf/movie_builder.h"

using namespace session;

namespace {

TEST(SessionTerminal, CtrlCAsksAgainAndCtrlDLeaves) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    Terminal t(s);
    ASSERT_TRUE(t.waitFor("File path: "));
    t.type(std::string("nothing here") + keys::kCtrlC);
    ASSERT_TRUE(t.waitFor("^C"));
    ASSERT_TRUE(t.loadGame());
    t.type(keys::kCtrlD);
    ASSERT_TRUE(t.waitFor("Good bye. o/"));
    EXPECT_TRUE(t.ended());
}

const std::vector<std::string> kGerman = {"LOCPATH=" VLF_TEST_LOCALES, "LC_ALL=de_DE.UTF-8", "LANGUAGE=de"};

// Tab completes paths whose folders and files have blanks and quotes in
// their names, quoted or not, and the completed answer loads the game.
TEST(SessionTerminal, TabCompletesPathsWithBlanksAndQuotes) {
    const struct {
        const char* folder;
        std::vector<std::string> keys;
        std::string line;  // as completion leaves it
    } cases[] = {
        {"my mods", {"my", keys::kTab, keys::kTab}, "my mods/game.swf"},
        {"my mods", {"../play/my", keys::kTab, keys::kTab}, "../play/my mods/game.swf"},
        {"my mods", {"~/play/my", keys::kTab, keys::kTab}, "~/play/my mods/game.swf"},
        {"my mods", {"\"my", keys::kTab, keys::kTab}, "\"my mods/game.swf\""},
        {"my mods", {"'my", keys::kTab, keys::kTab}, "'my mods/game.swf'"},
        {"my mods", {"my\\ m", keys::kTab, keys::kTab}, "my\\ mods/game.swf"},
        {"Tobin's mods", {"Tob", keys::kTab, keys::kTab}, "Tobin's mods/game.swf"},
        // Between single quotes a single quote cannot stand: double ones
        // take their place.
        {"Tobin's mods", {"'Tob", keys::kTab, keys::kTab}, "\"Tobin's mods/game.swf\""},
        // Typed with backslashes, completed with backslashes.
        {"\"odd\" mods", {"\\\"o", keys::kTab, keys::kTab}, "\\\"odd\\\"\\ mods/game.swf"},
        {"\"odd\" mods", {"\"\\\"o", keys::kTab, keys::kTab}, "\"\\\"odd\\\" mods/game.swf\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Session s;
        s.makeDirectory(c.folder);
        s.writeFile(std::string(c.folder) + "/game.swf", games::stageGame());
        Terminal t(s);
        ASSERT_TRUE(t.waitFor("File path: "));
        for (const std::string& key : c.keys) t.type(key);
        ASSERT_TRUE(t.waitFor(c.line));
        t.answer("");
        ASSERT_TRUE(t.waitFor("0. Exit\n"));
        t.answer("0");
        EXPECT_TRUE(t.ended());
    }
}

// Dialogues that only a terminal has, each from the main menu of the stage
// game: keys typed, and what the program shows next.
TEST(SessionTerminal, AsksAgainAndAsksFirst) {
    const std::string enter = keys::kEnter;
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<std::pair<std::string, std::string>> steps;
        std::vector<std::pair<std::string, std::string>> filesAfter;
        bool changed = false;  // then leaving asks first
    } cases[] = {
        // An id the kind lacks is told at once and asked again, and so is a
        // file that cannot replace the resource; an empty path goes back.
        {"replace",
         {{"new.xml", "<stage name=\"new\"/>"}},
         {{"2" + enter, "0. Back\n"},
          {"3" + enter, "Stage ID: "},
          {"219" + enter, "Stage file with ID=219 not found inside the game.\nStage ID: "},
          {"stagemeadow.XML" + enter, "Which stage file do you wish to replace with? (.xml)\nFile path: "},
          {"missing.xml" + enter, "Cannot read 'missing.xml': No such file or directory.\nFile path: "},
          {"new.xml" + enter, "Replaced stage 234 StageMeadow.xml: 27 bytes → 19 bytes.\n"},
          {"3" + enter, "Stage ID: "},
          {"234" + enter, "File path: "},
          {enter, "0. Back\n"},
          {"0" + enter, "0. Exit\n"}},
         {},
         true},
        // A section's export asks before it overwrites files that were
        // edited, and keeps them when told.
        {"export over an edit",
         {{"234 - StageMeadow.xml", "edited"}},
         {{"2" + enter, "0. Back\n"},
          {"2" + enter, "Type 'all' or comma separated IDs: "},
          {"234, 398" + enter,
           "1 file(s) differ from the game's resources and would be overwritten.\nOverwrite them? "},
          // The files kept are named.
          {"n" + enter,
           "Skipped 1 edited file(s).\n  234 - StageMeadow.xml\nExporting: 398 - StageCaves.xml\nExported 1 stage "
           "file(s).\n"},
          {"0" + enter, "0. Exit\n"}},
         {{"234 - StageMeadow.xml", "edited"}, {"398 - StageCaves.xml", "<stage name=\"StageCaves\"/>"}}},
        // A projector that will not do is told and asked again; an empty
        // answer goes back.
        {"a bad projector",
         {{"bad.exe", "not a projector"}},
         {{"7" + enter, "Pick option (default=1): "},
          {"0" + enter, "Path to output file (default=Vorlune_out.exe): "},
          {"out.exe" + enter, "Path to Adobe Flash Player Projector (default=SA.exe): "},
          {"bad.exe" + enter, "Invalid projector file.\nPath to Adobe Flash Player Projector (default=SA.exe): "},
          {"missing.exe" + enter, "put it at 'missing.exe'.\nPath to Adobe Flash Player Projector (default=SA.exe): "},
          {enter, "0. Exit\n"}},
         {{"bad.exe", "not a projector"}}},
        // Ctrl-C at the question of an apply changes nothing, as before it.
        {"Ctrl-C at the apply question",
         {{"mod/234.xml", "<stage/>"}},
         {{"9" + enter, "Folder path (default=game_resources): "},
          {"mod" + enter, "Apply 1 replacement(s)? [y/n] (default=y): "},
          {keys::kCtrlC, "Cancelled.\n"},
          {"10" + enter, "Nothing differs from the game as it was loaded.\n"}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile("game.swf", games::stageGame());
        s.makeDirectory("mod");
        for (const auto& [name, text] : c.files) s.writeFile(name, text);
        Terminal t(s);
        ASSERT_TRUE(t.loadGame());
        for (const auto& [typed, shown] : c.steps) {
            t.type(typed);
            ASSERT_TRUE(t.waitFor(shown));
        }
        t.answer("0");
        if (c.changed) {
            ASSERT_TRUE(t.waitFor("(default=n): "));
            t.answer("y");
        }
        EXPECT_TRUE(t.ended());
        for (const auto& [name, text] : c.filesAfter) EXPECT_EQ(s.readFile(name), testmovie::bytesOf(text)) << name;
    }
}

// A listing taller than the terminal stops after each screenful; Enter
// shows the next one, q or Ctrl-D ends the listing.
TEST(SessionTerminal, ListingsStopAtEachScreenful) {
    const std::string pause = "-- Press Enter for more, q to stop --";
    for (const char* stop : {"q\r", keys::kCtrlD}) {
        SCOPED_TRACE(stop);
        Session s;
        s.writeFile("game.swf", games::stageGame());
        TerminalOptions options;
        options.rows = 10;
        Terminal t(s, options);
        ASSERT_TRUE(t.loadGame());
        t.answer("5");
        ASSERT_TRUE(t.waitFor("0. Back\n"));
        t.answer("1");
        ASSERT_TRUE(t.waitFor(pause));
        // Nine lines of the 78 data files, and the question on the tenth.
        const std::string shown = t.shown();
        const size_t start = shown.find("0. Back\n1\n") + 10;
        const std::string page = shown.substr(start, shown.find(pause) - start);
        EXPECT_EQ(countOf(page, "\n"), 9u) << visible(page);
        EXPECT_EQ(page.rfind("136", 0), 0u) << visible(page);
        t.answer("");
        ASSERT_TRUE(t.waitFor(pause));
        t.type(stop);
        ASSERT_TRUE(t.waitFor("0. Back\n"));
        EXPECT_EQ(t.shown().find("468"), std::string::npos);
        EXPECT_EQ(countOf(t.shown(), pause), 2u);
        t.answer("0");
        t.answer("0");
        EXPECT_TRUE(t.ended());
    }
}

// Ending a long report or review at its pause ends that listing only: the
// question or the menu that follows it still comes.
TEST(SessionTerminal, EndingAListingEarlyLeadsOn) {
    const std::string pause = "-- Press Enter for more, q to stop --";
    Session s;
    s.writeFile("game.swf", games::stageGame());
    s.makeDirectory("mod");
    for (const auto& [id, name] : games::stageNames()) s.writeFile("mod/" + std::to_string(id) + ".xml", "<edited/>");
    TerminalOptions options;
    options.rows = 6;
    Terminal t(s, options);
    ASSERT_TRUE(t.loadGame());
    t.answer("9");
    ASSERT_TRUE(t.waitFor("Folder path (default=game_resources): "));
    t.answer("mod");
    ASSERT_TRUE(t.waitFor(pause));
    t.answer("q");
    ASSERT_TRUE(t.waitFor("not matched"));
    ASSERT_TRUE(t.waitFor("Apply 7 replacement(s)? [y/n] (default=y): "));
    t.answer("y");
    ASSERT_TRUE(t.waitFor("0. Exit\n"));
    t.answer("10");
    ASSERT_TRUE(t.waitFor(pause));
    t.type(keys::kCtrlD);
    ASSERT_TRUE(t.waitFor("1. Revert\n2. Export changed resources to a folder\n0. Back\n"));
    t.answer("0");
    ASSERT_TRUE(t.waitFor("0. Exit\n"));
    t.answer("0");
    ASSERT_TRUE(t.waitFor("(default=n): "));
    t.answer("y");
    EXPECT_TRUE(t.ended());
}

// The lines of a text shown at a terminal: none longer than `width`
// characters, and no unit at the start of one.
void expectWrappedTo(const std::string& text, size_t width) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        size_t characters = 0;
        for (const char c : line) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        // A word longer than a line is left to the terminal.
        if (characters > width) {
            EXPECT_EQ(line.find(' '), std::string::npos) << line;
        }
        EXPECT_NE(line.rfind("Hz", 0), 0u) << line;
    }
}

std::vector<std::string> wordsOf(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// German text at a terminal is broken at blanks to the width of the
// moment: the same words as where every line fits, none longer than the
// width, and no number apart from its unit. So is a long error, and so is
// the help, shown again after each resize.
TEST(SessionTerminal, TextWrapsAtWordsToTheWidthOfTheMoment) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    TerminalOptions options;
    options.columns = 30;
    options.rows = 500;
    options.environment = kGerman;
    Terminal t(s, options);
    t.answer("nicht vorhanden.swf");
    ASSERT_TRUE(t.waitFor("Fehler"));
    ASSERT_TRUE(t.waitFor("Dateipfad: "));
    const std::string error = t.shown().substr(t.shown().find("Fehler"));
    expectWrappedTo(error, 30);
    EXPECT_EQ(wordsOf(error), wordsOf("Fehler: 'nicht vorhanden.swf' kann nicht gelesen werden: Datei oder "
                                      "Verzeichnis nicht gefunden. Dateipfad:"));
    t.resize(400, 500);
    t.answer("game.swf");
    const auto help = [&t]() {
        EXPECT_TRUE(t.waitFor("0. Beenden\n"));
        t.answer("1");
        EXPECT_TRUE(t.waitFor("Was möchtest du tun?"));
        const std::string shown = t.shown();
        const size_t start = shown.rfind("0. Beenden\n1\n") + 13;
        return shown.substr(start, shown.find("Was möchtest du tun?", start) - start);
    };
    const std::vector<std::string> words = wordsOf(help());
    ASSERT_GT(words.size(), 300u);
    for (const unsigned short width : {30, 41, 52, 60, 77, 100}) {
        SCOPED_TRACE(width);
        t.resize(width, 500);
        const std::string shown = help();
        expectWrappedTo(shown, width);
        EXPECT_EQ(wordsOf(shown), words);
    }
}

// Up brings back earlier answers of the same kind only.
TEST(SessionTerminal, EachKindOfAnswerHasItsOwnHistory) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    Terminal t(s);
    ASSERT_TRUE(t.loadGame());
    t.answer("2");
    ASSERT_TRUE(t.waitFor("0. Back\n"));
    t.answer("2");
    ASSERT_TRUE(t.waitFor("IDs: "));
    t.answer("234");
    ASSERT_TRUE(t.waitFor("0. Back\n"));
    t.answer("3");
    ASSERT_TRUE(t.waitFor("Stage ID: "));
    // The id typed at the export, not the menu choice 3.
    t.type(keys::kUp);
    ASSERT_TRUE(t.waitFor("234"));
    t.answer("");
    ASSERT_TRUE(t.waitFor("File path: "));
    t.type(keys::kUp);
    ASSERT_TRUE(t.waitFor("game.swf"));
    t.type(keys::kCtrlC);
    ASSERT_TRUE(t.waitFor("File path: "));
    t.type(keys::kCtrlD);
    ASSERT_TRUE(t.waitFor("0. Back\n"));
    // The menu's own answers, the latest first.
    t.type(keys::kUp);
    ASSERT_TRUE(t.waitFor("3"));
    t.type(keys::kUp);
    ASSERT_TRUE(t.waitFor("2"));
    EXPECT_EQ(t.shown().find("234", t.shown().rfind("0. Back")), std::string::npos);
}

// The title shown before the program started is saved on the terminal's
// title stack and put back however the program ends; with NO_COLOR neither.
TEST(SessionTerminal, TheTitleIsRestoredOnEveryWayOut) {
    const std::string push = "\x1b[22;0t", pop = "\x1b[23;0t", title = "\x1b]0;Vorlune Forge\a";
    const struct {
        bool load;
        std::string keys;
        int signal;
        bool colour;
    } cases[] = {
        {true, "0\r", 0, true},    {true, keys::kCtrlD, 0, true}, {false, keys::kCtrlD, 0, true},
        {true, "", SIGTERM, true}, {true, "", SIGHUP, true},      {true, "0\r", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(visible(c.keys) + " " + std::to_string(c.signal));
        Session s;
        s.writeFile("game.swf", games::stageGame());
        TerminalOptions options;
        if (!c.colour) options.environment = {"NO_COLOR=1"};
        Terminal t(s, options);
        ASSERT_TRUE(t.waitFor("File path: "));
        if (c.load) t.answer("game.swf");
        ASSERT_TRUE(t.waitFor(c.load ? "0. Exit\n" : ""));
        if (c.signal != 0) t.signal(c.signal);
        t.type(c.keys);
        t.ended();
        const std::string& raw = t.raw();
        if (!c.colour) {
            for (const std::string& sequence : {push, pop, title}) EXPECT_EQ(raw.find(sequence), std::string::npos);
            continue;
        }
        EXPECT_EQ(raw.rfind(push + title, 0), 0u) << visible(raw);
        EXPECT_EQ(countOf(raw, pop), 1u) << visible(raw);
        EXPECT_TRUE(endsWith(raw, pop)) << visible(raw);
    }
}

}  // namespace

namespace {

// At a terminal an existing file is written over only when the user says
// so; the loaded game is named, and so is where its original goes. A path
// that cannot be written is refused at once and asked for again.
TEST(SessionTerminal, WritingOverAFileIsAskedFirst) {
    Session s;
    const ByteBuffer game = games::stageGame();
    s.writeFile("game.swf", game);
    s.writeFile("out.swf", std::string("keep me"));
    TerminalOptions wide;
    wide.columns = 200;
    Terminal t(s, wide);
    const std::string pathPrompt = "Path to output file (default=Vorlune_out.swf): ";
    ASSERT_TRUE(t.loadGame());
    t.answer("6");
    ASSERT_TRUE(t.waitFor("Pick option (default=1): "));
    t.answer("");
    ASSERT_TRUE(t.waitFor(pathPrompt));
    t.answer("out.swf");
    ASSERT_TRUE(t.waitFor("'out.swf' exists. Overwrite it? [y/n] (default=n): "));
    t.answer("");
    ASSERT_TRUE(t.waitFor(pathPrompt));
    t.answer("..");
    ASSERT_TRUE(t.waitFor("'..' is a directory.\n" + pathPrompt));
    t.answer("game.swf");
    ASSERT_TRUE(
        t.waitFor("'game.swf' exists: it is the game you loaded, and its original will be kept as "
                  "'game.swf.orig'. Overwrite it? [y/n] (default=n): "));
    t.answer("y");
    ASSERT_TRUE(t.waitFor("Wrote 'game.swf': "));
    ASSERT_TRUE(t.waitFor(", zlib; the original is kept as 'game.swf.orig'.\n"));
    ASSERT_TRUE(t.waitFor("0. Exit\n"));
    t.type(keys::kCtrlD);
    ASSERT_TRUE(t.waitFor("Good bye. o/"));
    EXPECT_TRUE(t.ended());
    EXPECT_EQ(s.readFile("out.swf"), testmovie::bytesOf("keep me"));
    EXPECT_EQ(s.readFile("game.swf.orig"), game);
    EXPECT_EQ(s.readFile("game.swf")[0], 'C');
}

}  // namespace
