#pragma once
// Shared by the fuzz targets. A property that fails is reported and aborts,
// which libFuzzer records as a crash with the input that caused it.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "amf/amf0.h"
#include "util/bytes.h"

namespace fuzz {

inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "Property violated: %s\n", property);
    std::abort();
}

inline ByteBuffer bufferOf(const uint8_t* data, size_t size) { return ByteBuffer(data, data + size); }

// Whether the bytes hold one of the member names that the JSON form of AMF0
// uses to mark class names and array counts.
inline bool holdsAmf0MarkerName(ByteView bytes) {
    for (const std::string_view name : {swf::amf0::kClassNameKey, swf::amf0::kArrayLenKey}) {
        if (std::search(bytes.begin(), bytes.end(), name.begin(), name.end()) != bytes.end()) return true;
    }
    return false;
}

}  // namespace fuzz
