#pragma once
// Prompted line input with editing and histories, and the answers that
// every question understands.

#include <string>

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

// Shows the prompt and reads one line, trimmed, into `out`; the line as
// typed goes into the history. Throws end_of_input when input has ended
// (go_back instead on a terminal). Ctrl-C drops what was typed and asks
// again, or, while a CtrlCCancels guard lives, throws operation_cancelled.
void readLine(std::string& out, const std::string& prompt, History history = History::Choices);

// Reads a path, with Tab completing file names: blanks around it dropped,
// its quoting read (console/path_quoting.h), and a leading "~" or "~user"
// expanded as a shell would.
std::string readPath(const std::string& prompt);

// The prompt to show when a question is asked again after a refused answer:
// on a terminal its last line, so that the cursor never waits without a
// question; elsewhere nothing, so that a transcript shows the question once.
std::string retryPrompt(const std::string& prompt);

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
