#pragma once
// Where text leaves a terminal's cursor: the columns each character takes
// (escape sequences none, wide characters two) and the rows the terminal
// begins when a line passes its edge.

#include <cstddef>
#include <string>

namespace l18n {

// One character as the terminal shows it: its bytes and its columns.
struct Glyph {
    size_t length;
    size_t columns;
};

// Where the terminal's cursor stands, and the rows it moved down.
struct Cursor {
    size_t column = 0;
    size_t rows = 0;
};

// The columns `text` takes on one line.
size_t columnsOf(const std::string& text);

// The character at `at`. A character that does not fit on the cursor's row
// makes the terminal begin the next row for it, which is counted here,
// before the character is written.
Glyph placeAt(Cursor& cursor, const std::string& text, size_t at, size_t width);

// Moves the cursor past the character placed at `at`.
void passOver(Cursor& cursor, const std::string& text, size_t at, const Glyph& glyph);

// Moves the cursor over `text` as a terminal `width` columns wide does.
void advance(Cursor& cursor, const std::string& text, size_t width);

}  // namespace l18n
