// Tag type names, and the lookups of tags by code and of symbol names.

#include <algorithm>

#include "swf/swf.h"

namespace swf {

const std::map<TagCode, std::string> SWF::tagTypeNames = {
#define VLF_TAG_NAME_ENTRY(name, number) {TagCode::name, #name},
    VLF_TAG_CODES(VLF_TAG_NAME_ENTRY)
#undef VLF_TAG_NAME_ENTRY
};

const std::string& SWF::tagTypeName(TagCode code) {
    static const std::string unknown = "Unknown";
    const auto it = tagTypeNames.find(code);
    return it == tagTypeNames.end() ? unknown : it->second;
}

std::vector<const Tag*> SWF::tagsWithCode(TagCode code) const {
    std::vector<const Tag*> found;
    for (const auto& tag : tags) {
        if (tag->code == code) found.push_back(tag.get());
    }
    return found;
}

std::unique_ptr<Tag> SWF::exchangeTag(const Tag& current, std::unique_ptr<Tag> replacement) {
    // A tag read from a file stands at its index; one made otherwise is
    // looked for.
    size_t position = current.index - 1;
    if (current.index == 0 || position >= tags.size() || tags[position].get() != &current) {
        const auto found =
            std::find_if(tags.begin(), tags.end(), [&](const auto& tag) { return tag.get() == &current; });
        if (found == tags.end()) throw swf_exception(N_("The tag to replace is not part of the movie."));
        position = static_cast<size_t>(found - tags.begin());
    }
    replacement->index = current.index;
    tags[position].swap(replacement);
    return replacement;
}

namespace {

// A stored name ends with its 0 byte, which is no part of the name.
std::string withoutTerminator(const std::string& name) {
    return !name.empty() && name.back() == '\0' ? name.substr(0, name.size() - 1) : name;
}

}  // namespace

std::map<uint64_t, std::string> SWF::symbolNames() const {
    std::map<uint64_t, std::string> names;
    for (const auto& tag : tags) {
        const auto* entries = dynamic_cast<const Tag_SymbolClass*>(tag.get());
        if (tag->code != TagCode::SymbolClass || entries == nullptr) continue;
        for (const auto& [symbolId, name] : entries->symbols) names.try_emplace(symbolId, withoutTerminator(name));
    }
    return names;
}

}  // namespace swf
