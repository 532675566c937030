#pragma once
// Text on a terminal: lines longer than the terminal are broken at a blank,
// never inside a word, and a long listing stops after each screenful. The
// output functions of l18n.h come here only for a stream that is a
// terminal: what goes to a pipe or a file is never changed.

#include <cstdio>
#include <string>

namespace l18n {

// Whether `stream` writes to a terminal.
bool isTerminal(std::FILE* stream);

// `text` laid out for a terminal `width` columns wide whose cursor stands at
// `column`: a blank where the next word would pass the edge becomes a line
// break. Blanks at the start of a line are kept, as are blanks between words
// that fit; a number and the short word after it ("44100 Hz") stay on one
// line; escape sequences take no columns, and characters as many as the
// terminal gives them. A word longer than the line is left to the terminal.
std::string wrapText(const std::string& text, size_t width, size_t column = 0);

// Writes `text` to `stream`, a terminal, laid out from where the last text
// ended. `colour`, unless null, is written to standard output before the
// text and a reset after it (again around each pause). The terminal's width
// is read anew for every text, so a resized terminal is followed.
void showOnTerminal(std::FILE* stream, const char* colour, const std::string& text);

// The prompt of a line about to be read from the terminal, laid out the
// same way from where the last text ended.
std::string promptOnTerminal(const std::string& prompt);
// A line was read: the cursor stands at the start of a line.
void lineRead();
// Text written to the terminal as it is (art): where it leaves the cursor.
void shownAsIs(const std::string& text);

// While a Paging lives, on a terminal that the user types at, output stops
// when the screen is full and there is more to show, until the user presses
// Enter; Ctrl-D or "q" there ends the paged text by throwing go_back.
// Elsewhere it does nothing.
class Paging {
public:
    Paging();
    ~Paging();
    Paging(const Paging&) = delete;
    Paging& operator=(const Paging&) = delete;

private:
    bool outer_;
};

}  // namespace l18n
