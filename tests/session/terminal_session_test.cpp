// Sessions at a terminal: what only a user at the keyboard meets.

#include "session/terminal_harness.h"

using namespace session;

namespace {

TEST(SessionTerminal, CtrlCAsksAgainAndCtrlDLeaves) {
    Session s;
    s.writeFile("game.swf", games::stageGame());
    Terminal t(s);
    ASSERT_TRUE(t.waitFor("File path: "));
    t.settle();
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
