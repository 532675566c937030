#include "console/l18n_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "console/signals.h"
#include "util/cancellation.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

template <typename Call>
void expectRuntimeError(Call call, const std::string& message) {
    try {
        call();
        ADD_FAILURE() << "no exception, expected \"" << message << '"';
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

// How a failed read or write of a file is reported: the file and the reason.
std::string cannot(const char* verb, const std::string& file, int error) {
    return std::string("Cannot ") + verb + " '" + file + "': " + std::strerror(error) + ".";
}

Bytes patternBytes(size_t size) {
    Bytes data(size);
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i * 31 + (i >> 8));
    return data;
}

class L18nFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vlf-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(L18nFiles, WriteThenReadRoundTrips) {
    const Bytes data = patternBytes(100003);
    EXPECT_EQ(l18n::writeBinaryFile(path("game.swf"), data), data.size());

    Bytes read;
    EXPECT_EQ(l18n::readBinaryFile(path("game.swf"), read), data.size());
    EXPECT_EQ(read, data);
}

TEST_F(L18nFiles, WriteTruncatesAndEmptyDataMakesAnEmptyFile) {
    l18n::writeBinaryFile(path("f"), patternBytes(50));
    EXPECT_EQ(l18n::writeBinaryFile(path("f"), Bytes{7, 8}), 2u);
    EXPECT_EQ(fs::file_size(path("f")), 2u);

    EXPECT_EQ(l18n::writeBinaryFile(path("f"), Bytes{}), 0u);
    EXPECT_EQ(fs::file_size(path("f")), 0u);
}

TEST_F(L18nFiles, ReadEmptyFile) {
    std::ofstream(path("empty")).close();
    Bytes read;
    EXPECT_EQ(l18n::readBinaryFile(path("empty"), read), 0u);
    EXPECT_TRUE(read.empty());
}

TEST_F(L18nFiles, ReadReplacesWhatTheVectorHeld) {
    l18n::writeBinaryFile(path("f"), Bytes{1, 2});
    Bytes read{9, 9, 9, 9};
    EXPECT_EQ(l18n::readBinaryFile(path("f"), read), 2u);
    EXPECT_EQ(read, (Bytes{1, 2}));
}

TEST_F(L18nFiles, OpenFailuresCarryTheSystemMessage) {
    Bytes read;
    expectRuntimeError([&] { l18n::readBinaryFile(path("missing.swf"), read); },
                       cannot("read", path("missing.swf"), ENOENT));

    expectRuntimeError([&] { l18n::writeBinaryFile(path("no/such/dir/out.swf"), Bytes{1}); },
                       cannot("write", path("no/such/dir/out.swf"), ENOENT));
    EXPECT_FALSE(fs::exists(path("no")));
}

// The text of a message id with the path put in.
std::string withPath(const std::string& message, const std::string& path) {
    return message.substr(0, message.find("%s")) + path + message.substr(message.find("%s") + 2);
}

// Only regular files of a usable size are read. Anything else is refused at
// once by what it is: a FIFO without a writer would block the open for
// good, /dev/zero would be read for ever, and a file over the limit is
// refused by its size, before any of it is read.
TEST_F(L18nFiles, WhatIsNoFileOrTooLargeIsRefusedAtOnce) {
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    for (const auto& [name, size] : {std::pair{"8GiB.png", uint64_t{8} << 30}, {"over.png", l18n::kMaxFileSize + 1}}) {
        std::ofstream(path(name)).close();
        fs::resize_file(path(name), size);  // sparse: it takes no disk
    }
    const struct {
        std::string file;
        const char* message;
    } cases[] = {
        {path("pipe"), "Cannot read '%s': it is a named pipe (FIFO), not a file."},
        {"/dev/zero", "Cannot read '%s': it is a character device, not a file."},
        // Some file systems report a directory's size as LONG_MAX.
        {dir_.string(), "'%s' is a directory."},
        {path("8GiB.png"), "'%s' is 8.0 GiB; a file larger than 512 MiB cannot be used."},
        {path("over.png"), "'%s' is 512.1 MiB; a file larger than 512 MiB cannot be used."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Bytes read{1, 2, 3};
        expectRuntimeError([&] { l18n::readBinaryFile(c.file, read); }, withPath(c.message, c.file));
        EXPECT_EQ(read, (Bytes{1, 2, 3}));
        expectRuntimeError([&] { l18n::make_fopen(c.file.c_str(), "rb"); }, withPath(c.message, c.file));
    }
}

// What the check of cancellation does before each piece of a read, after
// the file was opened and sized.
std::function<void()> g_beforePiece;
void runBeforePiece() { g_beforePiece(); }

struct CheckDuringRead {
    explicit CheckDuringRead(std::function<void()> check) {
        g_beforePiece = std::move(check);
        setCancellationCheck(runBeforePiece);
    }
    ~CheckDuringRead() { setCancellationCheck(nullptr); }
};

// A read takes the bytes the file had when it was opened: a file that grows
// meanwhile is read to its old end, one that shrinks is an error.
TEST_F(L18nFiles, ReadTakesTheFileAsItWasWhenOpened) {
    const Bytes data = patternBytes(10 << 20);  // three pieces
    const std::string file = path("growing.xml");
    const struct {
        const char* name;
        std::function<void()> afterFirstPiece;
        const char* message;  // nullptr: reads `data`
    } cases[] = {
        {"grows", [&] { std::ofstream(file, std::ios::app) << "appended"; }, nullptr},
        {"shrinks", [&] { fs::resize_file(file, 5 << 20); }, "Cannot read '%s': it became shorter while it was read."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        l18n::writeBinaryFile(file, data);
        int piece = 0;
        const CheckDuringRead check([&] {
            if (piece++ == 1) c.afterFirstPiece();
        });
        Bytes read;
        if (c.message != nullptr) {
            expectRuntimeError([&] { l18n::readBinaryFile(file, read); }, withPath(c.message, file));
        } else {
            EXPECT_EQ(l18n::readBinaryFile(file, read), data.size());
            EXPECT_EQ(read, data);
        }
        EXPECT_GE(piece, 2) << "the file did not change while it was read";
    }
}

TEST_F(L18nFiles, WriteErrorsSurfaceEvenWhenBuffered) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    expectRuntimeError(
        [] {
            l18n::writeBinaryFile("/dev/full", Bytes{1, 2, 3});
        },
        cannot("write", "/dev/full", ENOSPC));
}

}  // namespace

namespace {

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST_F(L18nFiles, SafeWriteReplacesAndSetsPermissions) {
    const mode_t mask = umask(022);
    l18n::writeBinaryFileSafely(path("game.exe"), patternBytes(1000), true);
    EXPECT_EQ(modeOf(path("game.exe")), 0755u);
    l18n::writeBinaryFileSafely(path("game.swf"), patternBytes(10));
    EXPECT_EQ(modeOf(path("game.swf")), 0644u);
    chmod(path("game.swf").c_str(), 0600);
    l18n::writeBinaryFileSafely(path("game.swf"), patternBytes(20));
    EXPECT_EQ(modeOf(path("game.swf")), 0600u) << "a replaced file keeps its permissions";
    umask(mask);
    Bytes back;
    l18n::readBinaryFile(path("game.swf"), back);
    EXPECT_EQ(back, patternBytes(20));
    EXPECT_EQ(namesIn(dir_), (std::set<std::string>{"game.exe", "game.swf"}));
}

// A write that fails part way, here at the file size limit, leaves the old
// file as it was and no temporary file behind. It runs in a child process,
// which alone gets the limit.
TEST_F(L18nFiles, FailedSafeWriteKeepsTheOldFile) {
    const Bytes old = patternBytes(3000);
    l18n::writeBinaryFile(path("game.swf"), old);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            l18n::writeBinaryFileSafely(path("game.swf"), patternBytes(100000));
        } catch (const std::exception& e) {
            _exit(std::string(e.what()) == "Cannot write '" + path("game.swf") + "': " + std::strerror(EFBIG) + "."
                      ? 0
                      : 2);
        }
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write succeeded, 2: another message";
    Bytes back;
    l18n::readBinaryFile(path("game.swf"), back);
    EXPECT_EQ(back, old);
    EXPECT_EQ(namesIn(dir_), (std::set<std::string>{"game.swf"}));
}

TEST_F(L18nFiles, SafeWriteIntoAMissingDirectoryCreatesNothing) {
    expectRuntimeError([&] { l18n::writeBinaryFileSafely(path("nowhere/game.swf"), patternBytes(10)); },
                       cannot("write", path("nowhere/game.swf"), ENOENT));
    fs::create_directory(path("taken"));
    expectRuntimeError([&] { l18n::writeBinaryFileSafely(path("taken"), patternBytes(10)); },
                       "'" + path("taken") + "' is a directory.");
    EXPECT_EQ(namesIn(dir_), (std::set<std::string>{"taken"}));
}

// Ctrl-C stops every read and write that follows, until the next question
// forgets it, on any thread: each worker of a parallel apply stops too. A
// cancelled write leaves the old file and no temporary one. In a child
// process, which alone gets the handlers.
TEST_F(L18nFiles, CtrlCStopsReadsAndWritesOnEveryThread) {
    l18n::writeBinaryFile(path("game.swf"), patternBytes(1000));
    const pid_t child = fork();
    if (child == 0) {
        l18n::installSignalHandlers();
        raise(SIGINT);
        int stopped = 0;
        const auto read = [&] {
            try {
                Bytes bytes;
                l18n::readBinaryFile(path("game.swf"), bytes);
            } catch (const l18n::operation_cancelled&) {
                ++stopped;
            }
        };
        read();
        std::thread(read).join();
        try {
            l18n::writeBinaryFileSafely(path("game.swf"), patternBytes(10));
        } catch (const l18n::operation_cancelled&) {
            ++stopped;
        }
        _exit(stopped);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the reads and the write that stopped";
    Bytes back;
    l18n::readBinaryFile(path("game.swf"), back);
    EXPECT_EQ(back, patternBytes(1000));
    EXPECT_EQ(namesIn(dir_), (std::set<std::string>{"game.swf"}));
}

}  // namespace
