#pragma once
// String helpers for user answers, paths and names. Strings are byte strings
// in the locale's multibyte encoding; case and white space follow the
// current C locale.

#include <string>

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

// A name for a file in the current directory made from text a game file
// supplies: every "/" becomes "_", so that the name cannot lead into another
// directory.
std::string safeFileName(std::string name);

// A leading "~" or "~user" (alone or before a "/") replaced by that home
// directory, as a shell expands it; anything else, or an unknown user, is
// returned as it is.
std::string expandHome(const std::string& path);
