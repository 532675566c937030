#pragma once
// String helpers for user answers, paths and names. Strings are byte strings
// in the locale's multibyte encoding; case and white space follow the
// current C locale.

#include <string>

// White space is whatever isspace() accepts. Each returns its argument.
std::string& rtrim(std::string& s);
std::string& ltrim(std::string& s);
std::string& trim(std::string& s);

// Drops one leading and one trailing quote (" or '), each independently, as
// left behind when a path is pasted from a file manager or shell.
std::string& removequotes(std::string& s);

std::string to_lowercase(const std::string& s);
std::string to_uppercase(const std::string& s);
bool equalsIgnoreCase(std::string a, std::string b);

bool startsWith(const std::string& s, const std::string& prefix);
bool endsWith(const std::string& s, const std::string& suffix);

// The last component after "/" or "\\"; paths may come from either system.
std::string getFilenameFromPath(const std::string& path);

// Replaces the first occurrence; false (and s untouched) when there is none.
bool replace(std::string& s, const std::string& from, const std::string& to);
// Replaces every occurrence left to right; replacement text is never searched
// again. An empty `from` changes nothing.
void findAndReplaceAll(std::string& s, std::string from, std::string to);

// Locale conversions between multibyte and wide strings. An invalid sequence
// throws std::system_error (generic category) carrying errno.
std::wstring s2ws(const std::string& s);
std::string ws2s(const std::wstring& s);

// The number that starts at the first ASCII digit, read like std::stoi; a
// sign in front of it is ignored. Throws std::invalid_argument("stoi") when
// there is no digit and std::out_of_range("stoi") when it does not fit an int.
int extractIntFromStr(const std::string& s);

// A name for a file in the current directory made from text a game file
// supplies: every "/" becomes "_", so that the name cannot lead into another
// directory.
std::string safeFileName(std::string name);

// A leading "~" or "~user" (alone or before a "/") replaced by that home
// directory, as a shell expands it; anything else, or an unknown user, is
// returned as it is.
std::string expandHome(const std::string& path);
