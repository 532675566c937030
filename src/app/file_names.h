#pragma once
// Names of the files resources are exported to, in the current directory.

#include <cstdint>
#include <string>

#include "util/strings.h"

namespace vorlune_forge {

// "<id> - <symbol><extension>", or "<id><extension>" for a resource
// without a symbol name.
inline std::string resourceFileName(uint64_t id, const std::string& symbol, const char* extension) {
    return safeFileName(std::to_string(id) + (symbol.empty() ? "" : " - " + symbol) + extension);
}

// How a resource is named to the user: its symbol, or its id without one.
inline std::string resourceDisplayName(uint64_t id, const std::string& symbol, const char* extension) {
    return (symbol.empty() ? std::to_string(id) : symbol) + extension;
}

}  // namespace vorlune_forge
