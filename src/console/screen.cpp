#include "console/screen.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "console/cursor.h"
#include "console/pager.h"
#include "console/terminal.h"

namespace l18n {

namespace {

struct Piece {
    enum class Kind { Word, Blanks, Newline } kind;
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
            pieces.push_back({Piece::Kind::Newline, "\n"});
            ++at;
            continue;
        }
        const bool blank = text[at] == ' ';
        size_t end = at;
        while (end < text.size() && text[end] != '\n' && (text[end] == ' ') == blank) ++end;
        pieces.push_back({blank ? Piece::Kind::Blanks : Piece::Kind::Word, text.substr(at, end - at)});
        at = end;
        const size_t n = pieces.size();
        if (n >= 3 && pieces[n - 1].kind == Piece::Kind::Word && pieces[n - 2].text == " " &&
            pieces[n - 3].kind == Piece::Kind::Word && isNumber(pieces[n - 3].text) && isUnit(pieces[n - 1].text)) {
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
            case Piece::Kind::Newline:
                // Blanks that would pass the edge would make the terminal
                // begin a line of their own.
                if (column + held.size() <= width) place(held);
                held.clear();
                place(piece.text);
                break;
            case Piece::Kind::Blanks:
                if (column == 0 && held.empty()) {
                    place(piece.text);
                } else {
                    held += piece.text;
                }
                break;
            case Piece::Kind::Word:
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

}  // namespace

std::string wrapText(const std::string& text, size_t width, size_t column) {
    std::string held;
    return layOut(text, width, column, held) + held;
}

void showOnTerminal(std::FILE* stream, const char* colour, const std::string& text) {
    Terminal& term = terminal();
    const ScreenSize& size = term.measure(fileno(stream));
    // A text that goes back to the start of its line redraws that line in
    // place; broken, it would leave a copy of its start on every redraw.
    std::string bytes;
    if (text.find('\r') != std::string::npos) {
        term.heldBlanks().clear();
        bytes = text;
    } else {
        bytes = layOut(text, size.columns, term.cursor().column, term.heldBlanks());
    }
    writePaged(stream, colour, bytes);
}

std::string promptOnTerminal(const std::string& prompt) {
    Terminal& term = terminal();
    const ScreenSize& size = term.measure(STDOUT_FILENO);
    std::string shown = layOut(prompt, size.columns, term.cursor().column, term.heldBlanks()) + term.heldBlanks();
    term.heldBlanks().clear();
    return shown;
}

void lineRead() {
    Terminal& term = terminal();
    term.cursor().column = 0;
    term.heldBlanks().clear();
}

void shownAsIs(const std::string& text) {
    Terminal& term = terminal();
    advance(term.cursor(), text, term.measure(STDOUT_FILENO).columns);
    term.heldBlanks().clear();
}

}  // namespace l18n
