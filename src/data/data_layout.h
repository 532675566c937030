#pragma once
// The layout of every kind of data file, described once and read both by
// the walk that turns a data file into archive entries and by the build that
// turns an archive back into a data file.
//
// The inflated content starts with the kind's tag (a 16-bit-length string).
// Then come the kind's groups of values, in order. A group of documents is
// a count, then that many objects, each an AMF0 typed object wrapped in a
// ByteArray, which the archive holds as "<prefix><n>.json", n counting from
// 0. A group of pictures follows a group of documents and holds one value
// for each of them: an embedded PNG file, "<n>.png" in the archive, or an
// AMF3 null. A kind of one object holds that object alone, without a count,
// under the one name its archive must begin with.

#include <optional>
#include <span>
#include <string>

namespace data {

enum class DataKind { LimbInfo, Spt, Bg, Gdat };

enum class GroupKind { Single, Documents, Pictures };

struct EntryGroup {
    GroupKind kind;
    // Single: the entry's whole name. Documents: the entries' prefix.
    // Pictures: the member of each document of the group before that holds
    // its "disabled" and "embeded" flags.
    const char* name;
};

struct DataLayout {
    DataKind kind;
    // The tag the content starts with.
    const char* tag;
    // How the symbol names of data files of this kind end.
    const char* symbolSuffix;
    std::span<const EntryGroup> groups;
    // What the user is told when the archive's entry names break the layout.
    const char* namingMessage;
};

inline constexpr const char* kDocumentExtension = ".json";
inline constexpr const char* kPictureExtension = ".png";

// The layout of a kind.
const DataLayout& layoutOf(DataKind kind);

// The kind whose tag is `tag`, or whose symbol names end as `symbol` does.
const DataLayout* layoutWithTag(const std::string& tag);
std::optional<DataKind> kindOfSymbol(const std::string& symbol);

// The archive entry of the document or picture numbered n.
std::string documentName(const EntryGroup& group, int n);
std::string pictureName(int n);

// Whether an entry name is one of the group's (its number aside).
bool belongsTo(const EntryGroup& group, const std::string& name);

}  // namespace data
