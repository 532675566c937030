#pragma once
// A folder of resource files applied to the game: which resource each file
// stands for, what each would change, and the changes put into the game
// together. Every file is read and converted before anything changes.

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/change_log.h"
#include "app/mod_manifest.h"
#include "app/resource_index.h"
#include "app/resource_kind.h"

namespace vorlune_forge {

// A file of the folder that stands for a resource by its name: where it
// was found, and what is read (the file itself, or the one a link inside
// the folder leads to).
struct Claim {
    const ResourceKind* kind;
    uint64_t id;
    std::string path;
    std::string readFrom;
};

// What a file of the folder does to the game.
enum class Verdict {
    Changed,     // it makes a new record for its resource
    Unchanged,   // its resource holds what it holds already
    Failed,      // it cannot be read or converted
    Conflict,    // another file claims the same resource
    NotMatched,  // the game has no such resource
    Ignored,     // it stands for no resource
};

// An entry of the folder that claims no resource: ignored, or failed when
// it could not be read; and what the report says of it.
struct Unclaimed {
    std::string path;
    Verdict verdict;
    Message line;
};

// The entries of a folder and of the folders inside it. Entries whose
// names begin with a dot are not read, links are followed only to files
// inside the folder, and only regular files are read, but for a folder
// named like a resource of a kind whose resources are folders of files (a
// data file), which is claimed whole; every entry met that claims no
// resource is unclaimed, with the reason.
struct FolderFiles {
    std::vector<Claim> claims;
    std::vector<Unclaimed> unclaimed;
};
FolderFiles scanFolder(const std::string& folder, std::span<const ResourceKind* const> kinds);

// The verdict on a resource's file, or on the files that claim it, and
// what the report says of it.
struct FileVerdict {
    std::pair<size_t, uint64_t> key;  // the kind's place in the list, the id
    std::vector<std::string> paths;
    Verdict verdict;
    std::vector<Message> lines;
    bool isError() const {
        switch (verdict) {
            case Verdict::Changed:
            case Verdict::Unchanged:
            case Verdict::Ignored:
                return false;
            case Verdict::Failed:
            case Verdict::Conflict:
            case Verdict::NotMatched:
                return true;
        }
        return true;
    }
};

class FolderApply {
public:
    FolderApply(std::span<const ResourceKind* const> kinds, const swf::SWF& game);

    // The files that name no resource of the game and the resources that
    // more than one file claims are judged; the others are to convert.
    void sortClaims(const FolderFiles& files);
    // Reads and converts every file on every processor; Ctrl-C stops it.
    void prepare();
    // Tells of each change whose resource does not hold the record that the
    // mod was made on (a mod for another version of the game, or a
    // resource changed since the game was loaded).
    void checkVersions(const ModManifest& manifest);

    // The verdicts, in the order of the kinds and ids.
    std::vector<FileVerdict> verdicts() const;
    // How many files had the verdict; how many changes were made for
    // another version.
    size_t count(Verdict verdict) const;
    size_t otherVersions() const { return otherVersions_; }

    // Puts the changed resources into the game.
    void putInto(swf::SWF& game, ChangeLog& changes);

private:
    using Key = std::pair<size_t, uint64_t>;

    // What reading and converting one file gave.
    struct Prepared {
        std::optional<ReplacementFile> file;
        MadeTag made;  // no tag when unchanged or failed
        std::vector<Message> warnings;
        std::exception_ptr failure;
    };

    Key keyOf(const Claim& claim) const;
    const ResourceIndex& indexOf(const Claim& claim) const { return indices_[keyOf(claim).first]; }
    Message title(const Key& key) const;
    Prepared prepareOne(const Claim& claim) const;
    FileVerdict judge(const Claim& claim, const Prepared& result) const;

    std::span<const ResourceKind* const> kinds_;
    std::vector<ResourceIndex> indices_;
    std::vector<FileVerdict> verdicts_;
    std::vector<Claim> work_;
    std::vector<Prepared> prepared_;
    size_t otherVersions_ = 0;
};

}  // namespace vorlune_forge
