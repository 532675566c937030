#pragma once
// The JSON document type of the data files: objects keep their members in
// insertion order, so a document lists an object's members in the order of
// the AMF0 data it came from and writes them back in that order.

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <vector>

#include "swf/swf_exception.h"

template <class Key, class Value, class IgnoredLess, class Allocator>
using my_workaround_fifo_map = nlohmann::ordered_map<Key, Value, IgnoredLess, Allocator>;

namespace swf {

using JsonDocument = nlohmann::basic_json<my_workaround_fifo_map>;

// The low bits of a floating value truncated toward zero, as if the integer
// were stored in two's complement: -1.5 gives 255 for a byte, 300.9 gives 44.
// The plain cast is undefined outside the target's range, so the remainder is
// taken first. `bits` is at most 32.
inline uint32_t truncatedLowBits(double value, unsigned bits) {
    if (!std::isfinite(value)) throw swf_exception(N_("A non-finite number cannot be stored as an integer."));
    const double modulus = std::ldexp(1.0, static_cast<int>(bits));
    double remainder = std::fmod(std::trunc(value), modulus);
    if (remainder < 0) remainder += modulus;
    return static_cast<uint32_t>(remainder);
}

// One JSON value as a byte: a boolean gives 0 or 1, an integer its low 8
// bits, a floating value its low 8 bits after truncation toward zero; any
// other type fails with the library's type error.
inline uint8_t jsonToByte(const JsonDocument& value) {
    switch (value.type()) {
        case JsonDocument::value_t::boolean:
            return value.get<bool>() ? 1 : 0;
        case JsonDocument::value_t::number_integer:
            return static_cast<uint8_t>(value.get<int64_t>());
        case JsonDocument::value_t::number_unsigned:
            return static_cast<uint8_t>(value.get<uint64_t>());
        case JsonDocument::value_t::number_float:
            return static_cast<uint8_t>(truncatedLowBits(value.get<double>(), 8));
        default:
            return value.get<uint8_t>();  // throws the library's type error
    }
}

}  // namespace swf

// Inserts the elements of a JSON array, each converted by swf::jsonToByte
// and in array order, at the end of `destination` (atEnd) or ahead of its
// existing elements (!atEnd). A plain cast of a JSON value to uint8_t would
// be undefined for floating values out of the byte's range.
inline void concatVectorWithContainer(std::vector<uint8_t>& destination, const swf::JsonDocument& source, bool atEnd) {
    std::vector<uint8_t> converted;
    converted.reserve(source.size());
    for (const auto& element : source) converted.push_back(swf::jsonToByte(element));
    destination.insert(atEnd ? destination.end() : destination.begin(), converted.begin(), converted.end());
}
