// Building a data file from an archive of JSON documents and PNG files.

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "codecs/png.h"
#include "codecs/zlib.h"
#include "data/data_file.h"
#include "util/strings.h"

namespace data {
namespace {

struct Entry {
    std::string name;
    ByteBuffer bytes;
};

// Entries of one group, by the number in their names.
using Group = std::map<int, Entry>;

// The number in an entry's name: the digits from its first digit on.
std::optional<int> entryNumber(const std::string& name) {
    try {
        return extractIntFromStr(name);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string textOf(const ByteBuffer& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The line and column, both from 1, of the byte at the 1-based `position`
// of `text`, where the parser stopped.
std::pair<size_t, size_t> lineAndColumn(const std::string& text, size_t position) {
    const size_t index = std::min(std::max<size_t>(position, 1), text.size() + 1) - 1;
    const size_t lineStart = index == 0 ? 0 : text.rfind('\n', index - 1) + 1;  // npos + 1 is 0
    const auto line =
        static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(index), '\n'));
    return {line + 1, index - lineStart + 1};
}

// The parser's explanation without its own prefix ("[json.exception...]
// parse error at line 1, column 2: "), whose place the entry's name, line
// and column take.
std::string parseErrorReason(const std::string& what) {
    const size_t colon = what.find(": ");
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

// Runs `read` on the entry's document; the JSON library's errors are
// reported with the entry's name, the library's own text kept as it is.
template <typename Read>
auto readDocument(const Entry& entry, Read read) {
    const std::string text = textOf(entry.bytes);
    try {
        return read(text);
    } catch (const swf::JsonDocument::parse_error& e) {
        const auto [line, column] = lineAndColumn(text, e.byte);
        throw swf::swf_exception(N_("Invalid JSON in '%s' at line %s, column %s: %s"),
                                 {entry.name, line, column, parseErrorReason(e.what())});
    } catch (const swf::JsonDocument::exception& e) {
        throw swf::swf_exception(N_("Invalid JSON in '%s': %s"), {entry.name, std::string(e.what())});
    } catch (const forge_exception& e) {
        throw swf::swf_exception(N_("Cannot convert the archive entry '%s' to the game's data:"), {entry.name}, e);
    }
}

ByteBuffer objectBytes(const Entry& entry) {
    return readDocument(entry, [](const std::string& text) { return swf::AMF0::fromJSON(text); });
}

void appendCount(ByteBuffer& out, size_t count) { appendU32be(out, static_cast<uint32_t>(count)); }

void appendDocuments(ByteBuffer& out, const Group& documents) {
    appendCount(out, documents.size());
    for (const auto& [number, entry] : documents) swf::AMF3::appendByteArray(out, objectBytes(entry));
}

// The game reads its files from the top of the archive only; an entry in a
// folder (a folder's own entry too) is named so that the user can move it.
void requireTopLevel(const std::string& name) {
    if (name.find('/') != std::string::npos) throw entry_name_error(name);
}

// Two entries of one name would leave the game's content to whichever of
// them is read.
void requireDistinctNames(const std::vector<std::string>& names) {
    std::set<std::string> seen;
    for (const std::string& name : names) {
        if (!seen.insert(name).second) {
            throw entry_name_error(N_("The archive holds two entries named '%s'; keep only one of them."), {name});
        }
    }
}

// Sorts every entry into the first group of the layout that its name
// belongs to; a name that belongs to none, or has no number, breaks the
// layout, and so do two names of one group with the same number
// ("Attack_0.json" and "Attack_00.json").
std::vector<Group> classify(const DataLayout& layout, const ArchiveReader& archive) {
    std::vector<Group> groups(layout.groups.size());
    for (const std::string& name : archive.names) {
        requireTopLevel(name);
        const std::optional<int> number = entryNumber(name);
        const auto group = std::find_if(layout.groups.begin(), layout.groups.end(),
                                        [&](const EntryGroup& g) { return belongsTo(g, name); });
        if (!number || group == layout.groups.end()) throw entry_name_error(layout.kind);
        Group& members = groups[static_cast<size_t>(group - layout.groups.begin())];
        if (const auto other = members.find(*number); other != members.end()) {
            throw entry_name_error(
                N_("The archive entries '%s' and '%s' both stand for number %s; keep only one of them."),
                {other->second.name, name, *number});
        }
        members.emplace(*number, Entry{name, archive.extract(name)});
    }
    return groups;
}

// The documents of a group followed by pictures: each is also read for the
// two flags under `flagsMember`; whether it embeds a picture is returned,
// by position.
std::vector<bool> appendFlaggedDocuments(ByteBuffer& out, const Group& documents, const char* flagsMember,
                                         const WarningSink& warn) {
    appendCount(out, documents.size());
    std::vector<bool> embedded;
    for (const auto& [number, entry] : documents) {
        bool disabled = false;
        bool embeds = false;
        const ByteBuffer object = readDocument(entry, [&](const std::string& text) {
            const swf::JsonDocument document = swf::AMF0::parseDocument(text);
            const auto& flags = document.at(flagsMember);
            disabled = flags.at("disabled").get<bool>();
            embeds = flags.at("embeded").get<bool>();
            return swf::AMF0::fromDocument(document);
        });
        const int position = static_cast<int>(embedded.size());
        if (disabled == embeds) warn(LimbWarning::SameFlags, position);
        embedded.push_back(embeds);
        swf::AMF3::appendByteArray(out, object);
    }
    return embedded;
}

// The game shows a limb picture only when it is a PNG file it can decode,
// and the file is stored as it is: it is decoded here once, within the
// limits of every picture, so that a broken one is refused now.
void requireShowable(const Entry& picture) {
    try {
        png::decodePng(picture.bytes);
    } catch (const forge_exception& e) {
        throw swf::swf_exception(N_("The archive entry '%s' is no PNG picture the game can show:"), {picture.name}, e);
    }
}

// Pictures are numbered by the position of their document: position p
// embeds the picture numbered p.
void appendPictures(ByteBuffer& out, const Group& pictures, const std::vector<bool>& embedded,
                    const WarningSink& warn) {
    for (size_t p = 0; p < embedded.size(); ++p) {
        const auto image = pictures.find(static_cast<int>(p));
        if (embedded[p] && image != pictures.end()) {
            requireShowable(image->second);
            swf::AMF3::appendByteArray(out, image->second.bytes);
            continue;
        }
        if (embedded[p]) warn(LimbWarning::MissingImage, static_cast<int>(p));
        out.push_back(swf::amf3::kNull);
    }
}

// A kind of one object takes the archive's first entry, which must bear
// the object's one name.
ByteBuffer singleObject(const DataLayout& layout, const EntryGroup& group, const ArchiveReader& archive) {
    if (!archive.names.empty()) requireTopLevel(archive.names.front());
    if (archive.names.empty() || archive.names.front() != group.name) throw entry_name_error(layout.kind);
    return objectBytes(Entry{group.name, archive.extract(group.name)});
}

ByteBuffer contentOf(const DataLayout& layout, const ArchiveReader& archive, const WarningSink& warn) {
    requireDistinctNames(archive.names);
    const bool single = layout.groups.size() == 1 && layout.groups.front().kind == GroupKind::Single;
    const std::vector<Group> groups = single ? std::vector<Group>(1) : classify(layout, archive);
    ByteBuffer content;
    swf::AMF0::writeStringWithLenPrefixU16(content, layout.tag);
    std::vector<bool> embedded;
    for (size_t g = 0; g < layout.groups.size(); ++g) {
        const EntryGroup& group = layout.groups[g];
        const bool picturesFollow = g + 1 < layout.groups.size() && layout.groups[g + 1].kind == GroupKind::Pictures;
        switch (group.kind) {
            case GroupKind::Single:
                swf::AMF3::appendByteArray(content, singleObject(layout, group, archive));
                break;
            case GroupKind::Documents:
                if (picturesFollow) {
                    embedded = appendFlaggedDocuments(content, groups[g], layout.groups[g + 1].name, warn);
                } else {
                    appendDocuments(content, groups[g]);
                }
                break;
            case GroupKind::Pictures:
                appendPictures(content, groups[g], embedded, warn);
                break;
        }
    }
    return content;
}

}  // namespace

entry_name_error::entry_name_error(DataKind kind) : forge_exception(layoutOf(kind).namingMessage) {}

entry_name_error::entry_name_error(const char* id, std::vector<Message> args) : forge_exception(id, std::move(args)) {}

entry_name_error::entry_name_error(const std::string& folderEntry)
    : forge_exception(
          N_("The archive entry '%s' is inside a folder; put every file at the top of the archive, without folders."),
          {folderEntry}) {}

ByteBuffer buildDataContent(DataKind kind, const ArchiveReader& archive, const WarningSink& warn) {
    return contentOf(layoutOf(kind), archive, warn);
}

ByteBuffer wrapDataContent(const ByteBuffer& content) {
    ByteBuffer body;
    swf::AMF3::appendByteArray(body, zlib::zlib_compress(content, 9));
    return body;
}

}  // namespace data
