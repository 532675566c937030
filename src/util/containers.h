#pragma once
// Joining a container onto a vector, converting its elements on the way
// (bytes from a std::array, numbers from a JSON array, ...).

#include <vector>

// Inserts every element of `source`, converted with static_cast<T> and in
// source order, at the end of `destination` (atEnd) or ahead of its existing
// elements (!atEnd). `atEnd` picks the position only; nothing is reordered.
template <typename T, typename Container>
void concatVectorWithContainer(std::vector<T>& destination, const Container& source, bool atEnd) {
    // Converted into a separate vector first, so that `source` may be
    // `destination` itself without being read while it grows.
    std::vector<T> converted;
    converted.reserve(source.size());
    for (const auto& element : source) converted.push_back(static_cast<T>(element));

    destination.reserve(destination.size() + converted.size());
    destination.insert(atEnd ? destination.end() : destination.begin(), converted.begin(), converted.end());
}
