// A data file's folder, read as the program reads a replacement, built into
// a data file of the kind the first byte chooses (its value modulo 4). The
// rest of the input writes the folder, one entry a record:
//   a byte whose value modulo 4 is the entry's kind (0 and 1 a file, 2 a
//   link, 3 an empty folder); its name, up to a 0 byte, where a "/" puts it
//   in a folder inside; a 16-bit little-endian length and that many bytes:
//   the file's content, or what the link leads to.
// A name that would leave the folder, or that cannot be made, is left out.
//
// The read and the build may refuse the folder, but only with one of the
// program's errors. A data file they build is exported by the walk and
// built again from those entries; from then on, export and build give the
// same data file. (The first export may differ from the folder: an empty
// anonymous object reads back as null.) Content that holds the marker names
// of the JSON form is not checked, as objects using them as member names
// make it ambiguous (see amf0_fuzzer.cpp).

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data/data_archive.h"
#include "data/data_file.h"
#include "data_entries.h"
#include "fuzz_check.h"

namespace {

namespace fs = std::filesystem;

constexpr data::DataKind kKinds[] = {data::DataKind::LimbInfo, data::DataKind::Spt, data::DataKind::Bg,
                                     data::DataKind::Gdat};
constexpr size_t kMaxEntries = 16;
constexpr size_t kMaxName = 64;
constexpr size_t kMaxContent = 4096;

using fuzz::Entries;

// A fresh folder, removed with everything in it when the input is done.
class Scratch {
public:
    Scratch() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/vlf-data-XXXXXX";
        fuzz::require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        path_ = pattern;
    }
    ~Scratch() { fs::remove_all(path_); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The bytes up to the next 0 byte, or to the end; the view moves past them.
std::string takeName(ByteView& rest) {
    size_t end = 0;
    while (end < rest.size() && rest[end] != 0) ++end;
    const std::string name(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(end));
    rest = rest.subspan(end < rest.size() ? end + 1 : end);
    return name;
}

ByteView takeContent(ByteView& rest) {
    if (rest.size() < 2) {
        rest = {};
        return {};
    }
    const size_t wanted = std::min<size_t>(rest[0] | rest[1] << 8, kMaxContent);
    const size_t length = std::min(wanted, rest.size() - 2);
    const ByteView content = rest.subspan(2, length);
    rest = rest.subspan(2 + length);
    return content;
}

// Whether every part of the name names an entry: none empty, "." or "..".
bool staysInside(const std::string& name) {
    if (name.empty() || name.size() > kMaxName) return false;
    for (const auto& part : fs::path(name)) {
        if (part.empty() || part == "." || part == "..") return false;
    }
    return name.front() != '/' && name.back() != '/' && name.find("//") == std::string::npos;
}

void makeEntry(unsigned kind, const fs::path& path, ByteView content) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error) return;
    if (kind == 2) {
        (void)symlink(std::string(content.begin(), content.end()).c_str(), path.c_str());
        return;
    }
    if (kind == 3) {
        fs::create_directory(path, error);
        return;
    }
    const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    if (fd < 0) return;
    (void)write(fd, content.data(), content.size());
    close(fd);
}

void writeFolder(ByteView rest, const std::string& folder) {
    for (size_t made = 0; !rest.empty() && made < kMaxEntries; ++made) {
        const unsigned kind = rest[0] % 4;
        rest = rest.subspan(1);
        const std::string name = takeName(rest);
        const ByteView content = takeContent(rest);
        if (staysInside(name)) makeEntry(kind, fs::path(folder) / name, content);
    }
}

Entries walk(ByteView content) {
    Entries entries;
    data::walkDataFile(content,
                       [&](const std::string& name, const ByteBuffer& bytes) { entries.emplace_back(name, bytes); });
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const data::DataKind kind = kKinds[data[0] % 4];
    const Scratch scratch;
    writeFolder(ByteView(data + 1, size - 1), scratch.path());
    ByteBuffer content;
    try {
        data::DataFolder folder(scratch.path());
        content = data::buildDataContent(kind, folder.reader(), [](data::LimbWarning, int) {});
    } catch (const forge_exception&) {
        return 0;
    }
    if (fuzz::holdsAmf0MarkerName(content)) return 0;
    const ByteBuffer rebuilt = fuzz::contentOf(kind, walk(content));
    fuzz::require(fuzz::contentOf(kind, walk(rebuilt)) == rebuilt,
                  "the export of a data file built from a folder builds, from the first export on, the same file");
    return 0;
}
