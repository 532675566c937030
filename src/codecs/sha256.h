#pragma once
// SHA-256 digests, computed by nettle: what tells two records or two movies
// apart without keeping both.

#include <array>
#include <cstdint>

#include "util/bytes.h"

namespace sha256 {

using Digest = std::array<uint8_t, 32>;

Digest digestOf(ByteView bytes);

}  // namespace sha256
