// Symbol names come from the game file: exported files stay in the current
// directory whatever the names hold.

#include "session/session_harness.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"

using namespace session;
using namespace testmovie;

namespace {

// Names from the game and from the file system are shown with their
// control characters made visible, and written as file names without them.
TEST(SessionFileNames, SymbolNamesCannotLeadOutOfTheDirectoryNorDriveTheTerminal) {
    const struct {
        std::string symbol;
        std::string listed;
        std::string file;
    } cases[] = {
        {"../../escaped", "../../escaped.xml", "234 - .._.._escaped.xml"},
        {"Img\x1b]0;pwned\a\x1b[2J", "Img\\e]0;pwned\\x07\\e[2J.xml", "234 - Img_]0;pwned__[2J.xml"},
        {"FAKE\n219: StageCastle", "FAKE\\n219: StageCastle.xml", "234 - FAKE_219: StageCastle.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(visible(c.symbol));
        Session s;
        const ByteBuffer records = concat({
            record(87, binaryDataBody(234, bytesOf("<stage/>"))),
            record(14, soundBody(7, 0x2E, 1152, {0, 0, 0xFF, 0xFB, 0x90, 0x64})),
            record(76, symbolClassBody({{234, c.symbol}, {7, "a/b"}})),
        });
        s.writeFile("game.swf", movie(records));
        s.makeDirectory("mod");
        s.writeFile("mod/9999 - \x1b[2J\nFAKE.xml", "<stage/>");
        const Result r = s.run(script({"game.swf", "2", "1", "2", "234", "0", "9", "mod", "0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, red("234") + ": " + c.listed + "\n"));
        EXPECT_TRUE(contains(r.out, "Exporting: " + c.file + "\n"));
        EXPECT_TRUE(contains(r.err, "'mod/9999 - \\e[2J\\nFAKE.xml' matches no resource"));
        EXPECT_EQ(s.files(), (std::set<std::string>{"game.swf", "mod", c.file}));
    }
}

}  // namespace

namespace {

// Stage files exported and put back unedited leave the written game byte
// for byte as it was loaded.
TEST(SessionStages, ExportThenReplaceKeepsTheGameByteForByte) {
    Session s;
    const ByteBuffer game = games::stageGame(true);
    s.writeFile("game.swf", game);
    std::vector<std::string> answers = {"game.swf", "2", "2", "all"};
    for (const auto& [id, name] : games::stageNames()) {
        const std::string file = std::to_string(id) + " - " + name + ".xml";
        answers.insert(answers.end(), {"3", std::to_string(id), "\"" + file + "\""});
    }
    answers.insert(answers.end(), {"0", "6", "0", "out.swf", "0"});
    std::string input;
    for (const std::string& answer : answers) input += answer + "\n";
    const Result r = s.run(input);
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(contains(r.out, yellow("Exported 8 stage file(s).\n")));
    EXPECT_EQ(countOf(r.out, "Replacing '"), 8u);
    EXPECT_EQ(s.readFile("out.swf"), game);
}

// The game reads its stages as XML: a file that is not is refused, naming
// the parser's reason, unless the stage in the game is no XML either.
TEST(SessionStages, ReplacementThatIsNotXmlIsRefused) {
    const ByteBuffer xml = bytesOf("<stage name=\"StageMeadow\"/>");
    const struct {
        const char* name;
        ByteBuffer stage;     // in the game
        const char* file;     // put in its place
        const char* refusal;  // the parser's reason; nullptr: accepted
        const char* warning = nullptr;
    } cases[] = {
        {"plain text", xml, "hello", "Line 1, column 1: syntax error."},
        {"mismatched tag", xml, "<stage>\n  <a></b>\n</stage>", "Line 2, column 8: mismatched tag."},
        {"empty file", xml, "", "Line 1, column 1: no element found."},
        {"XML", xml, "<stage hard=\"yes\"/>", nullptr},
        {"a stage that is no XML either", bytesOf("binary \x01\x02"), "hello", nullptr,
         "WARNING: 'new.xml' is not well-formed XML: Line 1, column 1: syntax error. The stage it replaces was not "
         "well-formed either, so it is stored as it is.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        const ByteBuffer game = movie(concat({record(87, binaryDataBody(234, c.stage)),
                                              record(76, symbolClassBody({{234, "StageMeadow"}})), record(0, {})}));
        s.writeFile("game.swf", game);
        s.writeFile("new.xml", std::string(c.file));
        const Result r = s.run(script({"game.swf", "2", "3", "234", "new.xml", "0", "6", "0", "out.swf", "0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        if (c.refusal != nullptr) {
            EXPECT_EQ(r.err,
                      "Cannot use 'new.xml' as a stage: it is not well-formed XML. " + std::string(c.refusal) + "\n");
            EXPECT_EQ(s.readFile("out.swf"), game);
        } else {
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(swf::SWF(s.readFile("out.swf")).tagWithId<swf::Tag_DefineBinaryData>(234).data, bytesOf(c.file));
            EXPECT_EQ(contains(r.out, c.warning != nullptr ? c.warning : "WARNING"), c.warning != nullptr);
        }
    }
}

}  // namespace
