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

// The files to remove on termination. A path is kept in a fixed buffer: the
// handler of SIGTERM may only read memory that is never reallocated under
// it. A slot is free, being filled, or holds a path the handler removes.
enum class Slot : int { Free, Filling, Held };

struct TemporarySlot {
    std::atomic<Slot> state{Slot::Free};
    char path[4096];
};

static_assert(std::atomic<Slot>::is_always_lock_free);
TemporarySlot g_temporaries[kMaxRemovedOnTermination];

void removeTemporaries() {
    for (TemporarySlot& slot : g_temporaries) {
        if (slot.state.load() == Slot::Held) ::unlink(slot.path);
    }
}

void onInterrupt(int) { g_interrupted.store(true); }

void onTermination(int signal) {
    removeTemporaries();
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

RemovedOnTermination::RemovedOnTermination(const std::string& path) : slot_(-1) {
    if (path.size() >= sizeof g_temporaries[0].path) return;
    for (int i = 0; i < kMaxRemovedOnTermination; ++i) {
        TemporarySlot& slot = g_temporaries[i];
        Slot free = Slot::Free;
        if (!slot.state.compare_exchange_strong(free, Slot::Filling)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(Slot::Held);
        slot_ = i;
        return;
    }
}

RemovedOnTermination::~RemovedOnTermination() {
    if (slot_ >= 0) g_temporaries[slot_].state.store(Slot::Free);
}

}  // namespace l18n
