#include "console/output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <system_error>

#include "console/screen.h"
#include "console/terminal.h"

namespace l18n {

namespace {

// Colour changes go through the same FILE as the text, so they reach the
// terminal in the order written; the flushes keep standard output and
// standard error in step where both show up on one terminal.
void putSequence(const char* sequence) {
    if (coloursEnabled()) std::fputs(sequence, stdout);
}

[[noreturn]] void throwOutputError() {
    throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(), "standard output");
}

// Output of the banner printer is checked: a failure there is reported
// rather than leaving a half-drawn screen unnoticed. Buffered writes usually
// fail only when flushed, so the flushes are checked as well.
void writeChecked(const char* bytes, size_t length) {
    errno = 0;
    if (length != 0 && std::fwrite(bytes, 1, length, stdout) != length) throwOutputError();
}

void flushChecked() {
    errno = 0;
    if (std::fflush(stdout) != 0) throwOutputError();
}

// The length of the character that starts at `text`, in the locale's
// multibyte encoding. A byte that does not start a valid character counts as
// a character of its own, so a stray byte cannot swallow the rest.
size_t characterLength(const char* text, size_t available, std::mbstate_t& state) {
    const size_t length = std::mbrlen(text, available, &state);
    if (length == 0 || length > available) {
        state = std::mbstate_t{};
        return 1;
    }
    return length;
}

std::string formatted(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int size = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (size <= 0) return "";
    std::string text(static_cast<size_t>(size) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.pop_back();
    return text;
}

// The formatted text on `stream`, after `colour` (written to standard
// output) and a reset, unless the colour is null. A terminal shows the text
// laid out for its width; a pipe or a file gets it as it is.
int print(std::FILE* stream, const char* colour, const char* format, va_list args) {
    if (isTerminal(stream)) {
        const std::string text = formatted(format, args);
        showOnTerminal(stream, colour, text);
        return static_cast<int>(text.size());
    }
    if (colour != nullptr) {
        putSequence(colour);
        std::fflush(stdout);
    }
    const int count = io_vfprintf(stream, format, args);
    std::fflush(stream);
    if (colour != nullptr) {
        putSequence(rlutil::ANSI_ATTRIBUTE_RESET);
        // Flushed too, so that a run that ends abruptly does not leave the
        // terminal in colour.
        std::fflush(stdout);
    }
    return count;
}

}  // namespace

bool coloursEnabled() {
    static const bool enabled = [] {
        const char* noColour = std::getenv("NO_COLOR");
        return noColour == nullptr || *noColour == '\0';
    }();
    return enabled;
}

int io_vfprintf(FILE* stream, const char* format, va_list args) { return std::vfprintf(stream, format, args); }

int printf_colored(Colour colour, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int count = print(stdout, rlutil::colourSequence(colour), format, args);
    va_end(args);
    return count;
}

int printf_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int count = print(stderr, rlutil::ANSI_LIGHTRED, format, args);
    va_end(args);
    return count;
}

int printf_normal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int count = print(stdout, nullptr, format, args);
    va_end(args);
    return count;
}

int print2Colors(const char* text, size_t column, Colour colour1, Colour colour2) {
    const char* const first = rlutil::colourSequence(colour1);
    const char* const second = rlutil::colourSequence(colour2);
    const char* current = first;
    size_t position = 0;
    int written = 0;

    // Works on whole characters rather than bytes: a colour sequence written
    // between the bytes of one UTF-8 character would garble it, and columns
    // are counted as the terminal shows them.
    const size_t size = text != nullptr ? std::strlen(text) : 0;
    std::mbstate_t state{};
    for (size_t at = 0; at < size;) {
        const size_t length = characterLength(text + at, size - at, state);
        const bool newline = text[at] == '\n';
        if (position == column) {
            flushChecked();
            current = second;
        }
        if (newline) {
            flushChecked();
            current = first;
        }
        if (coloursEnabled()) writeChecked(current, std::strlen(current));
        writeChecked(text + at, length);
        position = newline ? 0 : position + 1;
        at += length;
        ++written;
    }

    if (coloursEnabled()) writeChecked(rlutil::ANSI_ATTRIBUTE_RESET, std::strlen(rlutil::ANSI_ATTRIBUTE_RESET));
    flushChecked();
    if (isTerminal(stdout)) shownAsIs(text != nullptr ? text : "");
    return written;
}

}  // namespace l18n
