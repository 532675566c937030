#pragma once
// Byte buffers and the little- and big-endian integer helpers shared by every
// format reader and writer.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

using ByteBuffer = std::vector<uint8_t>;
using ByteView = std::span<const uint8_t>;

// Hands out an input one piece at a time; an empty view marks its end. A
// piece stays valid until the next call.
using ChunkSource = std::function<ByteView()>;

// Told how much of a long piece of work is done, as `done` of `total`.
using ProgressSink = std::function<void(uint64_t done, uint64_t total)>;

// A source that hands out one view whole.
inline ChunkSource singleChunk(ByteView bytes) {
    return [bytes, done = false]() mutable {
        if (done) return ByteView();
        done = true;
        return bytes;
    };
}

// Unchecked loads: callers have already proved that the bytes are there
// (usually through ByteCursor).
inline uint16_t loadU16le(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t loadU32le(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint16_t loadU16be(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t loadU32be(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

inline void appendU8(ByteBuffer& out, uint8_t v) { out.push_back(v); }
inline void appendU16le(ByteBuffer& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void appendU32le(ByteBuffer& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
inline void appendU16be(ByteBuffer& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
inline void appendU32be(ByteBuffer& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
inline void appendBytes(ByteBuffer& out, ByteView bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

inline void storeU32le(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
