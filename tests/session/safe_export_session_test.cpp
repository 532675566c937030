// Exporting over an existing file never destroys it: not when the program is
// killed half way, not when the write fails. What a path names is read only
// when it is a file, and one of a usable size.

#include <lodepng.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "session/session_harness.h"
#include "swf/movie_builder.h"

using namespace session;
using namespace testmovie;

namespace {

ByteBuffer noise(size_t size) {
    ByteBuffer bytes(size);
    std::mt19937 random(5);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
    return bytes;
}

// A game of `size` bytes that do not compress.
ByteBuffer noiseGame(size_t size) {
    return movie(concat({record(87, binaryDataBody(234, noise(size))), record(0, {})}));
}

TEST(SessionSafeExport, KilledDuringTheExportLeavesTheOldFile) {
    Session s;
    s.writeFile("game.swf", noiseGame(12 << 20));  // its LZMA export takes seconds
    const ByteBuffer old = bytesOf("the modder's only copy");
    s.writeFile("out.swf", old);
    // Killed once the export has begun; the export takes seconds.
    Options options;
    options.signalAfter = "Generating SWF... Please wait.\n";
    options.signal = SIGKILL;
    const Result r = s.run(script({"game.swf", "6", "2", "out.swf"}), options);
    ASSERT_EQ(r.signal, SIGKILL) << "the export ended before it could be interrupted: " << r.describe();
    EXPECT_EQ(s.readFile("out.swf"), old);
}

// A PNG of noise stored without compression: made at once, and long to
// decode and compress again.
ByteBuffer noisePng(unsigned side) {
    ByteBuffer rgba(size_t{side} * side * 4);
    std::mt19937 random(7);
    for (auto& byte : rgba) byte = static_cast<uint8_t>(random());
    lodepng::State state;
    state.encoder.zlibsettings.btype = 0;
    state.encoder.filter_strategy = LFS_ZERO;
    state.encoder.auto_convert = 0;
    ByteBuffer png;
    if (lodepng::encode(png, rgba, side, side, state) != 0) throw std::runtime_error("encode failed");
    return png;
}

TEST(SessionSafeExport, CtrlCStopsTheLongWorkAndTheSessionGoesOn) {
    const struct {
        const char* name;
        ByteBuffer game;
        std::vector<std::pair<std::string, ByteBuffer>> files;
        std::string answers;
        std::string signalAfter;
    } cases[] = {
        {"an LZMA export", noiseGame(12 << 20), {}, script({"6", "2", "out.swf"}), "Generating SWF... Please wait.\n"},
        {"the replacement of a large image",
         games::stageGame(),
         {{"big.png", noisePng(3000)}},
         script({"4", "3", "8", "big.png", "0"}),
         "Replacing 'Hero.png' with file 'big.png'...\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile("game.swf", c.game);
        s.writeFile("out.swf", bytesOf("the modder's only copy"));
        std::set<std::string> files = {"game.swf", "out.swf"};
        for (const auto& [name, bytes] : c.files) {
            s.writeFile(name, bytes);
            files.insert(name);
        }
        Options options;
        options.signalAfter = c.signalAfter;
        options.signal = SIGINT;
        // The long work is stopped; the game is as it was loaded, so the
        // uncompressed export after it writes the loaded bytes back.
        const Result r = s.run(script({"game.swf"}) + c.answers + script({"6", "0", "out.swf", "0"}), options);
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, "Cancelled.\n");
        EXPECT_EQ(s.files(), files);
        EXPECT_EQ(s.readFile("out.swf"), c.game);
    }
}

// The path is checked before the movie is compressed, which takes seconds
// (see above); so is the projector.
TEST(SessionSafeExport, WrongPathOrProjectorIsRefusedBeforeTheLongWork) {
    const struct {
        const char* name;
        std::string answers;
        std::string message;
    } cases[] = {
        {"missing folder", script({"6", "2", "nodir/out.swf"}), cannot("write", "nodir/out.swf", ENOENT)},
        {"a folder", script({"7", "2", "..", "game.swf"}), cannot("write", "..", EISDIR) + "\nInvalid projector file."},
        {"not a projector", script({"7", "2", "out.exe", "game.swf"}), "Invalid projector file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile("game.swf", noiseGame(12 << 20));
        const Result r = s.run(script({"game.swf"}) + c.answers + script({"0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, c.message + "\n");
        // No compression started: none was announced.
        EXPECT_EQ(r.out.find("Generating"), std::string::npos);
        EXPECT_EQ(s.files(), std::set<std::string>{"game.swf"});
    }
}

// A write that the file size limit stops leaves no partial file: the old
// file stays, and an export of many files goes on with the others.
TEST(SessionSafeExport, WriteStoppedByTheFileSizeLimitLeavesTheOldFile) {
    const std::string bigStage = "mod/stages/234 - .xml";
    const struct {
        const char* name;
        std::string answers;
        std::string err;
        std::set<std::string> files;
    } cases[] = {
        {"Export SWF",
         script({"6", "0", "out.swf"}),
         cannot("write", "out.swf", EFBIG) + "\n",
         {"game.swf", "out.swf"}},
        {"Export all",
         script({"8", "mod"}),
         "Error for stage file with ID=234: " + cannot("write", bigStage, EFBIG) + "\n",
         {"game.swf", "out.swf", "mod"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        // A large stage, and a small one.
        s.writeFile("game.swf", movie(concat({record(87, binaryDataBody(234, noise(300000))),
                                              record(87, binaryDataBody(219, bytesOf("<stage/>"))), record(0, {})})));
        const ByteBuffer old = bytesOf("the modder's only copy");
        s.writeFile("out.swf", old);
        Options options;
        options.fileSizeLimit = 100000;  // more than the session's output, less than the game
        const Result r = s.run(script({"game.swf"}) + c.answers + script({"0"}), options);
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(s.readFile("out.swf"), old);
        EXPECT_EQ(s.files(), c.files);
        if (s.exists("mod")) {
            std::set<std::string> written;
            for (const auto& entry : std::filesystem::directory_iterator(s.path("mod/stages"))) {
                written.insert(entry.path().filename().string());
            }
            EXPECT_EQ(written, std::set<std::string>{"219 - .xml"});
            EXPECT_TRUE(contains(r.out, "Exported 1 file(s) to 'mod'; 1 failed.\n"));
        }
    }
}

TEST(SessionSafeExport, ExecutableGetsTheExecutableBit) {
    Session s;
    s.writeFile("game.exe", elfProjector(fakeElfPlayer(), games::stageGame()));
    const Result r = s.run(script({"game.exe", "7", "0", "new.exe", "", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    struct stat info {};
    ASSERT_EQ(stat(s.path("new.exe").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & 0100, 0u);
    EXPECT_EQ(s.files(), (std::set<std::string>{"game.exe", "new.exe"}));
}

// Wherever a file is asked for, a path that names no file is refused at
// once with what it is: a FIFO does not hang the program, /dev/zero is not
// read for ever.
TEST(SessionSafeRead, WhatIsNoFileIsRefusedAtOnce) {
    const struct {
        const char* name;
        std::string answers;
        std::string message;
    } cases[] = {
        {"/dev/zero as a stage", script({"game.swf", "2", "3", "234", "/dev/zero", "0"}),
         "Cannot read '/dev/zero': it is a character device, not a file."},
        {"a FIFO as a stage", script({"game.swf", "2", "3", "234", "pipe", "0"}),
         "Cannot read 'pipe': it is a named pipe (FIFO), not a file."},
        {"a FIFO as a data file", script({"game.swf", "5", "3", "136", "pipe", "0"}),
         "Cannot read 'pipe': it is a named pipe (FIFO), not a file."},
        {"a FIFO as the game", script({"pipe", "game.swf"}),
         "Error: Cannot read 'pipe': it is a named pipe (FIFO), not a file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile("game.swf", games::stageGame());
        ASSERT_EQ(mkfifo(s.path("pipe").c_str(), 0600), 0);
        const Result r = s.run(c.answers + script({"0"}));
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, c.message + "\n");
    }
}

}  // namespace
