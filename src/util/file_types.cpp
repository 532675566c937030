#include "util/file_types.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "util/bytes.h"

namespace {

template <size_t N>
bool startsWithBytes(const std::vector<uint8_t>& data, const std::array<uint8_t, N>& magic) {
    return data.size() >= N && std::equal(magic.begin(), magic.end(), data.begin());
}

// The four letters at `offset`.
bool hasTag(const std::vector<uint8_t>& data, size_t offset, const char (&tag)[5]) {
    return data.size() >= offset + 4 &&
           std::equal(tag, tag + 4, data.begin() + static_cast<std::ptrdiff_t>(offset),
                      [](char c, uint8_t byte) { return static_cast<uint8_t>(c) == byte; });
}

// A RIFF file of the given form ("WAVE", "WEBP"); RF64 is the 64-bit RIFF
// of long recordings.
bool isRiffForm(const std::vector<uint8_t>& data, const char (&form)[5]) {
    return (hasTag(data, 0, "RIFF") || hasTag(data, 0, "RF64")) && hasTag(data, 8, form);
}

// The DOS stub keeps the offset of the PE header at 0x3C.
constexpr size_t peHeaderOffsetField = 60;

}  // namespace

bool isPEfile(const std::vector<uint8_t>& data) {
    if (data.size() < peHeaderOffsetField + 4 || data[0] != 'M' || data[1] != 'Z') return false;
    const size_t offset = loadU32le(data.data() + peHeaderOffsetField);
    // Compared as "offset <= size - 4" so that an offset near UINT32_MAX
    // cannot wrap around; size is at least 64 here.
    if (offset > data.size() - 4) return false;
    // Only "PE" is compared: the two zero bytes of the signature are not
    // needed to tell a projector apart.
    return data[offset] == 'P' && data[offset + 1] == 'E';
}

bool isELFfile(const std::vector<uint8_t>& data) { return startsWithBytes<4>(data, {0x7F, 'E', 'L', 'F'}); }

bool isPNGfile(const std::vector<uint8_t>& data) {
    return startsWithBytes<8>(data, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A});
}

bool isGIFfile(const std::vector<uint8_t>& data) {
    // "GIF87a" and "GIF89a" share the first four bytes.
    return startsWithBytes<4>(data, {'G', 'I', 'F', '8'});
}

bool hasJPEGstart(const std::vector<uint8_t>& data) { return startsWithBytes<3>(data, {0xFF, 0xD8, 0xFF}); }

bool isBMPfile(const std::vector<uint8_t>& data) {
    // "BM" and the rest of the 14-byte file header, then the size of the
    // bitmap header, which is one of a few known values.
    if (data.size() < 18 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t headerSize = loadU32le(data.data() + 14);
    for (const uint32_t known : {12u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        if (headerSize == known) return true;
    }
    return false;
}

bool isWebPfile(const std::vector<uint8_t>& data) { return isRiffForm(data, "WEBP"); }

bool isWAVfile(const std::vector<uint8_t>& data) { return isRiffForm(data, "WAVE"); }

bool isOggfile(const std::vector<uint8_t>& data) { return hasTag(data, 0, "OggS"); }

bool isFLACfile(const std::vector<uint8_t>& data) { return hasTag(data, 0, "fLaC"); }

bool isAACfile(const std::vector<uint8_t>& data) {
    // An ADTS header has the sync bits of an MPEG audio frame but layer 0,
    // which MPEG audio frames never have.
    const bool adts = data.size() >= 2 && data[0] == 0xFF && (data[1] & 0xF6) == 0xF0;
    return adts || hasTag(data, 0, "ADIF") || hasTag(data, 4, "ftyp");
}
