#include "console/signals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// SIGTERM and SIGHUP end the program and remove the temporary files of the
// writes still in progress, however many, and only those. In a child
// process, which alone gets the handlers and the signal.
TEST(Signals, TerminationRemovesTheTemporaryFilesInProgress) {
    const fs::path dir = fs::temp_directory_path() / ("vlf-signals-" + std::to_string(getpid()));
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        fs::create_directories(dir);
        for (const char* name : {"a.swf.tmp", "b.png.tmp", "done.xml.tmp"}) std::ofstream(dir / name).close();
        const pid_t child = fork();
        if (child == 0) {
            l18n::installSignalHandlers();
            const l18n::RemovedOnTermination first((dir / "a.swf.tmp").string());
            const l18n::RemovedOnTermination second((dir / "b.png.tmp").string());
            { const l18n::RemovedOnTermination finished((dir / "done.xml.tmp").string()); }
            raise(signal);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "the run ends by the signal";
        EXPECT_FALSE(fs::exists(dir / "a.swf.tmp") || fs::exists(dir / "b.png.tmp"));
        EXPECT_TRUE(fs::exists(dir / "done.xml.tmp"));
        fs::remove_all(dir);
    }
}

}  // namespace
