#include "session/session_harness.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "swf/movie_builder.h"

#ifndef VLF_EXECUTABLE
#error "VLF_EXECUTABLE must name the program under test"
#endif

namespace session {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int openCapture(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) fail("open " + path);
    return fd;
}

// The environment is made from scratch, so that the user's locale, terminal
// and readline settings cannot change what the program prints.
std::vector<std::string> environmentFor(const std::string& home) {
    std::vector<std::string> env = {
        "TERM=dumb", "LC_ALL=C.UTF-8", "HOME=" + home, "INPUTRC=/dev/null", "COLUMNS=80", "LINES=24",
    };
    const char* path = std::getenv("PATH");
    env.push_back(std::string("PATH=") + (path != nullptr ? path : "/usr/bin:/bin"));
    // Sanitizer builds keep their settings.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    }
    return env;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// Writing to a program that has already ended must not kill the tests.
class IgnoredSigpipe {
public:
    IgnoredSigpipe() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGPIPE, &ignore, &old_);
    }
    ~IgnoredSigpipe() { sigaction(SIGPIPE, &old_, nullptr); }

private:
    struct sigaction old_ {};
};

}  // namespace

std::string visible(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\x1b')
            out += "\\e";
        else if (c == '\a')
            out += "\\a";
        else
            out += c;
    }
    return out;
}

::testing::AssertionResult contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing:\n" << visible(part) << "\n--- in ---\n" << visible(text);
}

::testing::AssertionResult endsWith(const std::string& text, const std::string& part) {
    if (text.size() >= part.size() && text.compare(text.size() - part.size(), part.size(), part) == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "does not end with:\n"
                                         << visible(part) << "\n--- text ---\n"
                                         << visible(text);
}

::testing::AssertionResult containsEither(const std::string& text, const std::function<std::string(EmptyLine)>& part) {
    const std::string noTrace = part(EmptyLine::LeavesNoTrace);
    const std::string lineEnded = part(EmptyLine::EndsTheLine);
    if (text.find(noTrace) != std::string::npos || text.find(lineEnded) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "missing:\n"
                                         << visible(noTrace) << "\n--- or ---\n"
                                         << visible(lineEnded) << "\n--- in ---\n"
                                         << visible(text);
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); !part.empty() && at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

std::string script(std::initializer_list<std::string> answers) {
    std::string out;
    for (const auto& answer : answers) out += answer + "\n";
    return out;
}

std::string menu(std::initializer_list<std::string> entries) {
    std::string out = yellow("What do you wish to do?\n");
    size_t label = 0;
    for (const auto& entry : entries) {
        ++label;
        out += red((label == entries.size() ? std::string("0") : std::to_string(label)) + ". ") + entry + "\n";
    }
    return out;
}

std::string mainMenu() {
    return menu({"Help", "Edit stages", "Edit sounds", "Edit images", "Edit data", "Export SWF", "Export EXE",
                 "Export all resources", "Apply resource folder", "Review changes", "Exit"});
}

std::string Result::describe() const {
    std::string text;
    if (timedOut) text += "timed out; ";
    if (exited)
        text += "exit status " + std::to_string(status);
    else
        text += "signal " + std::to_string(signal);
    return text + "\n--- stdout ---\n" + out + "\n--- stderr ---\n" + err;
}

Session::Session() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vlf-session-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) fail("mkdtemp");
    root_ = pattern;
    dir_ = root_ + "/play";
    std::filesystem::create_directory(dir_);
}

Session::~Session() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void Session::writeFile(const std::string& name, const ByteBuffer& bytes) const {
    std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path(name));
}

void Session::writeFile(const std::string& name, const std::string& text) const {
    writeFile(name, ByteBuffer(text.begin(), text.end()));
}

void Session::makeDirectory(const std::string& name) const { std::filesystem::create_directories(path(name)); }

bool Session::exists(const std::string& name) const { return std::filesystem::exists(path(name)); }

ByteBuffer Session::readFile(const std::string& name) const {
    const std::string text = readWhole(path(name));
    return ByteBuffer(text.begin(), text.end());
}

std::set<std::string> Session::files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) names.insert(entry.path().filename().string());
    return names;
}

std::vector<std::string> Session::environment(const std::vector<std::string>& extra) const {
    std::vector<std::string> envStrings = environmentFor(root_);
    // A variable given again replaces the harness's own: the C library's
    // getenv would find the first of the two.
    for (const auto& variable : extra) {
        const std::string name = variable.substr(0, variable.find('=')) + "=";
        const auto same = std::find_if(envStrings.begin(), envStrings.end(),
                                       [&](const std::string& e) { return e.rfind(name, 0) == 0; });
        if (same != envStrings.end())
            *same = variable;
        else
            envStrings.push_back(variable);
    }
    return envStrings;
}

