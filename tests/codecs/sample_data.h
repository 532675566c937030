#pragma once
// Input for the codec tests: bytes that compress well, but not to nothing.

#include <random>

#include "util/bytes.h"

namespace testsupport {

// In every `period` bytes, the first `run` count through a cycle of
// `cycle` values and the rest are random, drawn from `seed`.
inline ByteBuffer compressibleBytes(size_t size, unsigned seed, size_t period, size_t run, size_t cycle) {
    ByteBuffer out(size);
    std::mt19937 random(seed);
    for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(i % period < run ? i % cycle : random());
    return out;
}

}  // namespace testsupport
