#include "app/id_lists.h"

#include <algorithm>
#include <cctype>

#include "util/strings.h"

namespace vorlune_forge {

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// A number in base 10 at `at`: its value, or kMaxCharacterId + 1 for any
// number beyond it; nothing when no digit stands there.
std::optional<uint64_t> takeNumber(std::string_view text, size_t& at) {
    const size_t start = at;
    uint64_t value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        value = std::min(value * 10 + static_cast<uint64_t>(text[at] - '0'), kMaxCharacterId + 1);
    }
    if (at == start) return std::nullopt;
    return value;
}

void skipBlanks(std::string_view text, size_t& at) {
    while (at < text.size() && isBlank(text[at])) ++at;
}

// Numbers and ranges separated by blanks: "600", "600-610", "600 - 610".
struct Span {
    uint64_t first;
    uint64_t last;
};

std::optional<std::vector<Span>> readSpans(std::string_view text) {
    std::vector<Span> spans;
    size_t at = 0;
    skipBlanks(text, at);
    while (at < text.size()) {
        const std::optional<uint64_t> first = takeNumber(text, at);
        if (!first) return std::nullopt;
        skipBlanks(text, at);
        uint64_t last = *first;
        if (at < text.size() && text[at] == '-') {
            ++at;
            skipBlanks(text, at);
            const std::optional<uint64_t> end = takeNumber(text, at);
            if (!end) return std::nullopt;
            last = *end;
            skipBlanks(text, at);
        }
        spans.push_back({std::min(*first, last), std::max(*first, last)});
    }
    return spans;
}

// A single id: one number, a plus sign before it allowed.
std::optional<uint64_t> readOneNumber(std::string_view text) {
    size_t at = text.starts_with('+') ? 1 : 0;
    const std::optional<uint64_t> number = takeNumber(text, at);
    return at == text.size() ? number : std::nullopt;
}

// Text that reads as a name rather than as numbers: it has a letter and does
// not start like a number.
bool looksLikeName(std::string_view text) {
    if (text.empty() || isDigit(text.front()) || text.front() == '+' || text.front() == '-') return false;
    return std::any_of(text.begin(), text.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
}

void sortUnique(std::vector<uint64_t>& ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

const char* const kInvalidInput = N_("Invalid input.\n");
const char* const kInvalidNumber = N_("Invalid number.\n");

IdAnswer refused(const char* message) { return {{}, Message::text(message)}; }

// One item of a list: the ids it names, or why it names none.
IdAnswer readItem(const std::string& item, const IdNames& names) {
    if (const auto spans = readSpans(item)) {
        IdAnswer answer;
        for (const Span& span : *spans) {
            if (span.last > kMaxCharacterId) return refused(kInvalidNumber);
            const std::vector<uint64_t> ids =
                span.first == span.last ? std::vector<uint64_t>{span.first} : names.between(span.first, span.last);
            answer.ids.insert(answer.ids.end(), ids.begin(), ids.end());
        }
        return answer;
    }
    if (const std::optional<uint64_t> id = names.named(item)) return {{*id}, std::nullopt};
    if (looksLikeName(item)) return {{}, names.unknown(item)};
    // Digits too long for an id make the number invalid, whatever follows.
    size_t at = 0;
    const std::optional<uint64_t> number = takeNumber(item, at);
    return refused(number && *number > kMaxCharacterId ? kInvalidNumber : kInvalidInput);
}

IdAnswer readSingle(const std::string& text, const IdNames& names) {
    if (const std::optional<uint64_t> number = readOneNumber(text)) {
        if (*number > kMaxCharacterId) return refused(kInvalidNumber);
        return {{*number}, std::nullopt};
    }
    if (const std::optional<uint64_t> id = names.named(text)) return {{*id}, std::nullopt};
    if (looksLikeName(text)) return {{}, names.unknown(text)};
    return refused(kInvalidNumber);
}

}  // namespace

std::optional<uint64_t> leadingId(std::string_view text) {
    size_t at = 0;
    const std::optional<uint64_t> id = takeNumber(text, at);
    if (!id || *id > kMaxCharacterId) return std::nullopt;
    if (at == text.size()) return id;
    return text.substr(at).starts_with(" - ") ? id : std::nullopt;
}

IdNames::IdNames(std::vector<Resource> resources, const char* unknownName) : unknownName_(unknownName) {
    for (const Resource& resource : resources) {
        ids_.push_back(resource.id);
        if (resource.symbol.empty()) continue;
        byName_.try_emplace(to_lowercase(resource.symbol), resource.id);
        byName_.try_emplace(to_lowercase(resource.symbol + resource.extension), resource.id);
    }
    sortUnique(ids_);
}

std::vector<uint64_t> IdNames::between(uint64_t first, uint64_t last) const {
    const auto begin = std::lower_bound(ids_.begin(), ids_.end(), first);
    const auto end = std::upper_bound(ids_.begin(), ids_.end(), last);
    return {begin, end};
}

std::optional<uint64_t> IdNames::named(const std::string& text) const {
    // An exported file's name: its id, followed by " - " and its name.
    if (text.find(" - ") != std::string::npos) {
        if (const std::optional<uint64_t> id = leadingId(text)) return id;
    }
    const auto found = byName_.find(to_lowercase(text));
    return found == byName_.end() ? std::nullopt : std::optional(found->second);
}

IdAnswer getVectorOfNumbers(const std::string& text, const IdNames& names, bool single) {
    std::string trimmed = text;
    trim(trimmed);
    if (single) return readSingle(trimmed, names);
    IdAnswer list;
    bool anything = false;
    for (size_t start = 0; start <= trimmed.size();) {
        const size_t comma = std::min(trimmed.find(',', start), trimmed.size());
        std::string item = trimmed.substr(start, comma - start);
        start = comma + 1;
        trim(item);
        if (item.empty()) continue;
        anything = true;
        IdAnswer read = readItem(item, names);
        if (read.refusal) return read;
        list.ids.insert(list.ids.end(), read.ids.begin(), read.ids.end());
    }
    if (!anything) return refused(kInvalidInput);
    sortUnique(list.ids);
    return list;
}

}  // namespace vorlune_forge
