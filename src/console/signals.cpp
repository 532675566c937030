#include "console/signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "console/title.h"
#include "util/cancellation.h"

namespace l18n {

namespace {

// The handlers may only touch lock-free atomics and memory that never moves,
// so this state lives here, apart from the terminal object that holds the
// rest of the console's state.
std::atomic<bool> g_interrupted{false};

// The path is kept in a fixed buffer: the handler of SIGTERM may only read
// memory that is never reallocated under it.
char g_temporary[4096];
std::atomic<bool> g_hasTemporary{false};

void onInterrupt(int) { g_interrupted.store(true); }

void onTermination(int signal) {
    if (g_hasTemporary.load()) ::unlink(g_temporary);
    restoreWindowTitle();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void install(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read waiting for the user returns, so that the
    // prompt can start over at once.
    action.sa_flags = 0;
    sigaction(signal, &action, nullptr);
}

}  // namespace

void installSignalHandlers() {
    install(SIGINT, onInterrupt);
    install(SIGTERM, onTermination);
    install(SIGHUP, onTermination);
    setCancellationCheck(checkInterrupt);
}

void clearInterrupt() { g_interrupted.store(false); }

bool takeInterrupt() { return g_interrupted.exchange(false); }

void checkInterrupt() {
    if (g_interrupted.load()) throw operation_cancelled{};
}

void setTemporaryFile(const std::string& path) {
    g_hasTemporary.store(false);
    if (path.empty() || path.size() >= sizeof g_temporary) return;
    std::memcpy(g_temporary, path.c_str(), path.size() + 1);
    g_hasTemporary.store(true);
}

}  // namespace l18n
