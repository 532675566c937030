#pragma once
// Parsing of the ids the user types.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vorlune_forge {

// Reads numbers separated by commas and/or white space (commas in `text`
// become blanks). Returns them sorted and without duplicates, or an empty
// list when anything but numbers was typed.
template <typename T>
std::vector<T> getVectorOfNumbers(std::string& text) {
    std::replace(text.begin(), text.end(), ',', ' ');
    std::istringstream stream(text);
    std::vector<T> numbers;
    T number{};
    while (stream >> number) numbers.push_back(number);
    if (!stream.eof()) return {};
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

// One whole unsigned number in base 10, read as the standard conversion
// does (leading blanks and a sign accepted); nothing when no digit could be
// read, the value is out of range or anything follows it.
inline std::optional<uint64_t> parseId(const std::string& text) {
    try {
        size_t used = 0;
        const unsigned long long value = std::stoull(text, &used, 10);
        if (used != text.size()) return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace vorlune_forge
