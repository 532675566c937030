#pragma once
// SHA-256 digests, computed by nettle: what tells two records or two movies
// apart without keeping both.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "util/bytes.h"

namespace sha256 {

using Digest = std::array<uint8_t, 32>;

Digest digestOf(ByteView bytes);
// The digest of every chunk the source hands out, in order, up to the
// first empty one: for bytes never held whole.
Digest digestOf(const ChunkSource& chunks);

// The digest in 64 lower-case hexadecimal digits, and back; nothing for
// text that is not such digits.
std::string hexOf(const Digest& digest);
std::optional<Digest> digestOfHex(std::string_view hex);

}  // namespace sha256
