#include "util/strings.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
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
