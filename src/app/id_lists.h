#pragma once
// Parsing of the ids the user types.

#include <algorithm>
#include <cstdint>
#include <map>
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

// Whether a list of ids holds a number beyond 65535, which cannot be a
// character id.
bool hasIdOutOfRange(const std::string& text);

// The resources of one kind that a user may name in an answer.
class IdNames {
public:
    // `ids`: every id of the kind that the game has; `symbols`: their symbol
    // names; `extension`: what the kind's files end with.
    IdNames(std::vector<uint64_t> ids, const std::map<uint64_t, std::string>& symbols, const std::string& extension);

    // The ids from `first` to `last` that the game has, ascending.
    std::vector<uint64_t> between(uint64_t first, uint64_t last) const;
    // The id of the resource that `text` names: its symbol name, with or
    // without the extension, in any case; or its exported file's name,
    // "<id> - <anything>".
    std::optional<uint64_t> named(const std::string& text) const;

private:
    std::vector<uint64_t> ids_;
    std::map<std::string, uint64_t> byName_;
};

// An export list: numbers, ranges "a-b" of the ids the game has, names and
// exported files' names, separated by commas (numbers and ranges by blanks
// too). The ids come sorted and once each; `refusal` is the message of an
// answer that cannot be read ("Invalid input.", or "Invalid number." for a
// number beyond 65535), or nullptr.
struct IdList {
    std::vector<uint64_t> ids;
    const char* refusal = nullptr;
};
IdList readIdList(const std::string& text, const IdNames& names);

// The one id of a replacement: a number, as parseId reads it, or a name as
// IdNames reads it.
std::optional<uint64_t> readSingleId(const std::string& text, const IdNames& names);

}  // namespace vorlune_forge
