#include "console/l18n.h"

#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <stdexcept>
#include <system_error>

#include "console/path_quoting.h"
#include "console/rlutil.h"
#include "console/screen.h"
#include "console/signals.h"
#include "util/strings.h"

namespace l18n {

namespace {

constexpr const char* kTextDomain = "vorluneforge";
// The catalogues the build compiles into the source tree, used when the
// program is started from there.
constexpr const char* kCatalogueDir = "./locale";
// The build links them beside the program it makes, so that the program of
// a build folder finds its own catalogues from any folder.
constexpr const char* kBuildCatalogueDirFromProgram = "locale";
// Where an installation keeps them, relative to the program's own folder,
// so that an installation copied to another prefix still finds them; and
// where the build was told they go, should the program not be in <prefix>/bin.
#ifdef VLF_LOCALEDIR_FROM_BINDIR
constexpr const char* kInstalledCatalogueDirFromProgram = VLF_LOCALEDIR_FROM_BINDIR;
#else
constexpr const char* kInstalledCatalogueDirFromProgram = "../share/locale";
#endif
#ifdef VLF_LOCALEDIR
constexpr const char* kInstalledCatalogueDir = VLF_LOCALEDIR;
#else
constexpr const char* kInstalledCatalogueDir = kCatalogueDir;
#endif

// The absolute name of `path` with every link resolved, or "" when there is
// no such file.
std::string resolvedPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// Resolving "<path>/." succeeds only for a folder.
bool isFolder(const std::string& path) { return !resolvedPath(path + "/.").empty(); }

std::string catalogueDir() {
    const std::string program = resolvedPath("/proc/self/exe");
    const std::string programDir = program.substr(0, program.rfind('/') + 1);
    const std::string built = programDir + kBuildCatalogueDirFromProgram;
    if (!program.empty() && isFolder(built)) return resolvedPath(built);
    if (isFolder(kCatalogueDir)) return kCatalogueDir;
    const std::string installed = programDir + kInstalledCatalogueDirFromProgram;
    if (!program.empty() && isFolder(installed)) return resolvedPath(installed);
    return kInstalledCatalogueDir;
}

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

}  // namespace

void localization::initLocale() {
    std::setlocale(LC_ALL, "");
    bindtextdomain(kTextDomain, catalogueDir().c_str());
    textdomain(kTextDomain);
}

int io_vfprintf(FILE* stream, const char* format, va_list args) { return std::vfprintf(stream, format, args); }

namespace {

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

namespace {

// Readline keeps one history; the others are kept aside while they are not
// in use. A zeroed state is an empty history.
HISTORY_STATE g_histories[static_cast<int>(History::None)] = {};
History g_current = History::Choices;

void useHistory(History history) {
    if (history == g_current || history == History::None) return;
    HISTORY_STATE* const now = history_get_history_state();
    g_histories[static_cast<int>(g_current)] = *now;
    std::free(now);
    history_set_history_state(&g_histories[static_cast<int>(history)]);
    g_current = history;
}

// Called by readline after a signal interrupted its read, and on a terminal
// also while it waits for a key: a Ctrl-C that came while readline was busy
// interrupted no read. After Ctrl-C (the "^C" is already echoed) the line
// typed so far is dropped and the same prompt is shown on a fresh line, as
// a shell does.
bool g_interruptCancels = false;
bool g_readCancelled = false;

int startLineOver() {
    if (g_interruptCancels && takeInterrupt()) {
        // The line ends here; the read that gets it stops what asked.
        g_readCancelled = true;
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

}  // namespace

bool interactive() {
    static const bool terminal = isatty(STDIN_FILENO) != 0 && isatty(STDOUT_FILENO) != 0;
    return terminal;
}

bool coloursEnabled() {
    static const bool enabled = [] {
        const char* noColour = std::getenv("NO_COLOR");
        return noColour == nullptr || *noColour == '\0';
    }();
    return enabled;
}

namespace {

// Shows the prompt and returns the line as typed.
std::string readTyped(const std::string& prompt, History history) {
    useHistory(history);
    rl_signal_event_hook = startLineOver;
    // Not for a pipe: at its end readline would call the hook for ever.
    rl_event_hook = isatty(STDIN_FILENO) != 0 ? startLineOver : nullptr;
    clearInterrupt();
    const bool terminal = isTerminal(stdout);
    // Readline learns of a resize only while it reads; the terminal may
    // have changed its width since the last line.
    if (terminal && rl_instream != nullptr) rl_reset_screen_size();
    const std::string shown = terminal ? promptOnTerminal(prompt) : prompt;
    g_readCancelled = false;
    const std::unique_ptr<char, decltype(&std::free)> line(readline(shown.c_str()), &std::free);
    if (g_readCancelled) {
        g_readCancelled = false;
        rl_crlf();
        if (terminal) lineRead();
        throw operation_cancelled{};
    }
    if (terminal) lineRead();
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

CtrlCCancels::CtrlCCancels() : outer_(g_interruptCancels) { g_interruptCancels = true; }
CtrlCCancels::~CtrlCCancels() { g_interruptCancels = outer_; }

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

std::string errorText(const std::exception& e) {
    const auto* own = dynamic_cast<const forge_exception*>(&e);
    if (own == nullptr) return e.what();
    return own->render([](const char* id) { return gettext(id); });
}

}  // namespace l18n
