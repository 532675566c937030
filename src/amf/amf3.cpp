#include "amf/amf3.h"

#include <algorithm>
#include <string>

#include "amf/amf_cursor.h"

namespace swf {
namespace {

constexpr size_t kMaxU29Length = (size_t{1} << 28) - 1;  // 2n + 1 must fit in 29 bits

}  // namespace

AMF3::AMF3(ByteView bytes) {
    AmfCursor cursor = amfCursor(bytes);
    const uint8_t marker = cursor.u8(N_("an AMF3 marker"));
    if (marker == amf3::kNull) {
        values.push_back({amf3::kNull, 0, {}});
        return;
    }
    if (marker != amf3::kByteArray) invalidMarker(0, marker);

    // Kept for compatibility: ByteArrays of at most 4 bytes in all (payloads
    // of up to 2 bytes) have always been refused, even well-formed ones.
    if (bytes.size() <= 4) throw swf_exception(N_("Cannot interpret this AFM3 file."));

    size_t pos = 1;
    const uint32_t header = readUInt29(bytes, pos);
    // The low bit marks an inline value; a reference (bit clear) cannot occur
    // in a lone ByteArray, so it is not examined.
    const size_t length = header >> 1;
    AmfCursor payloadCursor = amfCursor(bytes.subspan(pos), pos);
    const ByteView payload = payloadCursor.bytes(length, N_("a ByteArray payload"));
    values.push_back({amf3::kByteArray, static_cast<uint32_t>(pos - 1), ByteBuffer(payload.begin(), payload.end())});
}

uint32_t AMF3::readUInt29(ByteView bytes, size_t& pos) {
    AmfCursor cursor = amfCursor(bytes.subspan(std::min(pos, bytes.size())), pos);
    uint32_t value = 0;
    // Three bytes of 7 bits each with 0x80 meaning "more follows", then a
    // fourth byte of 8 bits.
    for (int i = 0; i < 3; ++i) {
        const uint8_t byte = cursor.u8(N_("a U29 integer"));
        value = (value << 7) | (byte & 0x7F);
        if (byte < 0x80) {
            pos = cursor.offset();
            return value;
        }
    }
    value = (value << 8) | cursor.u8(N_("a U29 integer"));
    pos = cursor.offset();
    return value;
}

ByteBuffer AMF3::Uint29BAToVec(size_t n) {
    if (n > kMaxU29Length) throw swf_exception(N_("Number '%s' has more than 29 bits."), {n});
    const uint32_t v = static_cast<uint32_t>(2 * n + 1);
    auto group7 = [v](int shift, bool more) { return static_cast<uint8_t>(((v >> shift) & 0x7F) | (more ? 0x80 : 0)); };
    if (v < (1u << 7)) return {static_cast<uint8_t>(v)};
    if (v < (1u << 14)) return {group7(7, true), group7(0, false)};
    if (v < (1u << 21)) return {group7(14, true), group7(7, true), group7(0, false)};
    return {group7(22, true), group7(15, true), group7(8, true), static_cast<uint8_t>(v)};
}

void AMF3::appendByteArray(ByteBuffer& out, ByteView payload) {
    out.push_back(amf3::kByteArray);
    appendBytes(out, Uint29BAToVec(payload.size()));
    appendBytes(out, payload);
}

}  // namespace swf
