#include "util/thread_pool.h"

#include <sched.h>

size_t processorCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    // A machine with more processors than a cpu_set_t holds makes the call
    // fail; the count of online processors is the next best answer there.
    if (sched_getaffinity(0, sizeof set, &set) != 0) return std::max(1u, std::thread::hardware_concurrency());
    return static_cast<size_t>(std::max(1, CPU_COUNT(&set)));
}
