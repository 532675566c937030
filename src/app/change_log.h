#pragma once
// What the user has changed in the game: for every resource replaced since
// the game was loaded, the tag it was loaded with, the tag it has now and
// the file that last changed it. The tags taken out of the game are kept
// rather than copied, so that a revert puts back the loaded record byte for
// byte. Every record the log sees is fingerprinted once, when it comes or
// goes, so that whether the game differs from what was loaded or written is
// known without serialising any tag again.

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/resource_kind.h"
#include "codecs/sha256.h"

namespace vorlune_forge {

// A record's length and digest: equal for records of the same bytes.
struct RecordPrint {
    size_t size = 0;
    sha256::Digest digest{};
    bool operator==(const RecordPrint&) const = default;
};
RecordPrint printOf(const swf::Tag& tag);

class ChangeLog {
public:
    // `kinds` orders the kinds of the changes.
    explicit ChangeLog(std::span<const ResourceKind* const> kinds) : kinds_(kinds) {}

    struct Change {
        const ResourceKind* kind = nullptr;
        uint64_t id = 0;
        // The file of the last replacement: its path as given, and what it
        // held as read (its bytes with the extension of their format, or
        // a data file's entries). None after a revert.
        std::string source;
        std::shared_ptr<const ByteBuffer> sourceBytes;
        std::string sourceExtension;
        std::shared_ptr<const std::vector<data::NamedEntry>> sourceEntries;
        // The tag the resource had when the game was loaded, and the one it
        // has in the game now.
        std::unique_ptr<swf::Tag> loaded;
        const swf::Tag* current = nullptr;
        RecordPrint loadedPrint;
        RecordPrint currentPrint;
        // The record the game was last written with, once it has been.
        std::optional<RecordPrint> writtenPrint;
    };

    // Puts `replacement`, made from `file`, into the game in place of the
    // resource's current tag `current`.
    void replace(swf::SWF& game, const ResourceKind& kind, const swf::Tag& current,
                 std::unique_ptr<swf::Tag> replacement, const ReplacementFile* file);

    // Puts back the tag the resource was loaded with; false when the
    // resource does not differ from it.
    bool revert(swf::SWF& game, const ResourceKind& kind, uint64_t id);

    // The game has been written as it is now.
    void written();

    // The changes whose resource differs from the game as it was loaded, in
    // the order of the kinds and then of the ids.
    std::vector<const Change*> differences() const;

    // Whether the game differs from the file it was last loaded from or
    // written to.
    bool unsaved() const;

    // The digest of `game`'s movie as it was loaded, uncompressed: what tells
    // one version of a game from another. Each changed resource counts with
    // the record it was loaded with.
    sha256::Digest loadedMovieDigest(const swf::SWF& game) const;

private:
    using Key = std::pair<size_t, uint64_t>;  // the kind's place in the list, the id
    Key keyOf(const ResourceKind& kind, uint64_t id) const;

    std::span<const ResourceKind* const> kinds_;
    std::map<Key, Change> changes_;
};

}  // namespace vorlune_forge
