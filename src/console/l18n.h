#pragma once
// Console dialogue: message catalogue set-up, coloured and plain output, and
// prompted line input with editing and history.

#include <libintl.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

#include "console/l18n_files.h"
#include "console/rlutil.h"

// Every message shown to the user is a gettext message id.
#define _(text) gettext(text)

#include "util/error.h"

namespace l18n {

// Raised by readLine when standard input has ended. It deliberately does not
// derive from std::exception: the dialogues report and survive every
// std::exception, and the end of input must instead end the run.
struct end_of_input {};

// Raised by readLine on a terminal when the user pressed Ctrl-D: the
// dialogue goes back one step. Not a std::exception, for the same reason.
struct go_back {};

// Which history a line goes to: Up brings back earlier answers of the same
// kind only (menu choices, ids and id lists, yes/no answers, paths). None
// keeps no line (the pager's "Press Enter").
enum class History { Choices, Ids, YesNo, Paths, None };

// Whether the user sits at a terminal: standard input and output both are
// one.
bool interactive();

// Whether colours and the window title may be written: not when the
// NO_COLOR environment variable is set and not empty.
bool coloursEnabled();

class localization {
public:
    // Locale from the environment; text domain "vorluneforge" in "./locale".
    static void initLocale();
};

using rlutil::Colour;

// The colours of the dialogue: light red for errors, option numbers, listed
// ids and emphasis; yellow for headings, questions and progress lines.
inline constexpr Colour kHighlight = Colour::LightRed;
inline constexpr Colour kHeading = Colour::Yellow;

// Text without a colour is printed with printf_normal.
int printf_colored(Colour colour, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Light red text on standard error.
int printf_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
int printf_normal(const char* format, ...) __attribute__((format(printf, 1, 2)));
// On every line the first `column` characters in colour1, the rest in colour2.
int print2Colors(const char* text, size_t column, Colour colour1, Colour colour2);
int io_vfprintf(FILE* stream, const char* format, va_list args);

// The text of an error as the user reads it: the program's own errors
// translated, with their arguments put in; any other exception's own text.
std::string errorText(const std::exception& e);

// Shows the prompt and reads one line, trimmed, into `out`; the line as
// typed goes into the history. Throws end_of_input when input has ended
// (go_back instead on a terminal). Ctrl-C drops what was typed and asks
// again.
void readLine(std::string& out, const std::string& prompt, History history = History::Choices);

// Reads a path, with Tab completing file names: blanks around it dropped,
// its quoting read (console/path_quoting.h), and a leading "~" or "~user"
// expanded as a shell would.
std::string readPath(const std::string& prompt);

// The prompt to show when a question is asked again after a refused answer:
// on a terminal its last line, so that the cursor never waits without a
// question; elsewhere nothing, so that a transcript shows the question once.
std::string retryPrompt(const std::string& prompt);

// While one lives, Ctrl-C at a prompt does not ask again: the read throws
// operation_cancelled, so that a question that ends a long operation can
// stop it.
class CtrlCCancels {
public:
    CtrlCCancels();
    ~CtrlCCancels();
    CtrlCCancels(const CtrlCCancels&) = delete;
    CtrlCCancels& operator=(const CtrlCCancels&) = delete;

private:
    bool outer_;
};

// Asks a [y/n] question until it is answered; an empty answer takes the
// default. Other answers are refused with "Invalid option.".
bool askYesNo(const std::string& prompt, bool byDefault);

// Whether the answer is yes or no, in English ("y", "n", either case) or in
// the user's language.
bool isYes(const std::string& answer);
bool isNo(const std::string& answer);
// Whether the answer asks for every id: "all", either case, in English or in
// the user's language.
bool isAll(const std::string& answer);

}  // namespace l18n
