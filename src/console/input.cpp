#include "console/input.h"

#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "console/l18n.h"
#include "console/path_quoting.h"
#include "console/screen.h"
#include "console/signals.h"
#include "console/terminal.h"
#include "util/strings.h"

namespace l18n {

namespace {

// Called by readline after a signal interrupted its read, and on a terminal
// also while it waits for a key: a Ctrl-C that came while readline was busy
// interrupted no read. After Ctrl-C (the "^C" is already echoed) the line
// typed so far is dropped and the same prompt is shown on a fresh line, as
// a shell does.
int startLineOver() {
    Terminal& term = terminal();
    if (term.isOn(Setting::CtrlCCancels) && takeInterrupt()) {
        // The line ends here; the read that gets it stops what asked.
        term.setReadCancelled(true);
        rl_done = 1;
        return 0;
    }
    if (takeInterrupt()) {
        rl_replace_line("", 0);
        rl_crlf();
        rl_on_new_line();
        rl_redisplay();
    }
    return 0;
}

// Shows the prompt and returns the line as typed.
std::string readTyped(const std::string& prompt, History history) {
    Terminal& term = terminal();
    term.useHistory(history);
    rl_signal_event_hook = startLineOver;
    // Not for a pipe: at its end readline would call the hook for ever.
    rl_event_hook = isatty(STDIN_FILENO) != 0 ? startLineOver : nullptr;
    clearInterrupt();
    const bool onTerminal = isTerminal(stdout);
    // Readline learns of a resize only while it reads; the terminal may
    // have changed its width since the last line.
    if (onTerminal && rl_instream != nullptr) rl_reset_screen_size();
    const std::string shown = onTerminal ? promptOnTerminal(prompt) : prompt;
    term.setReadCancelled(false);
    const std::unique_ptr<char, decltype(&std::free)> line(readline(shown.c_str()), &std::free);
    if (term.readCancelled()) {
        term.setReadCancelled(false);
        rl_crlf();
        if (onTerminal) lineRead();
        throw operation_cancelled{};
    }
    if (onTerminal) lineRead();
    // Without this the dialogues would ask again forever once input is gone.
    if (!line) {
        if (isatty(STDIN_FILENO) != 0) {
            // The cursor still stands after the prompt, unless readline
            // ended the line itself, as it does with bracketed paste on.
            const char* paste = rl_variable_value("enable-bracketed-paste");
            if (paste == nullptr || std::strcmp(paste, "on") != 0) printf_normal("\n");
            throw go_back{};
        }
        throw end_of_input{};
    }
    // The history keeps the line as typed, blanks and empty lines included,
    // so that recalling it gives back exactly what was entered.
    if (history != History::None) add_history(line.get());
    return line.get();
}

}  // namespace

bool interactive() {
    static const bool atTerminal = isatty(STDIN_FILENO) != 0 && isatty(STDOUT_FILENO) != 0;
    return atTerminal;
}

void readLine(std::string& out, const std::string& prompt, History history) {
    out = readTyped(prompt, history);
    trim(out);
}

std::string readPath(const std::string& prompt) {
    usePathCompletion();
    return expandHome(unquotePath(readTyped(prompt, History::Paths)));
}

std::string retryPrompt(const std::string& prompt) {
    if (!interactive()) return "";
    const size_t lineStart = prompt.rfind('\n');
    return lineStart == std::string::npos ? prompt : prompt.substr(lineStart + 1);
}

namespace {

// The letters of an answer: English first, then the user's language. For
// translators: the one letter that answers yes (no) to a [y/n] question.
bool answers(const std::string& answer, const char* english, const char* translated) {
    const std::string lower = to_lowercase(answer);
    return lower == english || (translated != nullptr && lower == to_lowercase(translated));
}

}  // namespace

bool isYes(const std::string& answer) { return answers(answer, "y", _("y")); }
bool isNo(const std::string& answer) { return answers(answer, "n", _("n")); }
// TRANSLATORS: the word that asks for every id at "Type 'all' or comma
// separated IDs", accepted beside the English "all".
bool isAll(const std::string& answer) { return answers(answer, "all", _("all")); }

bool askYesNo(const std::string& prompt, bool byDefault) {
    std::string answer;
    readLine(answer, prompt, History::YesNo);
    while (!answer.empty() && !isYes(answer) && !isNo(answer)) {
        printf_error("%s", _("Invalid option.\n"));
        answer.clear();
        readLine(answer, retryPrompt(prompt), History::YesNo);
    }
    return answer.empty() ? byDefault : isYes(answer);
}

}  // namespace l18n
