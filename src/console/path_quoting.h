#pragma once
// Paths as they are typed at a path prompt, and Tab completion of them. An
// answer is one path, blanks included; quoting is needed only at its ends
// and for the escape character itself:
// - blanks around the path are dropped;
// - one quote (" or ') opening the path and one closing it are taken off;
//   between double quotes \" stands for " and \\ for \, between single
//   quotes every character stands for itself;
// - outside quotes a backslash before a blank, a quote, a backslash or
//   another character that a shell treats specially stands for that
//   character ("my\ mods" for "my mods").
// Completion writes the names it inserts so that they read back this way.

#include <string>

namespace l18n {

// The path that `typed` names. With `openQuote` set, `typed` is the text
// after that opening quote (as completion hands it over).
std::string unquotePath(const std::string& typed, char openQuote = 0);

// `path` written so that unquotePath reads it back, in the style that
// `quote` names: after an opening " or ' (changed to " when the path holds
// a '); with a backslash before every special character ('\\'); or
// plainly, escaping only what would be read differently ('\0').
std::string quotePath(const std::string& path, char& quote);

// Makes readline's Tab complete paths with this quoting.
void usePathCompletion();

}  // namespace l18n
