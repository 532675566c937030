#include "console/path_quoting.h"

#include <readline/readline.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace l18n {

namespace {

bool isQuote(char c) { return c == '"' || c == '\''; }
bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Whether a backslash before `c` stands for `c` itself, after `quote`.
bool escapes(char quote, char c) {
    if (quote == '\'') return false;
    if (quote == '"') return c == '"' || c == '\\';
    return c != '\0' && std::strchr(" \t\n\v\f\r\"'\\$`&;|<>()[]{}*?!#=", c) != nullptr;
}

// Whether the character at `at` is escaped: an odd number of backslashes,
// from `begin` on, stands before it.
bool escapedAt(const std::string& text, size_t begin, size_t at, char quote) {
    if (!escapes(quote, text[at])) return false;
    size_t backslashes = 0;
    while (at > begin + backslashes && text[at - 1 - backslashes] == '\\') ++backslashes;
    return backslashes % 2 == 1;
}

// Readline's hooks: they hand over and take back C strings that readline
// frees.
char* dequoteForReadline(char* text, int quote) { return strdup(unquotePath(text, static_cast<char>(quote)).c_str()); }

// A path typed with backslashes is completed with backslashes, in the
// style of a shell; one typed plainly stays plain.
char* quoteForReadline(char* text, int, char* quotePointer) {
    char quote = quotePointer != nullptr ? *quotePointer : '\0';
    if (quote == '\0' && std::strchr(rl_line_buffer, '\\') != nullptr) quote = '\\';
    const std::string quoted = quotePath(text, quote);
    if (quotePointer != nullptr && isQuote(quote)) *quotePointer = quote;
    return strdup(quoted.c_str());
}

// The whole line is the path to complete, blanks and all: no character
// breaks it into words. Only a quote that opens the path quotes, so that an
// apostrophe inside a name ("Tobin's mods") is taken as a letter.
char* wholeLineIsOneWord() {
    static char none[] = "";
    const char* first = rl_line_buffer;
    while (*first != '\0' && isBlank(*first)) ++first;
    rl_completer_quote_characters = *first == '"' ? "\"" : *first == '\'' ? "'" : "";
    // After a file name nothing is added: the answer is complete.
    rl_completion_append_character = '\0';
    return none;
}

}  // namespace

std::string unquotePath(const std::string& typed, char openQuote) {
    size_t begin = 0;
    size_t end = typed.size();
    char quote = openQuote;
    // A whole answer: completion hands over the text inside an open quote,
    // up to the cursor, where no quote can close it.
    if (quote == '\0') {
        while (begin < end && isBlank(typed[begin])) ++begin;
        if (begin < end && isQuote(typed[begin])) quote = typed[begin++];
        while (end > begin && isBlank(typed[end - 1]) && !escapedAt(typed, begin, end - 1, quote)) --end;
        // A closing quote of either kind, as a path pasted from elsewhere
        // may end.
        if (end > begin && isQuote(typed[end - 1]) && !escapedAt(typed, begin, end - 1, quote)) --end;
    }
    std::string path;
    for (size_t at = begin; at < end; ++at) {
        if (typed[at] == '\\' && at + 1 < end && escapes(quote, typed[at + 1])) ++at;
        path += typed[at];
    }
    return path;
}

std::string quotePath(const std::string& path, char& quote) {
    if (quote == '\'' && path.find('\'') == std::string::npos) return "'" + path;
    std::string out;
    if (isQuote(quote)) {
        // Between single quotes a single quote cannot be written.
        quote = '"';
        out += quote;
        for (const char c : path) {
            if (escapes(quote, c)) out += '\\';
            out += c;
        }
        return out;
    }
    // Plain, only what would otherwise be read differently is escaped:
    // backslashes, and blanks and quotes at the ends.
    for (size_t at = 0; at < path.size(); ++at) {
        const char c = path[at];
        const bool atEnd = at == 0 || at + 1 == path.size();
        const bool special = quote == '\\' ? escapes('\0', c) : c == '\\' || (atEnd && (isQuote(c) || isBlank(c)));
        if (special) out += '\\';
        out += c;
    }
    return out;
}

void usePathCompletion() {
    rl_completion_word_break_hook = wholeLineIsOneWord;
    rl_completer_quote_characters = "\"'";
    // The characters that make readline call the quoting function.
    rl_filename_quote_characters = " \t\n\v\f\r\"'\\";
    rl_filename_quoting_function = quoteForReadline;
    rl_filename_dequoting_function = dequoteForReadline;
}

}  // namespace l18n
