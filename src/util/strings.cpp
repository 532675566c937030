#include "util/strings.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace {

// The <cctype> functions are undefined for negative char values, which
// UTF-8 bytes are where char is signed.
bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
char lowerByte(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::string& rtrim(std::string& s) {
    s.erase(std::find_if_not(s.rbegin(), s.rend(), isSpace).base(), s.end());
    return s;
}

std::string& ltrim(std::string& s) {
    s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), isSpace));
    return s;
}

std::string& trim(std::string& s) { return ltrim(rtrim(s)); }

std::string to_lowercase(const std::string& s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lowerByte);
    return out;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.starts_with(prefix); }

bool endsWith(const std::string& s, const std::string& suffix) { return s.ends_with(suffix); }

std::string getFilenameFromPath(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

int extractIntFromStr(const std::string& s) {
    const size_t firstDigit = s.find_first_of("0123456789");
    if (firstDigit == std::string::npos) throw std::invalid_argument("stoi");
    return std::stoi(s.substr(firstDigit));
}

namespace {

// The character that starts at `at`: its code point and its length in
// bytes, or nothing when the bytes there are not valid UTF-8 (overlong
// forms and surrogates included).
struct Character {
    char32_t code;
    size_t length;
};

std::optional<Character> characterAt(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char first = byte(0);
    if (first < 0x80) return Character{first, 1};
    size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2, code = first & 0x1F, least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3, code = first & 0x0F, least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4, code = first & 0x07, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (at + length > text.size()) return std::nullopt;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return std::nullopt;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    return Character{code, length};
}

bool isControl(char32_t code) { return code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F); }

std::string hexEscape(unsigned value) {
    static const char digits[] = "0123456789abcdef";
    return {'\\', 'x', digits[(value >> 4) & 0xF], digits[value & 0xF]};
}

std::string controlEscape(char32_t code) {
    switch (code) {
        case 0x1B:
            return "\\e";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        case 0:
            return "\\0";
        default:
            return hexEscape(static_cast<unsigned>(code));
    }
}

}  // namespace

std::string visibleText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const std::optional<Character> character = characterAt(text, at);
        if (!character) {
            shown += hexEscape(static_cast<unsigned char>(text[at]));
            ++at;
        } else if (isControl(character->code)) {
            shown += controlEscape(character->code);
            at += character->length;
        } else {
            shown.append(text.substr(at, character->length));
            at += character->length;
        }
    }
    return shown;
}

std::string safeFileName(std::string_view name, size_t room) {
    std::string safe;
    for (size_t at = 0; at < name.size();) {
        const std::optional<Character> character = characterAt(name, at);
        const size_t length = character ? character->length : 1;
        const bool kept = character && !isControl(character->code) && character->code != '/';
        if (safe.size() + (kept ? length : 1) > room) break;
        if (kept) {
            safe.append(name.substr(at, length));
        } else {
            safe += '_';
        }
        at += length;
    }
    return safe;
}

std::string expandHome(const std::string& path) {
    if (path.empty() || path[0] != '~') return path;
    const size_t slash = path.find('/');
    const std::string user = path.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    const char* home = nullptr;
    if (user.empty()) {
        home = std::getenv("HOME");
        if (home == nullptr || *home == '\0') {
            const passwd* entry = getpwuid(getuid());
            home = entry != nullptr ? entry->pw_dir : nullptr;
        }
    } else {
        const passwd* entry = getpwnam(user.c_str());
        home = entry != nullptr ? entry->pw_dir : nullptr;
    }
    if (home == nullptr) return path;
    return home + (slash == std::string::npos ? std::string() : path.substr(slash));
}
