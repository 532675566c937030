#pragma once
// The one AMF3 value a data file is made of: a ByteArray (marker 0x0C, a U29
// length header, the payload) or null (0x01). Nothing else of AMF3 is read.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "util/bytes.h"

namespace swf {

// The AMF3 markers of the two values a data file holds, for the reader and
// the writer.
namespace amf3 {

enum Marker : uint8_t {
    kNull = 0x01,
    kByteArray = 0x0C,
};

}  // namespace amf3

struct AMF3_TYPE {
    uint8_t marker = 0;       // 0x0C or 0x01
    uint32_t lengthSize = 0;  // bytes of the U29 length header; 0 for null
    ByteBuffer payload;       // the ByteArray's bytes; empty for null
};

class AMF3 {
public:
    // Decodes the value at the front of `bytes`; what follows it is ignored.
    // The value took 1 + lengthSize + payload.size() bytes of the input.
    explicit AMF3(ByteView bytes);

    // Exactly one record, appended by the constructor.
    std::vector<AMF3_TYPE> values;

    // Reads the U29 at `pos` and moves `pos` past its 1 to 4 bytes.
    static uint32_t readUInt29(ByteView bytes, size_t& pos);
    // The length header of a ByteArray of n payload bytes: the U29 of 2n + 1.
    static ByteBuffer Uint29BAToVec(size_t n);
    // Appends a whole ByteArray value: its marker, length header and payload.
    static void appendByteArray(ByteBuffer& out, ByteView payload);
};

}  // namespace swf
