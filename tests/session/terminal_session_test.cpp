// Sessions at a terminal: what only a user at the keyboard meets.

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
    ASSERT_TRUE(t.waitFor("File path: "));
    t.answer("game.swf");
    ASSERT_TRUE(t.waitFor("0. Exit\n"));
    t.type(keys::kCtrlD);
    ASSERT_TRUE(t.waitFor("Good bye. o/"));
    EXPECT_TRUE(t.ended());
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
    ASSERT_TRUE(t.waitFor("File path: "));
    t.answer("game.swf");
    ASSERT_TRUE(t.waitFor("0. Exit\n"));
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
    ASSERT_TRUE(t.waitFor("'game.swf' exists: it is the game you loaded, and its original will be kept as "
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
