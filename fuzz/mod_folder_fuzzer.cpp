// The scan of a folder that is applied to the game, and the sorting and
// reading of what it claims, against a small game of every kind of
// resource. The input builds a tree in a fresh folder, one entry a record:
//   a byte whose value modulo 8 is the entry's kind and whose bits above
//   choose what a link leads to; a byte that chooses its folder among the
//   folder itself and those made before; its name, up to a 0 byte.
// Kinds: 0 a file, 1 and 7 a folder, 2 a link to an entry made before (by
// its absolute path), 3 a link by a relative path, 4 a link to something
// outside the folder, 5 a named pipe, 6 a link that leads nowhere. Files
// hold nothing, a stage, junk or their own name. An entry that cannot be
// made (a name taken, or one the file system refuses) is left out.
//
// Every entry the scan meets is told once: claimed, or unclaimed with the
// reason, a folder named like a data file being one entry, and a plain
// folder none but through its entries; what a claim reads lies inside the
// folder; and after the claims are sorted and read, each entry has one
// verdict.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/mod_folder.h"
#include "app/resource_kind.h"
#include "fuzz_check.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxEntries = 24;
constexpr size_t kMaxName = 32;

// Stages (234 and 398), a data file (136), sounds (7, 11) and images (8, 9).
const swf::SWF& game() {
    using namespace testmovie;
    static const swf::SWF loaded(movie(concat({
        record(87, binaryDataBody(234, bytesOf("<stage name=\"StageMeadow\"/>"))),
        record(87, binaryDataBody(398, bytesOf("<stage/>"))),
        record(87, binaryDataBody(136, ByteBuffer(40, 0x0A))),
        record(14, soundBody(7, 0x2E, 1152, {0, 0, 0xFF, 0xFB, 0x90, 0x64})),
        record(14, soundBody(11, 0x3E, 4, ByteBuffer(16, 0))),
        record(36, losslessBody(9, 3, 3, 1, 2, {1, 2, 3, 4})),
        record(20, losslessBody(8, 5, 2, 2, 0, {0x78, 0x9C, 0x03, 0, 0, 0, 0, 1}), true),
        record(76, symbolClassBody({{234, "StageMeadow"}, {136, "ItemTable"}, {7, "Theme"}, {9, "Tree"}})),
        record(0, {}),
    })));
    return loaded;
}

struct Entry {
    std::string path;
    std::string name;
    size_t parent;  // index in the entries; the folder itself has none
    bool folder;
};

// A fresh folder holding the folder to scan, "mod", beside entries that lie
// outside it; removed with everything in it when the input is done.
class Scratch {
public:
    Scratch() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/vlf-scan-XXXXXX";
        fuzz::require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
        base_ = pattern;
        fs::create_directories(base_ + "/outside/136 - Out");
        close(open((base_ + "/outside/600 - x.png").c_str(), O_CREAT | O_WRONLY, 0644));
        fs::create_directory(root());
    }
    ~Scratch() { fs::remove_all(base_); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string root() const { return base_ + "/mod"; }
    std::string outside(unsigned choice) const {
        const std::string targets[] = {base_ + "/outside/600 - x.png", base_ + "/outside/136 - Out", "/", "/dev/null"};
        return targets[choice % 4];
    }

private:
    std::string base_;
};

const char* const kContents[] = {"", "<stage name=\"x\"/>", "RIFF\x01junk"};

bool makeEntry(unsigned kind, unsigned choice, const std::string& path, const std::string& name,
               const std::vector<Entry>& made, const Scratch& scratch) {
    switch (kind) {
        case 0: {
            const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
            if (fd < 0) return false;
            const std::string content = choice % 4 == 3 ? name : kContents[choice % 4];
            const bool written = write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
            close(fd);
            return written;
        }
        case 1:
        case 7:
            return mkdir(path.c_str(), 0755) == 0;
        case 2:
            return symlink(made.empty() ? scratch.root().c_str() : made[choice % made.size()].path.c_str(),
                           path.c_str()) == 0;
        case 3: {
            const std::string targets[] = {"..", ".", made.empty() ? "x" : made[choice % made.size()].name,
                                           "../outside/600 - x.png"};
            return symlink(targets[choice % 4].c_str(), path.c_str()) == 0;
        }
        case 4:
            return symlink(scratch.outside(choice).c_str(), path.c_str()) == 0;
        case 5:
            return mkfifo(path.c_str(), 0644) == 0;
        case 6:
            return symlink(("missing-" + name).c_str(), path.c_str()) == 0;
    }
    return false;
}

