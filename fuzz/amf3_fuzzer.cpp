// The AMF3 value of a data file: a ByteArray or null. The reader may refuse
// the bytes with swf_exception. What it accepts must describe bytes of the
// input (marker, length header, payload), and the payload written back with
// a canonical length header must read back the same.

#include <algorithm>
#include <optional>

#include "amf/amf3.h"
#include "fuzz_check.h"
#include "swf/swf_exception.h"

namespace {

constexpr uint8_t kByteArray = 0x0C;
constexpr uint8_t kNull = 0x01;

std::optional<swf::AMF3_TYPE> read(ByteView bytes) {
    try {
        swf::AMF3 value(bytes);
        fuzz::require(value.values.size() == 1, "the reader yields exactly one value");
        return std::move(value.values.front());
    } catch (const swf::swf_exception&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteView input(data, size);
    const std::optional<swf::AMF3_TYPE> value = read(input);
    if (!value) return 0;

    fuzz::require(value->marker == input[0], "the value's marker is the first byte");
    if (value->marker == kNull) {
        fuzz::require(value->lengthSize == 0 && value->payload.empty(), "null has no length header and no payload");
        return 0;
    }
    fuzz::require(value->marker == kByteArray, "only a ByteArray or null is accepted");
    fuzz::require(value->lengthSize >= 1 && value->lengthSize <= 4, "a U29 length header takes 1 to 4 bytes");
    const size_t start = 1 + value->lengthSize;
    fuzz::require(start + value->payload.size() <= size, "the value lies within the input");
    fuzz::require(std::equal(value->payload.begin(), value->payload.end(), input.begin() + start),
                  "the payload is the input's bytes after the length header");

    ByteBuffer rewritten{kByteArray};
    appendBytes(rewritten, swf::AMF3::Uint29BAToVec(value->payload.size()));
    appendBytes(rewritten, value->payload);
    // ByteArrays of 4 bytes or fewer in all are refused by design.
    if (rewritten.size() <= 4) return 0;
    const std::optional<swf::AMF3_TYPE> again = read(rewritten);
    fuzz::require(again && again->payload == value->payload, "a payload written back reads back the same");
    fuzz::require(again->lengthSize + 1 + again->payload.size() == rewritten.size(),
                  "a value written back is read whole");
    return 0;
}
