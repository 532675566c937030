#include "console/cursor.h"

#include <algorithm>
#include <cwchar>

namespace l18n {

namespace {

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

}  // namespace

size_t columnsOf(const std::string& text) {
    size_t columns = 0;
    for (size_t at = 0; at < text.size();) {
        const Glyph glyph = glyphAt(text, at);
        columns += glyph.columns;
        at += glyph.length;
    }
    return columns;
}

Glyph placeAt(Cursor& cursor, const std::string& text, size_t at, size_t width) {
    if (text[at] == '\n' || text[at] == '\r') return {1, 0};
    const Glyph glyph = glyphAt(text, at);
    if (glyph.columns > 0 && cursor.column + glyph.columns > width) {
        ++cursor.rows;
        cursor.column = 0;
    }
    return glyph;
}

void passOver(Cursor& cursor, const std::string& text, size_t at, const Glyph& glyph) {
    const bool lineBreak = text[at] == '\n';
    cursor.rows += lineBreak;
    cursor.column = lineBreak || text[at] == '\r' ? 0 : cursor.column + glyph.columns;
}

void advance(Cursor& cursor, const std::string& text, size_t width) {
    for (size_t at = 0; at < text.size();) {
        const Glyph glyph = placeAt(cursor, text, at, width);
        passOver(cursor, text, at, glyph);
        at += glyph.length;
    }
}

}  // namespace l18n
