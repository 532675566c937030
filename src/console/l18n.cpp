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

#include "console/rlutil.h"
#include "console/signals.h"
#include "util/strings.h"

namespace l18n {

namespace {

constexpr const char* kTextDomain = "vorluneforge";
// The catalogues the build compiles into the source tree, used when the
// program is started from there.
constexpr const char* kCatalogueDir = "./locale";
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
    if (isFolder(kCatalogueDir)) return kCatalogueDir;
    const std::string program = resolvedPath("/proc/self/exe");
    const std::string beside = program.substr(0, program.rfind('/') + 1) + kInstalledCatalogueDirFromProgram;
    if (!program.empty() && isFolder(beside)) return resolvedPath(beside);
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

int printf_colored(int colour, const char* format, ...) {
    putSequence(rlutil::colourSequence(colour));
    va_list args;
    va_start(args, format);
    const int count = io_vfprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
    putSequence(rlutil::ANSI_ATTRIBUTE_RESET);
    // Flushed too, so that a run that ends abruptly does not leave the
    // terminal in colour.
    std::fflush(stdout);
    return count;
}

int printf_error(const char* format, ...) {
    putSequence(rlutil::ANSI_LIGHTRED);
    std::fflush(stdout);
    va_list args;
    va_start(args, format);
    const int count = io_vfprintf(stderr, format, args);
    va_end(args);
    std::fflush(stderr);
    putSequence(rlutil::ANSI_ATTRIBUTE_RESET);
    std::fflush(stdout);
    return count;
}

int printf_normal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int count = io_vfprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
    return count;
}

int print2Colors(const char* text, size_t column, int colour1, int colour2) {
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
    return written;
}

namespace {

// Readline keeps one history; the other is kept aside while it is not in
// use. A zeroed state is an empty history.
HISTORY_STATE g_histories[2] = {};
History g_current = History::Answers;

void useHistory(History history) {
    if (history == g_current) return;
    HISTORY_STATE* const now = history_get_history_state();
    g_histories[static_cast<int>(g_current)] = *now;
    std::free(now);
    history_set_history_state(&g_histories[static_cast<int>(history)]);
    g_current = history;
}

// Called by readline after a signal interrupted its read. After Ctrl-C (the
// "^C" is already echoed) the line typed so far is dropped and the same
// prompt is shown on a fresh line, as a shell does.
int startLineOver() {
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

void readLine(std::string& out, const std::string& prompt, History history) {
    useHistory(history);
    rl_signal_event_hook = startLineOver;
    clearInterrupt();
    const std::unique_ptr<char, decltype(&std::free)> line(readline(prompt.c_str()), &std::free);
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
    out = line.get();
    trim(out);
    // The history keeps the line as typed, blanks and empty lines included,
    // so that recalling it gives back exactly what was entered.
    add_history(line.get());
}

std::string readPath(const std::string& prompt) {
    std::string path;
    readLine(path, prompt, History::Paths);
    trim(path);
    removequotes(path);
    return expandHome(path);
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

bool askYesNo(const std::string& prompt, bool byDefault) {
    std::string answer;
    readLine(answer, prompt);
    while (!answer.empty() && !isYes(answer) && !isNo(answer)) {
        printf_error("%s", _("Invalid option.\n"));
        answer.clear();
        readLine(answer, retryPrompt(prompt));
    }
    return answer.empty() ? byDefault : isYes(answer);
}

std::string errorText(const std::exception& e) {
    const auto* own = dynamic_cast<const forge_exception*>(&e);
    if (own == nullptr) return e.what();
    return own->render([](const char* id) { return gettext(id); });
}

}  // namespace l18n
