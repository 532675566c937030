#pragma once
// Sessions at a terminal: the program runs on a pseudo-terminal of a given
// size, and the test types at it as a user would, waiting each time for
// what the program shows before it types on.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "session/session_harness.h"

namespace session {

struct TerminalOptions {
    unsigned short columns = 80;
    unsigned short rows = 24;
    // Added to the session's environment; TERM is xterm unless given here.
    std::vector<std::string> environment;
};

// Keys as a terminal sends them.
namespace keys {
inline constexpr const char* kEnter = "\r";
inline constexpr const char* kTab = "\t";
inline constexpr const char* kCtrlC = "\x03";
inline constexpr const char* kCtrlD = "\x04";
inline constexpr const char* kUp = "\x1b[A";
}  // namespace keys

// How long a wait lasts before it fails: only a program that hangs meets
// it, so it is no measure of speed.
inline constexpr std::chrono::milliseconds kPatience = std::chrono::minutes(2);

class Terminal {
public:
    // Starts the program in the session's working directory.
    explicit Terminal(const Session& session, const TerminalOptions& options = {});
    // Ends the program if it still runs.
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Waits until the program has shown `text` (escape sequences and
    // carriage returns left out) after what the last wait found, and moves
    // past it. The failure shows what was shown.
    ::testing::AssertionResult waitFor(const std::string& text,
                                       std::chrono::milliseconds timeout = kPatience);
    // Types the keys, once the program reads a line unless `whenReading` is
    // false (for keys meant for a running operation, such as Ctrl-C): keys
    // typed before are taken by the terminal itself, which echoes a line
    // twice and may take Ctrl-D for its own. `answer` types a line and Enter.
    void type(const std::string& keys, bool whenReading = true);
    void answer(const std::string& line) { type(line + keys::kEnter); }

    // Gives the terminal a new size, as a user resizing the window does.
    void resize(unsigned short columns, unsigned short rows);
    // Sends the program a signal.
    void signal(int number);

    // Answers the question for the game file with `path` and waits for the
    // main menu.
    ::testing::AssertionResult loadGame(const std::string& path = "game.swf") {
        if (auto asked = waitFor("File path: "); !asked) return asked;
        answer(path);
        return waitFor("0. Exit\n");
    }

    // Waits for the program to end; true when it exited with status 0.
    bool ended(std::chrono::milliseconds timeout = kPatience);

    // Everything shown so far, as it came, and without escape sequences and
    // carriage returns.
    const std::string& raw() const { return raw_; }
    std::string shown() const;

private:
    // Reads what the program wrote, for up to `wait`; false once it closed
    // the terminal.
    bool readSome(std::chrono::milliseconds wait);
    // Waits, reading meanwhile, until readline reads from the terminal.
    void waitUntilReading();

    int master_ = -1;
    pid_t pid_ = -1;
    int status_ = 0;
    bool reaped_ = false;
    std::string raw_;
    size_t mark_ = 0;  // in shown()
};

// `text` without escape sequences (CSI, OSC) and carriage returns.
std::string withoutEscapes(const std::string& text);

}  // namespace session