// The name up to the next 0 byte, or to the end, at most kMaxName bytes of
// it; the view moves past it.
std::string takeName(ByteView& rest) {
    size_t end = 0;
    while (end < rest.size() && rest[end] != 0) ++end;
    const std::string name(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(std::min(end, kMaxName)));
    rest = rest.subspan(end < rest.size() ? end + 1 : end);
    return name;
}

std::vector<Entry> makeTree(ByteView rest, const Scratch& scratch) {
    std::vector<Entry> made;
    std::vector<size_t> folders = {SIZE_MAX};  // SIZE_MAX: the folder itself
    while (rest.size() >= 2 && made.size() < kMaxEntries) {
        const unsigned kind = rest[0] % 8;
        const unsigned choice = rest[0] >> 3;
        const size_t parent = folders[rest[1] % folders.size()];
        rest = rest.subspan(2);
        const std::string name = takeName(rest);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) continue;
        const std::string path = (parent == SIZE_MAX ? scratch.root() : made[parent].path) + "/" + name;
        if (!makeEntry(kind, choice, path, name, made, scratch)) continue;
        const bool folder = kind == 1 || kind == 7;
        if (folder) folders.push_back(made.size());
        made.push_back({path, name, parent, folder});
    }
    return made;
}

bool liesWithin(const fs::path& root, const fs::path& path) {
    const auto [end, unused] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return end == root.end();
}

// The paths the scan must tell of: every entry but the description of a
// mod at the top and what it holds, should it be a folder; the entries
// inside a folder that is skipped or claimed whole; and the plain folders,
// which it tells of by their entries.
std::map<std::string, int> expectedPaths(const std::vector<Entry>& made, const std::map<std::string, int>& claimed) {
    std::map<std::string, int> expected;
    std::vector<bool> hidden(made.size(), false);
    for (size_t i = 0; i < made.size(); ++i) {
        const Entry& entry = made[i];
        const bool top = entry.parent == SIZE_MAX;
        if (!top && hidden[entry.parent]) {
            hidden[i] = true;
            continue;
        }
        if (top && entry.name == vorlune_forge::kManifestName) {
            hidden[i] = true;
            continue;
        }
        const bool dotted = entry.name.front() == '.';
        const bool whole = claimed.contains(entry.path);
        if (entry.folder) hidden[i] = dotted || whole;
        if (!entry.folder || dotted || whole) ++expected[entry.path];
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vorlune_forge;
    const Scratch scratch;
    const std::vector<Entry> made = makeTree(ByteView(data, size), scratch);
    const FolderFiles files = scanFolder(scratch.root(), resourceKinds());

    const fs::path root = fs::canonical(scratch.root());
    std::map<std::string, int> claimed;
    std::map<std::string, int> told;
    for (const Claim& claim : files.claims) {
        std::error_code error;
        const fs::path read = fs::canonical(claim.readFrom, error);
        fuzz::require(!error && liesWithin(root, read), "what a claim reads lies inside the folder");
        ++claimed[claim.path];
        ++told[claim.path];
    }
    for (const Unclaimed& entry : files.unclaimed) ++told[entry.path];
    fuzz::require(told == expectedPaths(made, claimed), "every entry met is told of once");

    FolderApply apply(resourceKinds(), game());
    apply.sortClaims(files);
    apply.prepare();
    std::map<std::string, int> judged;
    for (const FileVerdict& verdict : apply.verdicts()) {
        for (const std::string& path : verdict.paths) ++judged[path];
    }
    fuzz::require(judged == told, "every entry told of has one verdict");
    return 0;
}
