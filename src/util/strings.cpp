#include "util/strings.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cwchar>
#include <stdexcept>
#include <system_error>

namespace {

// The <cctype> functions are undefined for negative char values, which
// UTF-8 bytes are where char is signed.
bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
char lowerByte(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
char upperByte(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool isQuote(char c) { return c == '"' || c == '\''; }

// The C conversions stop at the first NUL, so a string is converted piece by
// piece and its NULs are carried over; otherwise everything after an embedded
// NUL would be lost silently.
template <typename Out, typename In, typename ConvertPiece>
Out convertAroundNuls(const In& in, ConvertPiece convertPiece) {
    Out out;
    size_t start = 0;
    for (;;) {
        out += convertPiece(in.c_str() + start);
        const size_t nul = in.find(typename In::value_type{}, start);
        if (nul == In::npos) return out;
        out.push_back(typename Out::value_type{});
        start = nul + 1;
    }
}

[[noreturn]] void throwErrno() { throw std::system_error(errno, std::generic_category()); }

std::wstring widen(const char* piece) {
    std::mbstate_t state{};
    const char* src = piece;
    const size_t length = std::mbsrtowcs(nullptr, &src, 0, &state);
    if (length == static_cast<size_t>(-1)) throwErrno();
    std::wstring out(length, L'\0');
    state = std::mbstate_t{};
    src = piece;
    std::mbsrtowcs(out.data(), &src, length, &state);
    return out;
}

std::string narrow(const wchar_t* piece) {
    std::mbstate_t state{};
    const wchar_t* src = piece;
    const size_t length = std::wcsrtombs(nullptr, &src, 0, &state);
    if (length == static_cast<size_t>(-1)) throwErrno();
    std::string out(length, '\0');
    state = std::mbstate_t{};
    src = piece;
    std::wcsrtombs(out.data(), &src, length, &state);
    return out;
}

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

std::string& removequotes(std::string& s) {
    if (!s.empty() && isQuote(s.front())) s.erase(0, 1);
    if (!s.empty() && isQuote(s.back())) s.pop_back();
    return s;
}

std::string to_lowercase(const std::string& s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lowerByte);
    return out;
}

std::string to_uppercase(const std::string& s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), upperByte);
    return out;
}

bool equalsIgnoreCase(std::string a, std::string b) { return to_lowercase(a) == to_lowercase(b); }

bool startsWith(const std::string& s, const std::string& prefix) { return s.starts_with(prefix); }

bool endsWith(const std::string& s, const std::string& suffix) { return s.ends_with(suffix); }

std::string getFilenameFromPath(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool replace(std::string& s, const std::string& from, const std::string& to) {
    const size_t pos = s.find(from);
    if (pos == std::string::npos) return false;
    s.replace(pos, from.size(), to);
    return true;
}

void findAndReplaceAll(std::string& s, std::string from, std::string to) {
    if (from.empty()) return;
    // Built in one pass: erasing and inserting in place is quadratic on long
    // texts with many hits.
    std::string result;
    size_t pos = 0;
    for (size_t hit = s.find(from); hit != std::string::npos; hit = s.find(from, pos)) {
        result.append(s, pos, hit - pos);
        result += to;
        pos = hit + from.size();
    }
    if (pos == 0) return;
    result.append(s, pos);
    s = std::move(result);
}

std::wstring s2ws(const std::string& s) { return convertAroundNuls<std::wstring>(s, widen); }

std::string ws2s(const std::wstring& s) { return convertAroundNuls<std::string>(s, narrow); }

int extractIntFromStr(const std::string& s) {
    const size_t firstDigit = s.find_first_of("0123456789");
    if (firstDigit == std::string::npos) throw std::invalid_argument("stoi");
    return std::stoi(s.substr(firstDigit));
}

std::string safeFileName(std::string name) {
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
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
