#pragma once
// Whole-file input and output. Files are opened, read or written whole, and
// closed within one call; failures throw file_exception naming the file and
// the system's reason.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace l18n {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file that is not a directory; throws file_exception naming the
// file and the system's reason, "Cannot read" for a mode that reads only,
// "Cannot write" for one that writes.
FileHandle make_fopen(const char* path, const char* mode);

// Replaces `out` with the whole content of the file at `path` and returns its
// size. Works for streams that cannot report a size (pipes, /proc files).
size_t readBinaryFile(const std::string& path, std::vector<uint8_t>& out);

// Creates or truncates the file at `path`, writes `data` and returns the
// number of bytes written.
size_t writeBinaryFile(const std::string& path, const std::vector<uint8_t>& data);

// Writes `data` to a new file beside `path` and renames it into place only
// once it is complete and on disk, so that a failed or interrupted write
// never destroys the file that was there. A file that is replaced keeps its
// permissions; a new one gets the usual ones, executable when asked for
// (both within the umask). On failure no temporary file is left; Ctrl-C
// during the write throws operation_cancelled and leaves the old file.
size_t writeBinaryFileSafely(const std::string& path, const std::vector<uint8_t>& data, bool executable = false);

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
