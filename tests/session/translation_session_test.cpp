// A whole session in German: every message the session shows comes from
// the catalogue, none in its English original.

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "session/session_harness.h"

using namespace session;

namespace {

struct Message {
    std::string id;
    std::string translation;
};

// The text of a quoted catalogue string, escapes resolved.
std::string unquote(const std::string& line) {
    const size_t open = line.find('"');
    const size_t close = line.rfind('"');
    std::string out;
    for (size_t i = open + 1; i < close; ++i) {
        if (line[i] != '\\') {
            out += line[i];
            continue;
        }
        const char next = line[++i];
        out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return out;
}

// The messages of a catalogue, each with its translation.
std::vector<Message> readCatalogue(const std::string& path) {
    std::ifstream in(path);
    std::vector<Message> messages;
    std::string line;
    std::string* current = nullptr;
    while (std::getline(in, line)) {
        if (line.rfind("msgid ", 0) == 0) {
            messages.push_back({unquote(line), ""});
            current = &messages.back().id;
        } else if (line.rfind("msgstr ", 0) == 0 && !messages.empty()) {
            messages.back().translation = unquote(line);
            current = &messages.back().translation;
        } else if (line.rfind("\"", 0) == 0 && current != nullptr) {
            *current += unquote(line);
        } else {
            current = nullptr;
        }
    }
    return messages;
}

// The longest run of a message's text between its placeholders and line
// breaks: what must not show when the message was translated.
std::string telltale(const std::string& id) {
    std::string longest, run;
    for (size_t i = 0; i <= id.size(); ++i) {
        const bool end = i == id.size();
        if (end || id[i] == '\n' || id[i] == '%') {
            if (run.size() > longest.size()) longest = run;
            run.clear();
            if (!end && id[i] == '%') i += id.compare(i, 3, "%zu") == 0 ? 2 : 1;
            continue;
        }
        run += id[i];
    }
    return longest;
}

TEST(SessionTranslation, WholeSessionInGermanShowsNoEnglishMessage) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    s.writeFile("stage.xml", std::string("<stage/>"));
    s.makeDirectory("saves");
    // The program of the build finds the build's catalogues from any folder.
    Options options;
    // A German locale (made by the build), not the harness's C.UTF-8, in
    // which newer C libraries ignore LANGUAGE.
    options.environment = {"LOCPATH=" VLF_TEST_LOCALES, "LC_ALL=de_DE.UTF-8", "LANGUAGE=de"};
    const Result r = s.run(script({"missing.swf",
                                   "saves",
                                   "stage.xml",
                                   "game.swf",
                                   "9",
                                   "1",  //
                                   "2",
                                   "1",
                                   "2",
                                   "all",
                                   "2",
                                   "x",
                                   "3",
                                   "abc",
                                   "3",
                                   "5",
                                   "7",
                                   "0",  //
                                   "3",
                                   "1",
                                   "2",
                                   "all",
                                   "3",
                                   "7",
                                   "missing.mp3",
                                   "0",  //
                                   "4",
                                   "1",
                                   "2",
                                   "all",
                                   "3",
                                   "8",
                                   "stage.xml",
                                   "0",  //
                                   "5",
                                   "1",
                                   "2",
                                   "136",
                                   "3",
                                   "136",
                                   "missing.zip",
                                   "0",  //
                                   "6",
                                   "3",
                                   "",
                                   "",
                                   "7",
                                   "",
                                   "",
                                   "",  //
                                   "6",
                                   "",
                                   "nodir/out.swf",
                                   "2",
                                   "3",
                                   "234",
                                   "stage.xml",
                                   "0",
                                   "3",  // an error with its reason, both in German
                                   "3",
                                   "7",
                                   "stage.xml",
                                   "0",
                                   "0",
                                   "maybe",
                                   "j"}),  // the German letter for yes
                           options);
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    const std::string shown = r.out + r.err;
    EXPECT_TRUE(contains(shown, "Welche Datei möchtest du bearbeiten?"));
    // Every error about a file names it.
    for (const char* file :
         {"'missing.swf'", "'saves'", "'stage.xml'", "'nodir/out.swf'", "'SA.exe'", "'missing.zip'"}) {
        EXPECT_TRUE(contains(r.err, file));
    }

    const std::vector<Message> catalogue = readCatalogue(VLF_SOURCE_DIR "/po/de.po");
    ASSERT_GT(catalogue.size(), 50u);
    for (const Message& message : catalogue) {
        if (message.id.empty() || message.translation.empty() || message.translation == message.id) continue;
        const std::string english = telltale(message.id);
        if (english.size() < 6) continue;
        EXPECT_FALSE(contains(shown, english)) << "untranslated: " << message.id;
    }
}

// The German word for "all" is taken beside the English one, and the yes/no
// questions show the German letters, while y and n are still taken.
TEST(SessionTranslation, GermanAnswersAreTaken) {
    const struct {
        const char* all;
        const char* yes;
    } cases[] = {{"alle", "j"}, {"ALLE", "y"}, {"all", "J"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.all);
        Session s;
        s.writeFile("game.swf", games::stageGame());
        s.writeFile("stage.xml", std::string("<stage/>"));
        Options options;
        options.environment = {"LOCPATH=" VLF_TEST_LOCALES, "LC_ALL=de_DE.UTF-8", "LANGUAGE=de"};
        const Result r =
            s.run(script({"game.swf", "2", "2", c.all, "3", "234", "stage.xml", "0", "0", c.yes}), options);
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, "Gib 'alle' oder durch Kommas getrennte IDs ein: "));
        EXPECT_TRUE(contains(r.out, yellow("7 Level-Datei(en) exportiert.\n")));
        EXPECT_TRUE(contains(r.out, "ohne SWF/EXE zu exportieren? [j/n] (Standard=n): " + std::string(c.yes) +
                                        "\nAuf Wiedersehen. o/\n"));
        EXPECT_TRUE(contains(r.err, "ID=219"));
    }
}

}  // namespace
