#pragma once
// The ids the user types: numbers, ranges of the ids the game has, names
// and exported files' names. One reader takes every id answer, a list or a
// single id, and one number reader serves it and the names of files.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/error.h"

namespace vorlune_forge {

// The largest character id an SWF file can hold.
inline constexpr uint64_t kMaxCharacterId = 0xFFFF;

// The id that starts an exported file's name: "<id>" alone, or followed by
// " - " and anything; nothing for other text or an id beyond 65535.
std::optional<uint64_t> leadingId(std::string_view text);

// The resources that a user may name in an answer.
class IdNames {
public:
    struct Resource {
        uint64_t id;
        std::string symbol;     // "" when it has none
        std::string extension;  // what its files end with
    };
    // `unknownName` is the message for a name none of them has, taking the
    // name ("No image named '%s'.\n").
    IdNames(std::vector<Resource> resources, const char* unknownName);

    // The ids from `first` to `last` that the resources have, ascending.
    std::vector<uint64_t> between(uint64_t first, uint64_t last) const;
    // The id of the resource that `text` names: its symbol name, with or
    // without the extension, in any case; or its exported file's name.
    std::optional<uint64_t> named(const std::string& text) const;
    Message unknown(const std::string& name) const { return Message::text(unknownName_, {name}); }

private:
    std::vector<uint64_t> ids_;
    std::map<std::string, uint64_t> byName_;
    const char* unknownName_;
};

// What an id answer names: its ids, ascending and once each; or why it
// cannot be taken ("Invalid input.", "Invalid number." for a number that
// cannot be a character id, or the name that names nothing).
struct IdAnswer {
    std::vector<uint64_t> ids;
    std::optional<Message> refusal;
};

// Reads an answer of items separated by commas: numbers and ranges "a-b"
// (separated by blanks too), names and exported files' names. `single`
// asks for exactly one id: one number or one name.
IdAnswer getVectorOfNumbers(const std::string& text, const IdNames& names, bool single = false);

}  // namespace vorlune_forge
