#include "console/l18n_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
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
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
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
    expectRuntimeError([&] { l18n::readBinaryFile(path("missing.swf"), read); }, std::strerror(ENOENT));

    expectRuntimeError([&] { l18n::writeBinaryFile(path("no/such/dir/out.swf"), Bytes{1}); },
                       std::strerror(ENOENT));
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
    expectRuntimeError([&] { l18n::readBinaryFile(dir_.string(), read); }, "Error reading file: fgetc");
}

TEST_F(L18nFiles, WriteErrorsSurfaceEvenWhenBuffered) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    expectRuntimeError([] { l18n::writeBinaryFile("/dev/full", Bytes{1, 2, 3}); }, "Error writing file: fwrite");
}

}  // namespace
