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

// The largest character id an SWF file can hold.
inline constexpr uint64_t kMaxCharacterId = 0xFFFF;

// One whole number in base 10 that can be a character id (leading blanks
// and a plus sign accepted); nothing when no digit could be read, the number
// is negative or beyond 65535, or anything follows it.
inline std::optional<uint64_t> parseId(const std::string& text) {
    if (text.find('-') != std::string::npos) return std::nullopt;
    try {
        size_t used = 0;
        const unsigned long long value = std::stoull(text, &used, 10);
        if (used != text.size() || value > kMaxCharacterId) return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Whether a list of ids holds a number that cannot be a character id: a
// negative one or one beyond 65535. Other tokens are left to the list's
// parser.
inline bool hasIdOutOfRange(const std::string& text) {
    std::string token;
    std::istringstream words(text);
    while (std::getline(words, token, ',')) {
        std::istringstream parts(token);
        std::string part;
        while (parts >> part) {
            const bool negative = part[0] == '-';
            const std::string digits = negative || part[0] == '+' ? part.substr(1) : part;
            if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
            if (negative || digits.size() > 5 || std::stoul(digits) > kMaxCharacterId) return true;
        }
    }
    return false;
}

}  // namespace vorlune_forge
