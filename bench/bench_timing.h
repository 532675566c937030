#pragma once
// Processor time of the benchmark process, so that a machine busy with other
// work slows neither side of a comparison.

#include <time.h>

#include <algorithm>
#include <functional>

inline double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The processor time `work` takes. Writing files into the page cache is
// processor time of this process too.
inline double seconds(const std::function<void()>& work) {
    const double start = cpuSeconds();
    work();
    return cpuSeconds() - start;
}

// The least processor time `work` takes in `repeats` runs.
inline double best(int repeats, const std::function<void()>& work) {
    double fastest = 1e30;
    for (int i = 0; i < repeats; ++i) fastest = std::min(fastest, seconds(work));
    return fastest;
}
