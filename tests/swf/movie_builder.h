#pragma once
// Builds small movies and projectors byte by byte for the tests.

#include <cstdint>
#include <string>
#include <vector>

#include "util/bytes.h"

namespace testmovie {

inline ByteBuffer bytesOf(const std::string& text) { return ByteBuffer(text.begin(), text.end()); }

inline ByteBuffer concat(std::initializer_list<ByteBuffer> parts) {
    ByteBuffer out;
    for (const auto& part : parts) appendBytes(out, part);
    return out;
}

// One tag record; the long form is used when asked for or when needed.
inline ByteBuffer record(uint16_t code, const ByteBuffer& body, bool longForm = false) {
    ByteBuffer out;
    if (longForm || body.size() >= 63) {
        appendU16le(out, static_cast<uint16_t>((code << 6) | 63));
        appendU32le(out, static_cast<uint32_t>(body.size()));
    } else {
        appendU16le(out, static_cast<uint16_t>((code << 6) | body.size()));
    }
    appendBytes(out, body);
    return out;
}

inline ByteBuffer binaryDataBody(uint16_t id, const ByteBuffer& data, uint32_t reserved = 0) {
    ByteBuffer out;
    appendU16le(out, id);
    appendU32le(out, reserved);
    appendBytes(out, data);
    return out;
}

inline ByteBuffer soundBody(uint16_t id, uint8_t flags, uint32_t samples, const ByteBuffer& data) {
    ByteBuffer out;
    appendU16le(out, id);
    appendU8(out, flags);
    appendU32le(out, samples);
    appendBytes(out, data);
    return out;
}

inline ByteBuffer losslessBody(uint16_t id, uint8_t format, uint16_t width, uint16_t height, uint8_t tableSize,
                               const ByteBuffer& data) {
    ByteBuffer out;
    appendU16le(out, id);
    appendU8(out, format);
    appendU16le(out, width);
    appendU16le(out, height);
    if (format == 3) appendU8(out, tableSize);
    appendBytes(out, data);
    return out;
}

inline ByteBuffer symbolClassBody(const std::vector<std::pair<uint16_t, std::string>>& symbols) {
    ByteBuffer out;
    appendU16le(out, static_cast<uint16_t>(symbols.size()));
    for (const auto& [id, name] : symbols) {
        appendU16le(out, id);
        appendBytes(out, bytesOf(name));
        appendU8(out, 0);
    }
    return out;
}

// The 9-byte frame rectangle of a 550x400 stage, field size 16.
inline ByteBuffer frameRect() { return {0x80, 0x00, 0x2A, 0xF8, 0x00, 0x00, 0x1F, 0x40, 0x00}; }

// An uncompressed movie with the given records after the 21-byte header.
inline ByteBuffer movie(const ByteBuffer& records, uint8_t version = 10) {
    ByteBuffer out = bytesOf("FWS");
    appendU8(out, version);
    appendU32le(out, static_cast<uint32_t>(21 + records.size()));
    appendBytes(out, frameRect());
    appendU16le(out, 0x1800);  // 24 fps
    appendU16le(out, 1);
    appendBytes(out, records);
    return out;
}

// A movie holding one tag of each typed kind and a few raw ones.
inline ByteBuffer sampleMovie(uint8_t version = 10) {
    return movie(concat({
                     record(69, {0x08, 0, 0, 0}),
                     record(87, binaryDataBody(101, bytesOf("<stage>one</stage>"))),
                     record(87, binaryDataBody(102, ByteBuffer(80, 0x42))),
                     record(14, soundBody(7, 0x2E, 1152, {0, 0, 0xFF, 0xFB, 0x90, 0x64})),
                     record(20, losslessBody(8, 5, 2, 2, 0, {0x78, 0x9C, 0x03, 0, 0, 0, 0, 1}), true),
                     record(36, losslessBody(9, 3, 3, 1, 2, {1, 2, 3, 4})),
                     record(76, symbolClassBody({{101, "Stage1"}, {8, "HeroBitmap"}})),
                     record(1, {}),
                     record(0, {}),
                 }),
                 version);
}

// Fake player executables: just enough for the PE and ELF recognisers.
inline ByteBuffer fakePePlayer(size_t size = 256) {  // size >= 68
    ByteBuffer out(size, 0x90);
    out[0] = 'M';
    out[1] = 'Z';
    storeU32le(out.data() + 60, 64);
    out[64] = 'P';
    out[65] = 'E';
    out[66] = 0;
    out[67] = 0;
    return out;
}

inline ByteBuffer fakeElfPlayer(size_t size = 256) {
    ByteBuffer out(size, 0x90);
    out[0] = 0x7F;
    out[1] = 'E';
    out[2] = 'L';
    out[3] = 'F';
    return out;
}

inline ByteBuffer markerBytes() { return {0x56, 0x34, 0x12, 0xFA}; }

inline ByteBuffer lengthBytes(size_t length) {
    ByteBuffer out;
    appendU32le(out, static_cast<uint32_t>(length));
    return out;
}

inline ByteBuffer peProjector(const ByteBuffer& player, const ByteBuffer& swf) {
    return concat({player, swf, markerBytes(), lengthBytes(swf.size())});
}

inline ByteBuffer elfProjector(const ByteBuffer& player, const ByteBuffer& swf) {
    return concat({player, lengthBytes(swf.size()), markerBytes(), swf});
}

}  // namespace testmovie
