#pragma once
// Console dialogue: message catalogue set-up, coloured and plain output, and
// prompted line input with editing and history.

#include <libintl.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

#include "console/l18n_files.h"

// Every message shown to the user is a gettext message id.
#define _(text) gettext(text)

#include "util/error.h"

namespace l18n {

// Raised by readLine when standard input has ended. It deliberately does not
// derive from std::exception: the dialogues report and survive every
// std::exception, and the end of input must instead end the run.
struct end_of_input {};

class localization {
public:
    // Locale from the environment; text domain "vorluneforge" in "./locale".
    static void initLocale();
};

// Colour numbers 0 to 15 (12 light red, 14 yellow); others mean no colour.
int printf_colored(int colour, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Light red text on standard error.
int printf_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
int printf_normal(const char* format, ...) __attribute__((format(printf, 1, 2)));
// On every line the first `column` characters in colour1, the rest in colour2.
int print2Colors(const char* text, size_t column, int colour1, int colour2);
int io_vfprintf(FILE* stream, const char* format, va_list args);

// The text of an error as the user reads it: the program's own errors
// translated, with their arguments put in; any other exception's own text.
std::string errorText(const std::exception& e);

// Shows the prompt and reads one line, trimmed, into `out`; the line as
// typed goes into the history. Throws end_of_input when input has ended.
void readLine(std::string& out, const std::string& prompt);

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// Opens a file; throws file_exception naming the file and the system's
// reason.
FileHandle make_fopen(const char* path, const char* mode);

}  // namespace l18n
