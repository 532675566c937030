#include "console/screen.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "console/l18n.h"
#include "console/rlutil.h"
#include "util/strings.h"

namespace l18n {

namespace {

// One character as the terminal shows it: its bytes and its columns.
struct Glyph {
    size_t length;
    size_t columns;
};

// An escape sequence: CSI (colours, cursor) up to its final byte, OSC (the
// title) up to BEL or ESC \, any other one with the byte after ESC.
size_t escapeLength(const std::string& text, size_t at) {
    size_t end = at + 1;
    if (end >= text.size()) return 1;
    if (text[end] == '[') {
        ++end;
        while (end < text.size() && (text[end] < 0x40 || text[end] > 0x7E)) ++end;
        return std::min(end + 1, text.size()) - at;
    }
    if (text[end] == ']') {
        while (++end < text.size() && text[end] != '\a' && text[end] != '\x1b') {
        }
        if (end + 1 < text.size() && text[end] == '\x1b') ++end;
        return std::min(end + 1, text.size()) - at;
    }
    return 2;
}

// Characters are read in the locale's encoding. Should that fail (the C
// locale on a UTF-8 terminal), a byte that continues a UTF-8 character takes
// no column and any other byte one.
Glyph glyphAt(const std::string& text, size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == 0x1B) return {escapeLength(text, at), 0};
    if (byte < 0x80) return {1, byte >= 0x20 && byte != 0x7F ? 1u : 0u};
    std::mbstate_t state{};
    wchar_t wide = 0;
    const size_t length = std::mbrtowc(&wide, text.data() + at, text.size() - at, &state);
    if (length == 0 || length > text.size() - at) return {1, (byte & 0xC0) != 0x80 ? 1u : 0u};
    const int columns = ::wcwidth(wide);
    return {length, columns > 0 ? static_cast<size_t>(columns) : 0u};
}

size_t columnsOf(const std::string& text) {
    size_t columns = 0;
    for (size_t at = 0; at < text.size();) {
        const Glyph glyph = glyphAt(text, at);
        columns += glyph.columns;
        at += glyph.length;
    }
    return columns;
}

// Where the terminal's cursor stands, and the rows it moved down.
struct Cursor {
    size_t column = 0;
    size_t rows = 0;
};

// The character at `at`. A character that does not fit on the cursor's row
// makes the terminal begin the next row for it, which is counted here,
// before the character is written.
Glyph placeAt(Cursor& cursor, const std::string& text, size_t at, size_t width) {
    if (text[at] == '\n' || text[at] == '\r') return {1, 0};
    const Glyph glyph = glyphAt(text, at);
    if (glyph.columns > 0 && cursor.column + glyph.columns > width) {
        ++cursor.rows;
        cursor.column = 0;
    }
    return glyph;
}

// Moves the cursor past the character placed at `at`.
void passOver(Cursor& cursor, const std::string& text, size_t at, const Glyph& glyph) {
    const bool lineBreak = text[at] == '\n';
    cursor.rows += lineBreak;
    cursor.column = lineBreak || text[at] == '\r' ? 0 : cursor.column + glyph.columns;
}

// Moves the cursor over `text` as the terminal does.
void advance(Cursor& cursor, const std::string& text, size_t width) {
    for (size_t at = 0; at < text.size();) {
        const Glyph glyph = placeAt(cursor, text, at, width);
        passOver(cursor, text, at, glyph);
        at += glyph.length;
    }
}

struct Piece {
    enum Kind { Word, Blanks, Newline } kind;
    std::string text;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isNumber(const std::string& word) {
    if (word.empty() || !isDigit(word.front()) || !isDigit(word.back())) return false;
    return word.find_first_not_of("0123456789.,") == std::string::npos;
}

// The units that follow numbers in messages, in English and German,
// perhaps followed by punctuation.
bool isUnit(const std::string& word) {
    static const char* const kUnits[] = {"Hz",  "kHz",   "%",     "B",    "KB", "kB",     "MB",    "GB", "KiB", "MiB",
                                         "GiB", "bytes", "Bytes", "Byte", "px", "pixels", "Pixel", "ms", "s"};
    const std::string unit = word.substr(0, word.find_first_of(",.;:!?)"));
    return std::any_of(std::begin(kUnits), std::end(kUnits), [&](const char* u) { return unit == u; });
}

// Words, runs of blanks and line breaks. A number, one blank and a unit
// make one word, so that no line ends between them.
std::vector<Piece> piecesOf(const std::string& text) {
    std::vector<Piece> pieces;
    for (size_t at = 0; at < text.size();) {
        if (text[at] == '\n') {
            pieces.push_back({Piece::Newline, "\n"});
            ++at;
            continue;
        }
        const bool blank = text[at] == ' ';
        size_t end = at;
        while (end < text.size() && text[end] != '\n' && (text[end] == ' ') == blank) ++end;
        pieces.push_back({blank ? Piece::Blanks : Piece::Word, text.substr(at, end - at)});
        at = end;
        const size_t n = pieces.size();
        if (n >= 3 && pieces[n - 1].kind == Piece::Word && pieces[n - 2].text == " " &&
            pieces[n - 3].kind == Piece::Word && isNumber(pieces[n - 3].text) && isUnit(pieces[n - 1].text)) {
            pieces[n - 3].text += " " + pieces[n - 1].text;
            pieces.resize(n - 2);
        }
    }
    return pieces;
}

// Blanks after the last word of a text are held back in `held` until the
// next word shows whether it fits on the line or a line break takes their
// place.
std::string layOut(const std::string& text, size_t width, size_t startColumn, std::string& held) {
    std::string out;
    Cursor cursor{startColumn, 0};
    size_t& column = cursor.column;
    const auto place = [&](const std::string& bytes) {
        out += bytes;
        advance(cursor, bytes, width);
    };
    for (const Piece& piece : piecesOf(text)) {
        switch (piece.kind) {
            case Piece::Newline:
                // Blanks that would pass the edge would make the terminal
                // begin a line of their own.
                if (column + held.size() <= width) place(held);
                held.clear();
                place(piece.text);
                break;
            case Piece::Blanks:
                if (column == 0 && held.empty()) {
                    place(piece.text);
                } else {
                    held += piece.text;
                }
                break;
            case Piece::Word:
                if (!held.empty() && column + held.size() + columnsOf(piece.text) > width) {
                    place("\n");
                } else {
                    place(held);
                }
                held.clear();
                place(piece.text);
                break;
        }
    }
    return out;
}

struct Size {
    size_t columns;
    size_t rows;  // 0 when unknown
};

Size terminalSize(int fd) {
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return {80, 0};
    return {size.ws_col, size.ws_row};
}

// Where the terminal's cursor stands after what the program wrote (its rows
// counted since the paged text began or since the last pause), and whether
// a text is being paged.
struct Screen {
    Cursor cursor;
    std::string held;
    bool paging = false;
};

Screen g_screen;

void putColour(const char* sequence) {
    if (sequence != nullptr && coloursEnabled()) std::fputs(sequence, stdout);
    std::fflush(stdout);
}

const char* const kPausePrompt = N_("-- Press Enter for more, q to stop --");

// Waits for Enter. The prompt is readline's own, so that it knows the line
// is taken and ends it when Enter is pressed; the answer goes to no history.
void pause() {
    g_screen.paging = false;
    std::string answer;
    readLine(answer, _(kPausePrompt), History::None);
    if (to_lowercase(answer) == "q") throw go_back{};
    g_screen.paging = true;
    g_screen.cursor = {};
}

// The rows the pause's question takes at this width.
size_t pauseRows(size_t width) {
    Cursor cursor;
    advance(cursor, wrapText(_(kPausePrompt), width), width);
    return cursor.rows + 1;
}

// Writes laid-out bytes a character at a time, counting the rows they take.
// The pause comes before a character that would begin a row beyond the
// screen, so that a text that fits ends without one.
void write(std::FILE* stream, const char* colour, const std::string& bytes, const Size& size) {
    Cursor& cursor = g_screen.cursor;
    const size_t pageRows =
        g_screen.paging && size.rows > 1 ? size.rows - std::min(size.rows - 1, pauseRows(size.columns)) : 0;
    size_t start = 0;
    for (size_t at = 0; at < bytes.size();) {
        const Glyph glyph = placeAt(cursor, bytes, at, size.columns);
        if (g_screen.paging && pageRows > 0 && cursor.column == 0 && cursor.rows >= pageRows) {
            std::fwrite(bytes.data() + start, 1, at - start, stream);
            std::fflush(stream);
            putColour(colour != nullptr ? rlutil::ANSI_ATTRIBUTE_RESET : nullptr);
            pause();
            putColour(colour);
            start = at;
        }
        passOver(cursor, bytes, at, glyph);
        at += glyph.length;
    }
    std::fwrite(bytes.data() + start, 1, bytes.size() - start, stream);
    std::fflush(stream);
}

}  // namespace

bool isTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

std::string wrapText(const std::string& text, size_t width, size_t column) {
    std::string held;
    return layOut(text, width, column, held) + held;
}

void showOnTerminal(std::FILE* stream, const char* colour, const std::string& text) {
    const Size size = terminalSize(fileno(stream));
    // A text that goes back to the start of its line redraws that line in
    // place; broken, it would leave a copy of its start on every redraw.
    std::string bytes;
    if (text.find('\r') != std::string::npos) {
        g_screen.held.clear();
        bytes = text;
    } else {
        bytes = layOut(text, size.columns, g_screen.cursor.column, g_screen.held);
    }
    putColour(colour);
    write(stream, colour, bytes, size);
    if (colour != nullptr) putColour(rlutil::ANSI_ATTRIBUTE_RESET);
}

std::string promptOnTerminal(const std::string& prompt) {
    const Size size = terminalSize(STDOUT_FILENO);
    std::string shown = layOut(prompt, size.columns, g_screen.cursor.column, g_screen.held) + g_screen.held;
    g_screen.held.clear();
    return shown;
}

void lineRead() {
    g_screen.cursor.column = 0;
    g_screen.held.clear();
}

void shownAsIs(const std::string& text) {
    advance(g_screen.cursor, text, terminalSize(STDOUT_FILENO).columns);
    g_screen.held.clear();
}

Paging::Paging() : outer_(g_screen.paging) {
    if (!interactive() || outer_) return;
    g_screen.paging = true;
    g_screen.cursor.rows = 0;
}

Paging::~Paging() {
    if (!outer_) g_screen.paging = false;
}

}  // namespace l18n
