#pragma once
// The pager: while a Paging guard lives, on a terminal that the user types
// at, text stops when the screen is full and there is more to show, and
// waits for the user. Enter shows the next screenful; "q" or Ctrl-D ends the
// paged text by throwing go_back. It is the one place where writing text
// reads input.

#include <cstdio>
#include <string>

namespace l18n {

// Writes `bytes`, text laid out for the terminal that `stream` writes to,
// counting the rows they take, and pauses where they would begin a row
// beyond the screen, so that a text that fits ends without a pause.
// `colour`, unless null, is written to standard output before the text and
// a reset after it, and again around each pause.
void writePaged(std::FILE* stream, const char* colour, const std::string& bytes);

}  // namespace l18n
