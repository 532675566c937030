#include "util/cancellation.h"

#include <atomic>

namespace {

std::atomic<void (*)()> g_check{nullptr};

}  // namespace

void checkCancelled() {
    if (void (*const check)() = g_check.load(std::memory_order_relaxed)) check();
}

void checkCancelledNowAndThen() {
    thread_local unsigned calls = 0;
    if (++calls % 4096 == 0) checkCancelled();
}

void setCancellationCheck(void (*check)()) { g_check.store(check); }
