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
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

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

TEST_F(L18nFiles, ReadsAStreamThatCannotSeek) {
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0) << std::strerror(errno);
    const Bytes data = patternBytes(200000);  // more than a pipe buffer holds
    std::thread writer([&] { l18n::writeBinaryFile(path("pipe"), data); });
    Bytes read;
    const size_t count = l18n::readBinaryFile(path("pipe"), read);
    writer.join();
    EXPECT_EQ(count, data.size());
    EXPECT_EQ(read, data);
}

TEST_F(L18nFiles, ReadsAProcFileThatReportsNoSize) {
    Bytes read;
    const size_t count = l18n::readBinaryFile("/proc/self/status", read);
    ASSERT_GT(count, 0u);
    EXPECT_EQ(count, read.size());
    EXPECT_EQ(std::string(read.begin(), read.begin() + 5), "Name:");
}

TEST_F(L18nFiles, ReadingADirectoryFailsCleanly) {
    // Some file systems report a directory's size as LONG_MAX.
    Bytes read;
    expectRuntimeError([&] { l18n::readBinaryFile(dir_.string(), read); }, "'" + dir_.string() + "' is a directory.");
}

TEST_F(L18nFiles, WriteErrorsSurfaceEvenWhenBuffered) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    expectRuntimeError([] { l18n::writeBinaryFile("/dev/full", Bytes{1, 2, 3}); }, cannot("write", "/dev/full", ENOSPC));
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
            _exit(std::string(e.what()) == "Cannot write '" + path("game.swf") + "': " + std::strerror(EFBIG) + "." ? 0 : 2);
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
    expectRuntimeError([&] { l18n::writeBinaryFileSafely(path("taken"), patternBytes(10)); }, "'" + path("taken") + "' is a directory.");
    EXPECT_EQ(namesIn(dir_), (std::set<std::string>{"taken"}));
}

}  // namespace
