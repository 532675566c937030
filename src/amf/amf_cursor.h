#pragma once
// The bounded reader of the AMF readers, and the message for a marker they
// cannot read.

#include <cstdio>
#include <string>

#include "swf/swf_exception.h"
#include "util/byte_cursor.h"

namespace swf {

using AmfCursor = ByteCursor<swf_exception>;

// A cursor over AMF data; `origin` is the offset of `bytes` within the
// buffer handed to the reader, which the messages count in.
inline AmfCursor amfCursor(ByteView bytes, size_t origin = 0) {
    return AmfCursor(bytes, origin, N_("Invalid AMF data"));
}

// "Position: N. Marker '0x0c' not valid or not implemented."
[[noreturn]] inline void invalidMarker(size_t position, uint8_t marker) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", marker);
    throw swf_exception(N_("Position: %s. Marker '0x%s' not valid or not implemented."), {position, std::string(hex)});
}

}  // namespace swf
