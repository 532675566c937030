#include "util/file_types.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// An "MZ" image of `size` bytes whose PE-header offset field holds `offset`
// and, when it fits, "PE" followed by `tail` at that offset.
Bytes makePe(size_t size, uint32_t offset, const std::string& tail = std::string("\0\0", 2)) {
    Bytes data(size, 0);
    data[0] = 'M';
    data[1] = 'Z';
    for (int i = 0; i < 4; ++i) data[60 + i] = static_cast<uint8_t>(offset >> (8 * i));
    const std::string signature = "PE" + tail;
    for (size_t i = 0; i < signature.size() && offset + i < size; ++i) data[offset + i] = signature[i];
    return data;
}

struct FileTypeCase {
    const char* name;
    bool (*recognise)(const std::vector<uint8_t>&);
    Bytes data;
    bool expected;
};

Bytes shortMz(size_t size) {
    Bytes data(size, 0);
    data[0] = 'M';
    data[1] = 'Z';
    return data;
}

TEST(FileTypes, RecognisesMagicNumbersWithinBounds) {
    const FileTypeCase cases[] = {
        {"PE minimal", isPEfile, makePe(68, 64), true},
        {"PE with other bytes after PE", isPEfile, makePe(68, 64, "xy"), true},
        {"PE header in the last four bytes", isPEfile, makePe(100, 96), true},
        {"PE 63 bytes", isPEfile, shortMz(63), false},
        {"PE without MZ", isPEfile,
         [] {
             auto d = makePe(68, 64);
             d[1] = 'X';
             return d;
         }(),
         false},
        {"PE offset leaves under four bytes", isPEfile, makePe(100, 97), false},
        {"PE offset past the end", isPEfile, makePe(100, 1000), false},
        {"PE offset near UINT32_MAX", isPEfile, makePe(100, 0xFFFFFFFEu), false},
        {"PE offset UINT32_MAX", isPEfile, makePe(100, 0xFFFFFFFFu), false},
        {"PE other letters at the offset", isPEfile,
         [] {
             auto d = makePe(68, 64);
             d[64] = 'N';
             return d;
         }(),
         false},
        {"ELF", isELFfile, {0x7F, 'E', 'L', 'F'}, true},
        {"ELF three bytes", isELFfile, {0x7F, 'E', 'L'}, false},
        {"ELF lower case", isELFfile, {0x7F, 'e', 'l', 'f'}, false},
        {"PNG", isPNGfile, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0}, true},
        {"PNG seven bytes", isPNGfile, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}, false},
        {"PNG empty", isPNGfile, {}, false},
        {"GIF89a", isGIFfile, {'G', 'I', 'F', '8', '9', 'a'}, true},
        {"GIF three bytes", isGIFfile, {'G', 'I', 'F'}, false},
        {"GIF empty", isGIFfile, {}, false},
        {"JPEG start, cut short", hasJPEGstart, {0xFF, 0xD8, 0xFF, 0xE0}, true},
        {"BMP with a 40-byte header", isBMPfile, {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0}, true},
        {"text starting with BM",
         isBMPfile,
         {'B', 'M', 'W', ' ', 'c', 'a', 'r', 's', ' ', 'a', 'r', 'e', ' ', 'f', 'a', 's', 't', '!'},
         false},
        {"WebP", isWebPfile, {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W', 'E', 'B', 'P'}, true},
        {"WAV", isWAVfile, {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W', 'A', 'V', 'E'}, true},
        {"RF64 WAV", isWAVfile, {'R', 'F', '6', '4', 9, 0, 0, 0, 'W', 'A', 'V', 'E'}, true},
        {"WebP is no WAV", isWAVfile, {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W', 'E', 'B', 'P'}, false},
        {"Ogg", isOggfile, {'O', 'g', 'g', 'S', 0}, true},
        {"FLAC", isFLACfile, {'f', 'L', 'a', 'C', 0}, true},
        {"AAC in ADTS", isAACfile, {0xFF, 0xF1, 0x50, 0x80}, true},
        {"AAC in MP4", isAACfile, {0, 0, 0, 0x20, 'f', 't', 'y', 'p', 'M', '4', 'A', ' '}, true},
        {"an MP3 frame is no AAC", isAACfile, {0xFF, 0xFB, 0x90, 0x64}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.recognise(c.data), c.expected) << c.name;
}

}  // namespace