Result Session::run(const std::string& input, const Options& options) const {
    const std::string outPath = root_ + "/stdout";
    const std::string errPath = root_ + "/stderr";

    // Everything the child needs is prepared before the fork.
    std::string executable = VLF_EXECUTABLE;
    std::vector<std::string> argStrings = {executable};
    argStrings.insert(argStrings.end(), options.arguments.begin(), options.arguments.end());
    std::vector<std::string> envStrings = environment(options.environment);
    std::vector<char*> argv = pointersTo(argStrings);
    std::vector<char*> envp = pointersTo(envStrings);

    int stdinPipe[2];
    if (::pipe2(stdinPipe, O_CLOEXEC) != 0) fail("pipe2");
    const int outFd = openCapture(options.stdoutFile.empty() ? outPath : options.stdoutFile);
    const int errFd = options.mergeStreams ? outFd : openCapture(errPath);

    const IgnoredSigpipe ignoredSigpipe;
    const pid_t pid = ::fork();
    if (pid < 0) fail("fork");
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        ::dup2(stdinPipe[0], STDIN_FILENO);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        sigemptyset(&defaults.sa_mask);
        ::sigaction(SIGPIPE, &defaults, nullptr);
        if (options.fileSizeLimit != 0) {
            const rlimit limit = {options.fileSizeLimit, options.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (::chdir(dir_.c_str()) != 0) ::_exit(126);
        ::execve(executable.c_str(), argv.data(), envp.data());
        static const char message[] = "session harness: exec failed\n";
        [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(127);
    }

    ::close(stdinPipe[0]);
    ::close(outFd);
    if (errFd != outFd) ::close(errFd);

    // The answers are written without blocking while the program runs, so
    // that a program that stops reading cannot hang the test; the pipe is
    // closed once everything was written, and standard input ends there.
    int writeFd = stdinPipe[1];
    ::fcntl(writeFd, F_SETFL, O_NONBLOCK);
    size_t written = 0;
    const auto deadline = std::chrono::steady_clock::now() + options.timeout;
    Result result;
    int waitStatus = 0;
    bool signalled = options.signalAfter.empty();
    for (;;) {
        if (!signalled && readWhole(outPath).find(options.signalAfter) != std::string::npos) {
            ::kill(pid, options.signal);
            signalled = true;
        }
        if (writeFd >= 0) {
            while (written < input.size()) {
                const ssize_t n = ::write(writeFd, input.data() + written, input.size() - written);
                if (n > 0) {
                    written += static_cast<size_t>(n);
                } else {
                    break;  // full for now, or the program stopped reading
                }
            }
            if (written == input.size() || errno == EPIPE) {
                ::close(writeFd);
                writeFd = -1;
            }
        }
        const pid_t done = ::waitpid(pid, &waitStatus, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) fail("waitpid");
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &waitStatus, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (writeFd >= 0) ::close(writeFd);

    result.exited = WIFEXITED(waitStatus);
    if (result.exited) result.status = WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus)) result.signal = WTERMSIG(waitStatus);
    if (options.stdoutFile.empty()) result.out = readWhole(outPath);
    if (!options.mergeStreams) result.err = readWhole(errPath);
    return result;
}

namespace games {

const std::vector<std::pair<uint16_t, std::string>>& stageNames() {
    static const std::vector<std::pair<uint16_t, std::string>> names = {
        {234, "StageMeadow"}, {219, "StageForest"}, {398, "StageCaves"},  {226, "StageHarbour"},
        {299, "StageTower"},  {305, "StageMarsh"},  {454, "StageSummit"}, {170, "StageTutorial"},
    };
    return names;
}

ByteBuffer stageGame(bool withStage219) {
    using namespace testmovie;
    ByteBuffer records = record(69, {0x08, 0, 0, 0});
    for (const auto& [id, name] : stageNames()) {
        if (id == 219 && !withStage219) continue;
        appendBytes(records, record(87, binaryDataBody(id, bytesOf("<stage name=\"" + name + "\"/>"))));
    }
    appendBytes(records, record(87, binaryDataBody(136, ByteBuffer(40, 0x0A))));
    // Sound flags: the format is the high nibble (2 is MP3, 3 uncompressed
    // little-endian).
    appendBytes(records, record(14, soundBody(7, 0x2E, 1152, {0, 0, 0xFF, 0xFB, 0x90, 0x64})));
    appendBytes(records, record(14, soundBody(11, 0x3E, 4, ByteBuffer(16, 0))));
    appendBytes(records, record(36, losslessBody(9, 3, 3, 1, 2, {1, 2, 3, 4})));
    appendBytes(records, record(20, losslessBody(8, 5, 2, 2, 0, {0x78, 0x9C, 0x03, 0, 0, 0, 0, 1}), true));
    appendBytes(records, record(36, losslessBody(10, 3, 3, 1, 2, {5, 6, 7, 8})));
    appendBytes(records, record(20, losslessBody(12, 5, 2, 2, 0, {0x78, 0x9C, 0x03, 0, 0, 0, 0, 1}), true));
    std::vector<std::pair<uint16_t, std::string>> symbols = stageNames();
    symbols.insert(
        symbols.end(),
        {{136, "ItemTable"}, {7, "Theme"}, {11, "Click"}, {9, "Tree"}, {8, "Hero"}, {10, "Logo"}, {12, "Sky"}});
    appendBytes(records, record(76, symbolClassBody(symbols)));
    appendBytes(records, record(1, {}));
    appendBytes(records, record(0, {}));
    return movie(records);
}

ByteBuffer pngSignatureFile() {
    ByteBuffer bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    bytes.resize(300, 0);
    return bytes;
}

}  // namespace games

}  // namespace session
