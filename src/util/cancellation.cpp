#include "util/cancellation.h"

#include <atomic>

namespace {

std::atomic<void (*)()> g_check{nullptr};

}  // namespace

void checkCancelled() {
    if (void (*const check)() = g_check.load(std::memory_order_relaxed)) check();
}

void setCancellationCheck(void (*check)()) { g_check.store(check); }
