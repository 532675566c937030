#pragma once
// Text on a terminal: lines longer than the terminal are broken at a blank,
// never inside a word, and a long listing stops after each screenful (the
// pager). The output functions come here only for a stream that is a
// terminal: what goes to a pipe or a file is never changed.

#include <cstdio>
#include <string>

namespace l18n {

// `text` laid out for a terminal `width` columns wide whose cursor stands at
// `column`: a blank where the next word would pass the edge becomes a line
// break. Blanks at the start of a line are kept, as are blanks between words
// that fit; a number and the short word after it ("44100 Hz") stay on one
// line; escape sequences take no columns, and characters as many as the
// terminal gives them. A word longer than the line is left to the terminal.
std::string wrapText(const std::string& text, size_t width, size_t column = 0);

// Writes `text` to `stream`, a terminal, laid out from where the last text
// ended, through the pager. `colour`, unless null, is written to standard
// output before the text and a reset after it. The terminal's width is read
// anew for every text, so a resized terminal is followed.
void showOnTerminal(std::FILE* stream, const char* colour, const std::string& text);

// The prompt of a line about to be read from the terminal, laid out the
// same way from where the last text ended.
std::string promptOnTerminal(const std::string& prompt);
// A line was read: the cursor stands at the start of a line.
void lineRead();
// Text written to the terminal as it is (art): where it leaves the cursor.
void shownAsIs(const std::string& text);

}  // namespace l18n
