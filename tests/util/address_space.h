#pragma once
// Memory bounds for tests that run in a forked child (death tests).

#include <sys/resource.h>

#include <fstream>
#include <string>

namespace testsupport {

// Leaves the process `extra` bytes of address space beyond what it has
// mapped already (under AddressSanitizer that is terabytes of shadow).
inline void limitAddressSpace(rlim_t extra) {
    std::ifstream status("/proc/self/status");
    rlim_t mapped = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0) mapped = std::stoull(line.substr(7)) * 1024;
    }
    const rlimit limit{mapped + extra, mapped + extra};
    setrlimit(RLIMIT_AS, &limit);
}

}  // namespace testsupport
