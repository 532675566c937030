#include "codecs/sha256.h"

#include <nettle/sha2.h>

namespace sha256 {

Digest digestOf(ByteView bytes) { return digestOf(singleChunk(bytes)); }

Digest digestOf(const ChunkSource& chunks) {
    sha256_ctx context;
    sha256_init(&context);
    for (ByteView chunk = chunks(); !chunk.empty(); chunk = chunks()) {
        sha256_update(&context, chunk.size(), chunk.data());
    }
    Digest digest{};
    sha256_digest(&context, digest.size(), digest.data());
    return digest;
}

namespace {

constexpr char kDigits[] = "0123456789abcdef";

std::optional<uint8_t> digitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
    return std::nullopt;
}

}  // namespace

std::string hexOf(const Digest& digest) {
    std::string hex;
    for (const uint8_t byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

std::optional<Digest> digestOfHex(std::string_view hex) {
    Digest digest{};
    if (hex.size() != digest.size() * 2) return std::nullopt;
    for (size_t i = 0; i < digest.size(); ++i) {
        const std::optional<uint8_t> high = digitValue(hex[2 * i]);
        const std::optional<uint8_t> low = digitValue(hex[2 * i + 1]);
        if (!high || !low) return std::nullopt;
        digest[i] = static_cast<uint8_t>(*high << 4 | *low);
    }
    return digest;
}

}  // namespace sha256
