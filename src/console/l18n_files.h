#pragma once
// Whole-file input and output. Files are opened, read or written whole, and
// closed within one call; failures throw file_exception naming the file and
// the system's reason. Only regular files are read: a path that names a
// pipe, a device or a socket (often a file of a mod swapped for one) is
// refused by what it is, without waiting for it, and so is a file larger
// than kMaxFileSize.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace l18n {

// The largest file the program reads, far beyond any game or resource: a
// larger one is refused by the size the system gives for it, before any of
// it is read or room is made for it.
inline constexpr uint64_t kMaxFileSize = uint64_t{512} << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file; throws file_exception naming the file and the system's
// reason, "Cannot read" for a mode that reads only, "Cannot write" for one
// that writes. A mode that reads only opens a regular file of at most
// kMaxFileSize, as readBinaryFile does.
FileHandle make_fopen(const char* path, const char* mode);

// Replaces `out` with the content of the regular file at `path` and returns
// its size: the bytes it had when it was opened, even if it grows
// meanwhile. A file that became shorter while it was read is an error, not
// a shorter content. The file is read in pieces of a few MiB with
// checkCancelled() before each, so that Ctrl-C stops the read soon and
// throws operation_cancelled, on whichever thread it runs. `out` is left
// as it was when this throws.
size_t readBinaryFile(const std::string& path, std::vector<uint8_t>& out);

// Creates or truncates the file at `path`, writes `data` and returns the
// number of bytes written.
size_t writeBinaryFile(const std::string& path, const std::vector<uint8_t>& data);

// Whether a safe write waits for the file to be on disk before it renames
// it into place: a game is, so that even a crash of the system right after
// cannot leave it empty; exported resources, many small files made again at
// will, are left to the system to write out, as other programs leave theirs.
enum class Durability { OnDisk, Written };

// Writes `data` to a new file beside `path` and renames it into place only
// once it is complete (and on disk, as `durability` asks), so that a failed
// or interrupted write never destroys the file that was there. A file that
// is replaced keeps its permissions; a new one gets the usual ones,
// executable when asked for (both within the umask). On failure no
// temporary file is left, nor when SIGTERM or SIGHUP ends the program
// during the write; Ctrl-C during the write throws operation_cancelled and
// leaves the old file. Writes may run on several threads at once.
size_t writeBinaryFileSafely(const std::string& path, const std::vector<uint8_t>& data, bool executable = false,
                             Durability durability = Durability::OnDisk);

// Throws the file_exception that writeBinaryFileSafely would throw for
// `path` because of where it lies: a folder, in a folder that does not exist
// or cannot be written to. Called before a long build, so that the build
// does not end in a failure known from the start. Leaves nothing behind.
void checkWritable(const std::string& path);

// Whether `path` and `other` name the same existing file, by its identity
// rather than its name: "./game.swf" and a link to it are game.swf too.
bool sameFile(const std::string& path, const std::string& other);

// Keeps the file at `path` under the name `backup` as well, unless `backup`
// exists already (the oldest original is the one worth keeping). Where the
// file system allows, the backup is a second name of the same file, which
// writeBinaryFileSafely leaves alone when it puts a new file at `path`;
// elsewhere it is a copy.
void keepBackup(const std::string& path, const std::string& backup);

}  // namespace l18n
