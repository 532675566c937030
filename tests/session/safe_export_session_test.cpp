// Exporting over an existing file never destroys it: not when the program is
// killed half way, not when the write fails.

#include <sys/stat.h>

#include <cstring>
#include <random>

#include "session/session_harness.h"
#include "swf/movie_builder.h"

using namespace session;
using namespace testmovie;

namespace {

// A game of `size` bytes that do not compress.
ByteBuffer noiseGame(size_t size) {
    ByteBuffer noise(size);
    std::mt19937 random(5);
    for (auto& byte : noise) byte = static_cast<uint8_t>(random());
    return movie(concat({record(87, binaryDataBody(234, noise)), record(0, {})}));
}

TEST(SessionSafeExport, KilledDuringTheExportLeavesTheOldFile) {
    Session s;
    s.writeFile("game.swf", noiseGame(12 << 20));  // its LZMA export takes seconds
    const ByteBuffer old = bytesOf("the modder's only copy");
    s.writeFile("out.swf", old);
    Options options;
    options.timeout = std::chrono::milliseconds(1500);  // then SIGKILL
    const Result r = s.run(script({"game.swf", "6", "2", "out.swf"}), options);
    ASSERT_TRUE(r.timedOut) << "the export ended before it could be interrupted: " << r.describe();
    EXPECT_TRUE(contains(r.out, "Generating SWF... Please wait.\n"));
    EXPECT_EQ(s.readFile("out.swf"), old);
}

TEST(SessionSafeExport, CtrlCStopsTheExportAndTheSessionGoesOn) {
    Session s;
    const ByteBuffer game = noiseGame(12 << 20);
    s.writeFile("game.swf", game);
    const ByteBuffer old = bytesOf("the modder's only copy");
    s.writeFile("out.swf", old);
    Options options;
    options.signalAfter = "Generating SWF... Please wait.\n";
    options.signal = SIGINT;
    options.signalDelay = std::chrono::milliseconds(300);
    options.timeout = std::chrono::seconds(60);
    // The LZMA export is stopped; the uncompressed one after it completes.
    const Result r = s.run(script({"game.swf", "6", "2", "out.swf", "6", "0", "out.swf", "0"}), options);
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, "Cancelled.\n");
    EXPECT_EQ(countOf(r.out, "Generating SWF... Please wait.\n"), 2u);
    EXPECT_EQ(s.files(), (std::set<std::string>{"game.swf", "out.swf"}));
    EXPECT_EQ(s.readFile("out.swf"), game);
}

TEST(SessionSafeExport, WriteStoppedByTheFileSizeLimitLeavesTheOldFile) {
    Session s;
    s.writeFile("game.swf", noiseGame(300000));
    const ByteBuffer old = bytesOf("the modder's only copy");
    s.writeFile("out.swf", old);
    Options options;
    options.fileSizeLimit = 100000;  // more than the session's output, less than the game
    const Result r = s.run(script({"game.swf", "6", "0", "out.swf", "0"}), options);
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, cannot("write", "out.swf", EFBIG) + "\n");
    EXPECT_EQ(s.readFile("out.swf"), old);
    EXPECT_EQ(s.files(), (std::set<std::string>{"game.swf", "out.swf"}));
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

}  // namespace
