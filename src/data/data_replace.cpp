// Building a data file from an archive of JSON documents and PNG files.

#include <algorithm>
#include <map>
#include <utility>

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "codecs/zlib.h"
#include "data/data_file.h"
#include "util/strings.h"

namespace data {
namespace {

constexpr uint8_t kByteArrayMarker = 0x0C;
constexpr uint8_t kNullMarker = 0x01;

const char* namingMessage(DataKind kind) {
    switch (kind) {
        case DataKind::Spt:
            return N_("Please do not change the format of the file name. It should be \"Spt.json\".\n");
        case DataKind::Bg:
            return N_("Please do not change the format of the file name. It should be \"BgInfoFile.json\".\n");
        case DataKind::LimbInfo:
            return N_(
                "Please do not change the format of the file names. They must start with \"LimbPic_\" or "
                "\"Limb_\" in case of .json files and be numbered accordingly to their order.\n");
        case DataKind::Gdat:
        default:
            return N_(
                "Please do not change the format of the file names. They must start with \"Attack_\" or "
                "\"PtWithName_\" in case of .json files and be numbered accordingly to their order.\n");
    }
}

struct Entry {
    std::string name;
    ByteBuffer bytes;
};

// Entries of one group, by the number in their names; the first entry with
// a number wins.
using Group = std::map<int, Entry>;

// The number in an entry's name: the digits from its first digit on.
std::optional<int> entryNumber(const std::string& name) {
    try {
        return extractIntFromStr(name);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void appendValue(ByteBuffer& out, const ByteBuffer& payload) {
    out.push_back(kByteArrayMarker);
    appendBytes(out, swf::AMF3::Uint29BAToVec(payload.size()));
    appendBytes(out, payload);
}

std::string textOf(const ByteBuffer& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The line and column, both from 1, of the byte at the 1-based `position`
// of `text`, where the parser stopped.
std::pair<size_t, size_t> lineAndColumn(const std::string& text, size_t position) {
    const size_t index = std::min(std::max<size_t>(position, 1), text.size() + 1) - 1;
    const size_t lineStart = index == 0 ? 0 : text.rfind('\n', index - 1) + 1;  // npos + 1 is 0
    const auto line = static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(index), '\n'));
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
    for (const auto& [number, entry] : documents) appendValue(out, objectBytes(entry));
}

// The game reads its files from the top of the archive only; an entry in a
// folder (a folder's own entry too) is named so that the user can move it.
void requireTopLevel(DataKind kind, const std::string& name) {
    if (name.find('/') != std::string::npos) throw entry_name_error(kind, name);
}

// Sorts every entry into the group its name selects; `groupOf` gives the
// group for a name, or null when the name fits none.
void classify(DataKind kind, const ArchiveReader& archive, const std::function<Group*(const std::string&)>& groupOf) {
    for (const std::string& name : archive.names) {
        requireTopLevel(kind, name);
        ByteBuffer bytes = archive.extract(name);
        const std::optional<int> number = entryNumber(name);
        Group* group = groupOf(name);
        if (!number || group == nullptr) throw entry_name_error(kind);
        group->emplace(*number, Entry{name, std::move(bytes)});
    }
}

ByteBuffer gdatContent(const ArchiveReader& archive) {
    Group attacks, points;
    classify(DataKind::Gdat, archive, [&](const std::string& name) -> Group* {
        if (startsWith(name, "Attack_") && endsWith(name, ".json")) return &attacks;
        if (startsWith(name, "PtWithName_") && endsWith(name, ".json")) return &points;
        return nullptr;
    });
    ByteBuffer content;
    swf::AMF0::writeStringWithLenPrefixU16(content, "gdat");
    appendDocuments(content, attacks);
    appendDocuments(content, points);
    return content;
}

ByteBuffer limbInfoContent(const ArchiveReader& archive, const WarningSink& warn) {
    Group pictures, images, limbs;
    classify(DataKind::LimbInfo, archive, [&](const std::string& name) -> Group* {
        if (startsWith(name, "LimbPic_") && endsWith(name, ".json")) return &pictures;
        if (endsWith(name, ".png")) return &images;
        if (startsWith(name, "Limb_") && endsWith(name, ".json")) return &limbs;
        return nullptr;
    });

    ByteBuffer content;
    swf::AMF0::writeStringWithLenPrefixU16(content, "limbInfo");
    appendCount(content, pictures.size());
    // Pictures are numbered by their position; position p embeds the image
    // numbered p.
    std::vector<bool> embedded;
    for (const auto& [number, entry] : pictures) {
        bool disabled = false;
        bool embeds = false;
        const ByteBuffer object = readDocument(entry, [&](const std::string& text) {
            const swf::JsonDocument document = swf::AMF0::parseDocument(text);
            const auto& flags = document.at("Data.LimbPic");
            disabled = flags.at("disabled").get<bool>();
            embeds = flags.at("embeded").get<bool>();
            return swf::AMF0::fromDocument(document);
        });
        const int position = static_cast<int>(embedded.size());
        if (disabled == embeds) warn(LimbWarning::SameFlags, position);
        embedded.push_back(embeds);
        appendValue(content, object);
    }
    for (size_t p = 0; p < embedded.size(); ++p) {
        const auto image = images.find(static_cast<int>(p));
        if (embedded[p] && image != images.end()) {
            appendValue(content, image->second.bytes);
            continue;
        }
        if (embedded[p]) warn(LimbWarning::MissingImage, static_cast<int>(p));
        content.push_back(kNullMarker);
    }
    appendDocuments(content, limbs);
    return content;
}

// Spt and Bg files hold the archive's first entry, which must bear the
// kind's one name.
ByteBuffer singleObjectContent(DataKind kind, const ArchiveReader& archive) {
    const char* tag = kind == DataKind::Spt ? "Spt" : "Bg";
    const char* entry = kind == DataKind::Spt ? "Spt.json" : "BgInfoFile.json";
    if (!archive.names.empty()) requireTopLevel(kind, archive.names.front());
    if (archive.names.empty() || archive.names.front() != entry) throw entry_name_error(kind);
    ByteBuffer content;
    swf::AMF0::writeStringWithLenPrefixU16(content, tag);
    appendValue(content, objectBytes(Entry{entry, archive.extract(entry)}));
    return content;
}

ByteBuffer contentOf(DataKind kind, const ArchiveReader& archive, const WarningSink& warn) {
    switch (kind) {
        case DataKind::LimbInfo:
            return limbInfoContent(archive, warn);
        case DataKind::Gdat:
            return gdatContent(archive);
        default:
            return singleObjectContent(kind, archive);
    }
}

}  // namespace

entry_name_error::entry_name_error(DataKind kind) : forge_exception(namingMessage(kind)), kind(kind) {}

entry_name_error::entry_name_error(DataKind kind, const std::string& folderEntry)
    : forge_exception(
          N_("The archive entry '%s' is inside a folder; put every file at the top of the archive, without folders."),
          {folderEntry}),
      kind(kind) {}

ByteBuffer buildDataFile(DataKind kind, const ArchiveReader& archive, const WarningSink& warn) {
    ByteBuffer body;
    appendValue(body, zlib::zlib_compress(contentOf(kind, archive, warn), 9));
    return body;
}

}  // namespace data
