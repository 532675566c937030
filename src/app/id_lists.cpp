#include "app/id_lists.h"

#include <cctype>

#include "util/error.h"
#include "util/strings.h"

namespace vorlune_forge {

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Numbers and ranges separated by blanks: "600", "600-610", "600 - 610".
// Each range is its two ends; nothing when the text is anything else.
struct Span {
    uint64_t first;
    uint64_t last;
};

std::optional<uint64_t> takeNumber(const std::string& text, size_t& at) {
    const size_t start = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    if (at == start) return std::nullopt;
    // Longer than six digits is beyond any id; it is kept beyond them.
    if (at - start > 6) return kMaxCharacterId + 1;
    return std::stoull(text.substr(start, at - start));
}

void skipBlanks(const std::string& text, size_t& at) {
    while (at < text.size() && isBlank(text[at])) ++at;
}

std::optional<std::vector<Span>> readSpans(const std::string& text) {
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

// "<id> - <anything>", as exported files are named.
std::optional<uint64_t> fileNameId(const std::string& text) {
    size_t at = 0;
    const std::optional<uint64_t> id = takeNumber(text, at);
    if (!id || text.compare(at, 3, " - ") != 0 || at + 3 >= text.size()) return std::nullopt;
    return id;
}

}  // namespace

bool hasIdOutOfRange(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        if (!isDigit(text[at])) {
            ++at;
            continue;
        }
        const bool partOfWord = at > 0 && std::isalpha(static_cast<unsigned char>(text[at - 1])) != 0;
        const std::optional<uint64_t> number = takeNumber(text, at);
        if (!partOfWord && number && *number > kMaxCharacterId) return true;
    }
    return false;
}

IdNames::IdNames(std::vector<uint64_t> ids, const std::map<uint64_t, std::string>& symbols,
                 const std::string& extension)
    : ids_(std::move(ids)) {
    std::sort(ids_.begin(), ids_.end());
    ids_.erase(std::unique(ids_.begin(), ids_.end()), ids_.end());
    for (const uint64_t id : ids_) {
        const auto symbol = symbols.find(id);
        if (symbol == symbols.end() || symbol->second.empty()) continue;
        byName_.try_emplace(to_lowercase(symbol->second), id);
        byName_.try_emplace(to_lowercase(symbol->second + extension), id);
    }
}

std::vector<uint64_t> IdNames::between(uint64_t first, uint64_t last) const {
    const auto begin = std::lower_bound(ids_.begin(), ids_.end(), first);
    const auto end = std::upper_bound(ids_.begin(), ids_.end(), last);
    return {begin, end};
}

std::optional<uint64_t> IdNames::named(const std::string& text) const {
    if (const std::optional<uint64_t> id = fileNameId(text)) return id;
    const auto found = byName_.find(to_lowercase(text));
    return found == byName_.end() ? std::nullopt : std::optional(found->second);
}

IdList readIdList(const std::string& text, const IdNames& names) {
    IdList list;
    bool anything = false;
    std::string piece;
    for (size_t start = 0; start <= text.size();) {
        const size_t comma = std::min(text.find(',', start), text.size());
        piece = text.substr(start, comma - start);
        start = comma + 1;
        trim(piece);
        if (piece.empty()) continue;
        anything = true;
        if (const auto spans = readSpans(piece)) {
            for (const Span& span : *spans) {
                if (span.last > kMaxCharacterId) return {{}, N_("Invalid number.\n")};
                const std::vector<uint64_t> ids =
                    span.first == span.last ? std::vector<uint64_t>{span.first} : names.between(span.first, span.last);
                list.ids.insert(list.ids.end(), ids.begin(), ids.end());
            }
        } else if (const std::optional<uint64_t> id = names.named(piece)) {
            list.ids.push_back(*id);
        } else {
            return {{}, hasIdOutOfRange(piece) ? N_("Invalid number.\n") : N_("Invalid input.\n")};
        }
    }
    if (!anything) return {{}, N_("Invalid input.\n")};
    std::sort(list.ids.begin(), list.ids.end());
    list.ids.erase(std::unique(list.ids.begin(), list.ids.end()), list.ids.end());
    return list;
}

std::optional<uint64_t> readSingleId(const std::string& text, const IdNames& names) {
    if (const std::optional<uint64_t> id = parseId(text)) return id;
    return names.named(text);
}

}  // namespace vorlune_forge
