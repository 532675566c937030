#include "session/terminal_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

namespace session {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

std::string withoutEscapes(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') continue;
        if (c != '\x1b' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const char kind = text[++i];
        if (kind == '[') {
            // Parameters and intermediates, then one final byte.
            while (i + 1 < text.size() && (text[i + 1] < 0x40 || text[i + 1] > 0x7E)) ++i;
            ++i;
        } else if (kind == ']') {
            while (i + 1 < text.size() && text[i + 1] != '\a' && text[i + 1] != '\x1b') ++i;
            ++i;
            if (i < text.size() && text[i] == '\x1b') ++i;  // ESC \ ends it too
        }
    }
    return out;
}

Terminal::Terminal(const Session& session, const TerminalOptions& options) {
    std::vector<std::string> extra = {"TERM=xterm"};
    extra.insert(extra.end(), options.environment.begin(), options.environment.end());
    std::vector<std::string> envStrings = session.environment(extra);
    std::string executable = VLF_EXECUTABLE;
    std::vector<std::string> argStrings = {executable};
    std::vector<char*> argv = pointersTo(argStrings);
    std::vector<char*> envp = pointersTo(envStrings);
    const std::string dir = session.dir();

    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) fail("posix_openpt");
    const std::string slaveName = ::ptsname(master_);
    const winsize size = {options.rows, options.columns, 0, 0};
    if (::ioctl(master_, TIOCSWINSZ, &size) != 0) fail("TIOCSWINSZ");

    pid_ = ::fork();
    if (pid_ < 0) fail("fork");
    if (pid_ == 0) {
        // The terminal becomes the child's controlling terminal, so that
        // Ctrl-C typed at it is a SIGINT.
        ::setsid();
        const int slave = ::open(slaveName.c_str(), O_RDWR);
        if (slave < 0) ::_exit(126);
        ::ioctl(slave, TIOCSCTTY, 0);
        ::dup2(slave, STDIN_FILENO);
        ::dup2(slave, STDOUT_FILENO);
        ::dup2(slave, STDERR_FILENO);
        if (slave > STDERR_FILENO) ::close(slave);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (::chdir(dir.c_str()) != 0) ::_exit(126);
        ::execve(executable.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
}

Terminal::~Terminal() {
    if (!reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status_, 0);
    }
    if (master_ >= 0) ::close(master_);
}

bool Terminal::readSome(std::chrono::milliseconds wait) {
    pollfd ready = {master_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(wait.count())) <= 0) return true;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    // A terminal whose other side is closed reads as an error (EIO).
    if (n <= 0) return false;
    raw_.append(buffer, static_cast<size_t>(n));
    return true;
}

std::string Terminal::shown() const { return withoutEscapes(raw_); }

::testing::AssertionResult Terminal::waitFor(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::string now = shown();
        const size_t at = now.find(text, mark_);
        if (at != std::string::npos) {
            mark_ = at + text.size();
            return ::testing::AssertionSuccess();
        }
        const bool open = readSome(std::chrono::milliseconds(20));
        if (!open || std::chrono::steady_clock::now() > deadline) {
            return ::testing::AssertionFailure() << (open ? "timed out" : "the program ended") << " waiting for:\n"
                                                 << visible(text) << "\n--- after ---\n"
                                                 << visible(now.substr(0, mark_)) << "\n--- shown since ---\n"
                                                 << visible(now.substr(mark_));
        }
    }
}

void Terminal::type(const std::string& keys, bool whenReading) {
    if (whenReading) waitUntilReading();
    size_t written = 0;
    while (written < keys.size()) {
        const ssize_t n = ::write(master_, keys.data() + written, keys.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail("write to the terminal");
        written += static_cast<size_t>(n);
    }
}

void Terminal::waitUntilReading() {
    // Readline takes the terminal out of line mode while it reads; the
    // terminal's settings are seen from either side.
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (termios mode{}; ::tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON) != 0;) {
        if (!readSome(std::chrono::milliseconds(5)) || std::chrono::steady_clock::now() > deadline) break;
    }
}

void Terminal::resize(unsigned short columns, unsigned short rows) {
    const winsize size = {rows, columns, 0, 0};
    if (::ioctl(master_, TIOCSWINSZ, &size) != 0) fail("TIOCSWINSZ");
}

void Terminal::signal(int number) {
    if (::kill(pid_, number) != 0) fail("kill");
}

bool Terminal::ended(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!reaped_) {
        readSome(std::chrono::milliseconds(10));
        const pid_t done = ::waitpid(pid_, &status_, WNOHANG);
        if (done == pid_) reaped_ = true;
        if (!reaped_ && std::chrono::steady_clock::now() > deadline) return false;
    }
    // What was written before the end is still in the terminal.
    for (;;) {
        pollfd ready = {master_, POLLIN, 0};
        if (::poll(&ready, 1, 0) <= 0 || !readSome(std::chrono::milliseconds(0))) break;
    }
    return WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
}

}  // namespace session
