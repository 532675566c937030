#pragma once
// String helpers for user answers, paths and names. Strings are byte strings
// in the locale's multibyte encoding; case and white space follow the
// current C locale.

#include <string>
#include <string_view>

// White space is whatever isspace() accepts. Each returns its argument.
std::string& rtrim(std::string& s);
std::string& ltrim(std::string& s);
std::string& trim(std::string& s);

std::string to_lowercase(const std::string& s);

bool startsWith(const std::string& s, const std::string& prefix);
bool endsWith(const std::string& s, const std::string& suffix);

// The last component after "/" or "\\"; paths may come from either system.
std::string getFilenameFromPath(const std::string& path);

// The number that starts at the first ASCII digit, read like std::stoi; a
// sign in front of it is ignored. Throws std::invalid_argument("stoi") when
// there is no digit and std::out_of_range("stoi") when it does not fit an int.
int extractIntFromStr(const std::string& s);

// Text from outside (a file, the game, an archive, the file system) as it
// may be shown on a terminal: its control characters made visible, so that
// it can neither drive the terminal nor forge a line. Escape, newline,
// carriage return, tab and NUL show as \e, \n, \r, \t and \0; the other
// controls, C1 controls included, and every byte that is not part of valid
// UTF-8 show as \xNN.
std::string visibleText(std::string_view text);

// The longest name of a file the program writes, in bytes: the file
// system's 255, less what the name of a temporary file beside it adds.
inline constexpr size_t kMaxFileNameBytes = 248;

// A name for a file made from text a game file supplies: every "/", control
// character and byte that is not part of valid UTF-8 becomes "_", so that
// the name can neither lead into another directory nor drive a terminal
// that lists it; and a name longer than `room` bytes is cut at a
// character.
std::string safeFileName(std::string_view name, size_t room = kMaxFileNameBytes);

// A leading "~" or "~user" (alone or before a "/") replaced by that home
// directory, as a shell expands it; anything else, or an unknown user, is
// returned as it is.
std::string expandHome(const std::string& path);
