#pragma once
// Game data files. The body of the tag is an AMF3 ByteArray whose payload is
// a zlib stream; inflated, it holds a kind tag (a 16-bit-length string) and
// the kind's objects, each an AMF0 typed object wrapped in a ByteArray, and
// for limb data the embedded PNG pictures. Users edit them as zip archives
// of JSON documents and PNG files.

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "data/data_layout.h"
#include "util/bytes.h"
#include "util/error.h"

namespace data {

// The inflated content of a data file, or nothing when the body is an AMF3
// null rather than a ByteArray.
std::optional<ByteBuffer> inflateDataFile(ByteView body);

// The kind named by the tag at the start of the content, or nothing for an
// unknown tag.
std::optional<DataKind> readDataKind(ByteView content);

// Walks the content and hands out the archive entries, in archive order:
// the name of each and its bytes (a JSON document printed with an indent of
// 4, or a PNG file as stored).
using EntrySink = std::function<void(const std::string& name, const ByteBuffer& bytes)>;
void walkDataFile(ByteView content, const EntrySink& sink);

// An archive entry whose name does not fit the names the kind expects; the
// message tells the names the kind takes, names the entry that is inside a
// folder, or names the entries that stand for the same one.
class entry_name_error : public forge_exception {
public:
    explicit entry_name_error(DataKind kind);
    explicit entry_name_error(const std::string& folderEntry);
    entry_name_error(const char* id, std::vector<Message> args);
};

// The archive as the builder reads it: entry names in archive order, and
// the bytes of one entry on demand.
struct ArchiveReader {
    std::vector<std::string> names;
    std::function<ByteBuffer(const std::string& name)> extract;
};

// Warnings met while building limb data: the picture's position, and
// whether its flags agree (`sameFlags`) or its embedded image is missing.
enum class LimbWarning { SameFlags, MissingImage };
using WarningSink = std::function<void(LimbWarning, int position)>;

// The content of a new data file built from an archive, and the tag body
// that holds a content: the content deflated and wrapped in a ByteArray.
// The build throws entry_name_error when an entry's name breaks the kind's
// naming or two entries stand for the same one, swf_exception naming the
// entry for a document that is not valid JSON or a limb picture the game
// cannot show, and the component's exception for anything else.
ByteBuffer buildDataContent(DataKind kind, const ArchiveReader& archive, const WarningSink& warn);
ByteBuffer wrapDataContent(const ByteBuffer& content);

}  // namespace data
