#pragma once
// The bounded reader of the AMF readers. Running out of data is reported in
// the "Position: N. ..." form of the other AMF messages, N being the offset
// in the buffer handed to the reader.

#include <cstdio>
#include <string>

#include "swf/swf_exception.h"
#include "util/byte_cursor.h"

namespace swf {

using AmfCursor = ByteCursor<swf_exception>;

inline std::string atPosition(size_t position) { return "Position: " + std::to_string(position) + ". "; }

// "Position: N. Marker '0x0c' not valid or not implemented."
[[noreturn]] inline void invalidMarker(size_t position, uint8_t marker) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", marker);
    throw swf_exception(atPosition(position) + "Marker '0x" + hex + "' not valid or not implemented.");
}

inline ByteView takeBytes(AmfCursor& cursor, size_t n, const char* what) {
    if (n > cursor.remaining()) {
        throw swf_exception(atPosition(cursor.offset()) + "Unexpected end of data in " + what + " (" +
                            std::to_string(n) + (n == 1 ? " byte" : " bytes") + " needed, " +
                            std::to_string(cursor.remaining()) + " left).");
    }
    return cursor.bytes(n, what);
}

inline uint8_t takeU8(AmfCursor& cursor, const char* what) { return takeBytes(cursor, 1, what)[0]; }
inline uint16_t takeU16be(AmfCursor& cursor, const char* what) { return loadU16be(takeBytes(cursor, 2, what).data()); }
inline uint32_t takeU32be(AmfCursor& cursor, const char* what) { return loadU32be(takeBytes(cursor, 4, what).data()); }

}  // namespace swf
