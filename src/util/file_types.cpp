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

bool isELFfile(const std::vector<uint8_t>& data) {
    return startsWithBytes<4>(data, {0x7F, 'E', 'L', 'F'});
}

bool isPNGfile(const std::vector<uint8_t>& data) {
    return startsWithBytes<8>(data, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A});
}

bool isJPEGfile(const std::vector<uint8_t>& data) {
    // Start-of-image and end-of-image markers.
    const size_t n = data.size();
    return n >= 2 && data[0] == 0xFF && data[1] == 0xD8 && data[n - 2] == 0xFF && data[n - 1] == 0xD9;
}

bool isGIFfile(const std::vector<uint8_t>& data) {
    // "GIF87a" and "GIF89a" share the first four bytes.
    return startsWithBytes<4>(data, {'G', 'I', 'F', '8'});
}
