#pragma once
// Scripted sessions with the real program: each session gets a fresh
// working directory, the answers are fed through a pipe on standard input,
// and standard output and standard error are captured.

#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "util/bytes.h"

namespace session {

inline constexpr const char* kRed = "\x1b[01;31m";
inline constexpr const char* kYellow = "\x1b[01;33m";
inline constexpr const char* kReset = "\x1b[0m";

// Text printed in a colour: the colour, the text, the reset.
inline std::string red(const std::string& text) { return kRed + text + kReset; }
inline std::string yellow(const std::string& text) { return kYellow + text + kReset; }
// What an error message leaves on standard output: the colour is switched
// on and off there while the text itself goes to standard error.
inline std::string errorMark() { return std::string(kRed) + kReset; }

// Escape characters made visible, for failure messages.
std::string visible(const std::string& text);
// Whether `part` occurs in `text`; the failure shows both.
::testing::AssertionResult contains(const std::string& text, const std::string& part);
::testing::AssertionResult endsWith(const std::string& text, const std::string& part);
size_t countOf(const std::string& text, const std::string& part);

// How an answer at a prompt-less question shows on standard output:
// readline echoes the line and ends it. An empty line is readline's own
// choice: the readline 8.2 of Debian 12 leaves no trace of it, the patched
// 8.2 of Debian 13 ends the line all the same. The program's output through
// a pipe is readline's echo, so tests accept either way, the same for every
// empty answer of a session.
enum class EmptyLine { LeavesNoTrace, EndsTheLine };
inline std::string echoed(const std::string& answer, EmptyLine empty) {
    if (!answer.empty()) return answer + "\n";
    return empty == EmptyLine::EndsTheLine ? "\n" : "";
}
// Whether `text` contains `part` as made for one of the two ways.
::testing::AssertionResult containsEither(const std::string& text,
                                          const std::function<std::string(EmptyLine)>& part);

// How a file that cannot be read or written is reported: "Cannot <verb>
// '<path>': <reason>.", or "'<path>' is a directory.".
inline std::string cannot(const std::string& verb, const std::string& path, int error) {
    if (error == EISDIR) return "'" + path + "' is a directory.";
    return "Cannot " + verb + " '" + path + "': " + std::strerror(error) + ".";
}

// The answers, one line each.
std::string script(std::initializer_list<std::string> answers);

// "What do you wish to do?" and the numbered entries, as printed.
std::string menu(std::initializer_list<std::string> entries);
std::string mainMenu();

struct Result {
    bool exited = false;  // false: killed by a signal (or by the timeout)
    int status = -1;      // exit status when exited
    int signal = 0;       // the signal that ended it otherwise
    bool timedOut = false;
    std::string out;
    std::string err;

    bool endedNormally() const { return exited && status == 0 && !timedOut; }
    // For failure messages.
    std::string describe() const;
};

struct Options {
    // Standard error goes into `out` too, interleaved as a terminal shows
    // it; `err` stays empty.
    bool mergeStreams = false;
    std::vector<std::string> arguments;
    // Standard output goes to this file instead of being captured.
    std::string stdoutFile;
    // Only a program that hangs meets this: it is not a measure of speed.
    std::chrono::milliseconds timeout{std::chrono::minutes(5)};
    // The largest file the program may write, in bytes (as ulimit -f sets
    // it); 0 for no limit.
    uint64_t fileSizeLimit = 0;
    // Added to the environment, such as "LANGUAGE=de"; a variable that the
    // harness sets too, such as LC_ALL, takes the value given here.
    std::vector<std::string> environment;
    // Sends `signal` to the program as soon as standard output shows
    // `signalAfter` (when set): a test that interrupts work waits for the
    // program to say that the work started, never for a time.
    std::string signalAfter;
    int signal = 0;
};

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The program's working directory.
    const std::string& dir() const { return dir_; }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    void writeFile(const std::string& name, const ByteBuffer& bytes) const;
    void writeFile(const std::string& name, const std::string& text) const;
    void makeDirectory(const std::string& name) const;
    bool exists(const std::string& name) const;
    ByteBuffer readFile(const std::string& name) const;
    // Names of the entries of the working directory.
    std::set<std::string> files() const;

    Result run(const std::string& input, const Options& options = {}) const;

    // The program's environment: the harness's own, with `extra` added or
    // replacing a variable of the same name.
    std::vector<std::string> environment(const std::vector<std::string>& extra) const;

private:
    std::string root_;  // holds the working directory and the captures
    std::string dir_;
};

// Games to load.
namespace games {

// Symbol names of the stage files, in the order of the stage table, 219
// included.
const std::vector<std::pair<uint16_t, std::string>>& stageNames();

// A movie with the stage files (all but 219 unless asked), one data file
// (136, "ItemTable"), an MP3 sound (7, "Theme"), a sound of another format
// (11, "Click"), and lossless bitmaps whose two kinds alternate in the
// stream: 36 (id 9, "Tree"), 20 (id 8, "Hero"), 36 (id 10, "Logo"), 20 (id
// 12, "Sky").
ByteBuffer stageGame(bool withStage219 = false);

ByteBuffer pngSignatureFile();

}  // namespace games

}  // namespace session
