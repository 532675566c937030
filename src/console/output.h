#pragma once
// Formatted output: in colour, as an error, plain, and two-coloured banners.
// On a terminal text is laid out for its width (console/screen.h); a pipe
// or a file gets it byte for byte as formatted.

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#include "console/rlutil.h"

namespace l18n {

using rlutil::Colour;

// The colours of the dialogue: light red for errors, option numbers, listed
// ids and emphasis; yellow for headings, questions and progress lines.
inline constexpr Colour kHighlight = Colour::LightRed;
inline constexpr Colour kHeading = Colour::Yellow;

// Whether colours and the window title may be written: not when the
// NO_COLOR environment variable is set and not empty.
bool coloursEnabled();

// Text without a colour is printed with printf_normal.
int printf_colored(Colour colour, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Light red text on standard error.
int printf_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
int printf_normal(const char* format, ...) __attribute__((format(printf, 1, 2)));
// On every line the first `column` characters in colour1, the rest in colour2.
int print2Colors(const char* text, size_t column, Colour colour1, Colour colour2);
int io_vfprintf(FILE* stream, const char* format, va_list args);

}  // namespace l18n
