#include "console/title.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/output.h"
#include "console/rlutil.h"
#include "console/terminal.h"

namespace l18n {

namespace {

// Read by the handlers of the signals that end the program, so an atomic
// here rather than part of the terminal object.
std::atomic<bool> g_titlePushed{false};

// Anything still buffered reaches the terminal before the title changes.
void restoreAtExit() {
    std::fflush(stdout);
    restoreWindowTitle();
}

}  // namespace

void setWindowTitle(const std::string& title) {
    if (!coloursEnabled()) return;
    // The stack is the terminal's: pushing into a pipe or a file would only
    // add bytes to a transcript.
    if (isTerminal(stdout)) {
        static const bool registered = std::atexit(restoreAtExit) == 0;
        std::fputs(rlutil::ANSI_TITLE_PUSH, stdout);
        std::fflush(stdout);
        g_titlePushed.store(registered);
    }
    std::fputs(rlutil::ANSI_CONSOLE_TITLE_PRE, stdout);
    std::fputs(title.c_str(), stdout);
    std::fputs(rlutil::ANSI_CONSOLE_TITLE_POST, stdout);
}

void restoreWindowTitle() noexcept {
    if (!g_titlePushed.exchange(false)) return;
    const size_t length = std::strlen(rlutil::ANSI_TITLE_POP);
    // Nothing is left to do about a terminal that is gone.
    [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, rlutil::ANSI_TITLE_POP, length);
}

}  // namespace l18n
