#pragma once
// Zip archives through minizip: Zipper writes a new archive entry by entry,
// Unzipper lists the entries of an archive held in memory and extracts one
// entry to memory, and three free functions convert between calendar times
// and the MS-DOS date and time of zip entries. Every failure is a
// minizip_exception whose message names the archive.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "util/bytes.h"
#include "util/error.h"

namespace minizip {

// What the entries of one archive may inflate to, all of them together: at
// most kMaxContent bytes, and at most kMaxContentRatio times the archive's
// own size, so that a small archive cannot make the program hold gigabytes.
inline constexpr uint64_t kMaxContent = uint64_t{64} << 20;
inline constexpr uint64_t kMaxContentRatio = 256;

class minizip_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

struct ZipEntry {
    std::string name;
    std::string comment;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint32_t dosdate = 0;
    // Modification time as local calendar fields: month 1 to 12, full year.
    unsigned second = 0;
    unsigned minute = 0;
    unsigned hour = 0;
    unsigned day = 0;
    unsigned month = 0;
    unsigned year = 0;
    std::string timeText;  // "YYYY-MM-DD HH:MM:SS"
};

// Owners of minizip's opaque handles. The zip one closes without a global
// comment; it only runs when close() did not.
struct ZipHandleCloser {
    void operator()(void* handle) const;
};
struct UnzipHandleCloser {
    void operator()(void* handle) const;
};

// The archive of a Zipper that builds it in memory, and of an Unzipper that
// reads it from memory.
struct MemoryFile;
struct MemoryArchive;

class Zipper {
public:
    // Creates (or truncates) the archive at `path`; `comment` is written as
    // the archive's global comment when it is closed.
    Zipper(std::string path, std::string comment);
    // Builds the archive in `memory` instead of a file; `name` names it in
    // messages. `memory` must outlive the Zipper.
    Zipper(std::string name, std::string comment, std::vector<uint8_t>& memory);
    ~Zipper();
    Zipper(const Zipper&) = delete;
    Zipper& operator=(const Zipper&) = delete;

    // Adds one deflated entry. After a failure the archive is closed and
    // the object can only be destroyed.
    void add(const std::string& name, const std::string& entryComment, int level, const void* data, size_t size);
    void add(const std::string& name, const std::string& entryComment, int level, const std::string& content);
    void add(const std::string& name, const std::string& entryComment, int level, const std::vector<uint8_t>& content);

    // Writes the central directory and the global comment. Closing twice
    // does nothing; a failure to finish the archive throws (the handle is
    // released either way).
    void close();

private:
    void closeAfterFailure() noexcept;

    std::string path_;
    std::string comment_;
    std::unique_ptr<MemoryFile> memory_;
    std::unique_ptr<void, ZipHandleCloser> handle_;
};

class Unzipper {
public:
    // Reads the archive held in `bytes`, which must outlive the Unzipper:
    // its global information and comment. `name` (its path) names it in
    // messages. An archive of no entries is read as such.
    Unzipper(std::string name, ByteView bytes);
    ~Unzipper();
    Unzipper(const Unzipper&) = delete;
    Unzipper& operator=(const Unzipper&) = delete;

    // All entries, in the archive's order.
    const std::vector<ZipEntry>& getEntries();

    // Replaces `out` with the uncompressed bytes of the entry named exactly
    // `name` (case-sensitive). `out` is left as it was when this throws.
    // The entries extracted may together inflate to at most contentLimit()
    // bytes: an entry whose declared size passes what is left of that is
    // refused before it is inflated, and an entry is refused as soon as it
    // inflates beyond the size it declares.
    void extractEntryToMemory(const std::string& name, std::vector<uint8_t>& out);

    // kMaxContent, or kMaxContentRatio times the archive's size when less.
    uint64_t contentLimit() const;

    void close();

    const std::string& getGlobalComment() const { return comment_; }

private:
    [[noreturn]] void closeAndThrow(const minizip_exception& error);
    void requireOpen() const;
    bool locateEntry(const std::string& name);
    ByteView compressedData(const std::string& name);

    std::vector<ZipEntry> entries_;
    // Where the listing found each name first: the entry's place in the
    // central directory and its number.
    std::map<std::string, std::pair<uint64_t, uint64_t>> positions_;
    bool positionsKnown_ = false;
    std::string path_;
    ByteView bytes_;
    std::unique_ptr<MemoryArchive> memory_;
    std::unique_ptr<void, UnzipHandleCloser> handle_;
    bool open_ = true;
    uint64_t entryCount_ = 0;
    // What the entries extracted so far inflated to.
    uint64_t inflated_ = 0;
    std::string comment_;
};

// Packs local calendar fields (month 1 to 12, full year) into a DOS date and
// time; 0 when a field is out of range or the year is outside 1980 to 2107.
uint32_t dostime(int year, int month, int day, int hour, int minute, int second);
// The DOS date and time of `t` in local time, rounded up to an even second.
uint32_t unix2dostime(std::time_t t);
// The calendar time of a DOS date and time read as local time; -1 when a
// field is out of range.
std::time_t dos2unixtime(uint32_t dosDate);

}  // namespace minizip
