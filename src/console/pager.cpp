#include "console/pager.h"

#include <algorithm>

#include "console/l18n.h"
#include "console/rlutil.h"
#include "console/screen.h"
#include "console/terminal.h"
#include "util/strings.h"

namespace l18n {

namespace {

const char* const kPausePrompt = N_("-- Press Enter for more, q to stop --");

void putColour(const char* sequence) {
    if (sequence != nullptr && coloursEnabled()) std::fputs(sequence, stdout);
    std::fflush(stdout);
}

// Waits for Enter. The prompt is readline's own, so that it knows the line
// is taken and ends it when Enter is pressed; the answer goes to no history.
// The question is not paged itself.
void pause(Terminal& term) {
    term.set(Setting::Paging, false);
    std::string answer;
    readLine(answer, _(kPausePrompt), History::None);
    if (to_lowercase(answer) == "q") throw go_back{};
    term.set(Setting::Paging, true);
    term.cursor() = {};
}

// The rows the pause's question takes at this width.
size_t pauseRows(size_t width) {
    Cursor cursor;
    advance(cursor, wrapText(_(kPausePrompt), width), width);
    return cursor.rows + 1;
}

}  // namespace

void writePaged(std::FILE* stream, const char* colour, const std::string& bytes) {
    Terminal& term = terminal();
    // The size the text was laid out for, even should the window change
    // during a pause.
    const ScreenSize size = term.size();
    Cursor& cursor = term.cursor();
    const size_t pageRows =
        term.isOn(Setting::Paging) && size.rows > 1 ? size.rows - std::min(size.rows - 1, pauseRows(size.columns)) : 0;
    putColour(colour);
    size_t start = 0;
    for (size_t at = 0; at < bytes.size();) {
        const Glyph glyph = placeAt(cursor, bytes, at, size.columns);
        if (term.isOn(Setting::Paging) && pageRows > 0 && cursor.column == 0 && cursor.rows >= pageRows) {
            std::fwrite(bytes.data() + start, 1, at - start, stream);
            std::fflush(stream);
            putColour(colour != nullptr ? rlutil::ANSI_ATTRIBUTE_RESET : nullptr);
            pause(term);
            putColour(colour);
            start = at;
        }
        passOver(cursor, bytes, at, glyph);
        at += glyph.length;
    }
    std::fwrite(bytes.data() + start, 1, bytes.size() - start, stream);
    std::fflush(stream);
    if (colour != nullptr) putColour(rlutil::ANSI_ATTRIBUTE_RESET);
}

}  // namespace l18n
