// The entry set of a data file's archive, read from memory as the program
// reads a replacement, built into a data file of the kind the first byte
// chooses (its value modulo 4). With bit 2 of that byte clear, the rest is
// a zip archive as it is; with it set, it is a list of entries, each a name
// and a content ended by a 0 byte (name, 0, content, 0, ...), zipped first,
// so that names, duplicates and sizes are reached without a valid zip
// structure. The archive's limits bound what it inflates to, and the build
// may refuse it with any of the program's errors.
//
// An archive that builds has lost no document in silence: the data file
// holds as many documents of each group as the archive has entries of it.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "codecs/minizip.h"
#include "data/data_archive.h"
#include "data/data_file.h"
#include "fuzz_check.h"

namespace {

constexpr data::DataKind kKinds[] = {data::DataKind::LimbInfo, data::DataKind::Spt, data::DataKind::Bg,
                                     data::DataKind::Gdat};

// The bytes up to the next 0 byte, or to the end; the view moves past them.
std::string takeField(ByteView& rest) {
    size_t end = 0;
    while (end < rest.size() && rest[end] != 0) ++end;
    const std::string field(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(end));
    rest = rest.subspan(end < rest.size() ? end + 1 : end);
    return field;
}

ByteBuffer zipped(ByteView list) {
    ByteBuffer archive;
    minizip::Zipper zip("input.zip", "", archive);
    while (!list.empty()) {
        const std::string name = takeField(list);
        const std::string content = takeField(list);
        zip.add(name, "", 1, content);
    }
    zip.close();
    return archive;
}

// How many of the names fall into each group of the layout: into the first
// that each belongs to, as the build sorts them.
std::map<size_t, size_t> countsByGroup(const data::DataLayout& layout, const std::vector<std::string>& names) {
    std::map<size_t, size_t> counts;
    for (const std::string& name : names) {
        for (size_t g = 0; g < layout.groups.size(); ++g) {
            if (data::belongsTo(layout.groups[g], name)) {
                ++counts[g];
                break;
            }
        }
    }
    return counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const data::DataLayout& layout = data::layoutOf(kKinds[data[0] % 4]);
    const ByteView rest(data + 1, size - 1);
    std::vector<std::string> names;
    ByteBuffer content;
    try {
        auto archive = std::make_shared<const ByteBuffer>((data[0] & 4) != 0 ? zipped(rest)
                                                                             : ByteBuffer(rest.begin(), rest.end()));
        data::DataArchive entries("input.zip", archive);
        names = entries.names();
        content = data::buildDataContent(layout.kind, entries.reader(), [](data::LimbWarning, int) {});
    } catch (const forge_exception&) {
        return 0;
    }

    std::vector<std::string> walked;
    data::walkDataFile(content, [&](const std::string& name, const ByteBuffer&) { walked.push_back(name); });
    const std::map<size_t, size_t> archived = countsByGroup(layout, names);
    const std::map<size_t, size_t> built = countsByGroup(layout, walked);
    for (size_t g = 0; g < layout.groups.size(); ++g) {
        if (layout.groups[g].kind != data::GroupKind::Documents) continue;
        const auto count = [g](const std::map<size_t, size_t>& counts) {
            const auto found = counts.find(g);
            return found == counts.end() ? size_t{0} : found->second;
        };
        fuzz::require(count(archived) == count(built), "every document of the archive is built into the data file");
    }
    return 0;
}
