#pragma once
// Writing a generated movie (tag records and the uncompressed header) and
// the files that go with it.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "util/bytes.h"

// A tag record with the long length form, whatever the body's size.
inline void appendRecord(ByteBuffer& out, uint16_t code, const ByteBuffer& body) {
    appendU16le(out, static_cast<uint16_t>((code << 6) | 63));
    appendU32le(out, static_cast<uint32_t>(body.size()));
    appendBytes(out, body);
}

// The body of a DefineSound record of an MP3 sound at 44100 Hz, 16 bits,
// stereo: the two bytes of seek samples, then `frames` frames of MPEG-1
// layer III at 128 kbit/s that decode to silence.
inline ByteBuffer silentMp3SoundBody(uint16_t id, unsigned frames) {
    ByteBuffer body;
    appendU16le(body, id);
    appendU8(body, 0x2F);  // MP3, 44100 Hz, 16 bits, stereo
    appendU32le(body, frames * 1152);
    appendU16le(body, 0);
    for (unsigned frame = 0; frame < frames; ++frame) {
        body.insert(body.end(), {0xFF, 0xFB, 0x90, 0x64});
        body.resize(body.size() + 417 - 4, 0);
    }
    return body;
}

// A SymbolClass record naming the characters.
inline void appendSymbolClass(ByteBuffer& records, const std::vector<std::pair<uint16_t, std::string>>& symbols) {
    ByteBuffer body;
    appendU16le(body, static_cast<uint16_t>(symbols.size()));
    for (const auto& [id, name] : symbols) {
        appendU16le(body, id);
        body.insert(body.end(), name.begin(), name.end());
        body.push_back(0);
    }
    appendRecord(records, 76, body);
}

// The movie of the given tag records: the End tag is added, then an
// uncompressed version 10 header (550 x 400, 24 frames a second, one frame).
inline ByteBuffer finishMovie(ByteBuffer records) {
    appendU16le(records, 0);  // End
    const ByteBuffer header = {'F',  'W',  'S',  10,   0,    0,    0, 0,  0x80, 0x00, 0x2A,
                               0xF8, 0x00, 0x00, 0x1F, 0x40, 0x00, 0, 24, 1,    0};
    records.insert(records.begin(), header.begin(), header.end());
    storeU32le(records.data() + 4, static_cast<uint32_t>(records.size()));
    return records;
}

// Writes `bytes` (a movie, or a file that replaces a resource) to `path`,
// or stops the benchmark.
inline void writeFile(const std::string& path, const ByteBuffer& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}
