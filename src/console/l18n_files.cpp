#include "console/l18n_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "console/signals.h"
#include "util/error.h"

namespace l18n {

namespace {

// The error of a failed stdio call; a stream that failed without saying
// why reports an input/output error.
int streamError() { return errno != 0 ? errno : EIO; }

}  // namespace

FileHandle make_fopen(const char* path, const char* mode) {
    const char* failure = std::strpbrk(mode, "wa+") != nullptr ? kCannotWrite : kCannotRead;
    errno = 0;
    FileHandle file(std::fopen(path, mode));
    if (!file) throw fileError(failure, path, streamError());
    struct stat info {};
    // A directory opens for reading on Linux and fails only at the first
    // read, with a less helpful message.
    if (fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) throw fileError(failure, path, EISDIR);
    return file;
}

namespace {

// The size measured by seeking to the end, or -1 when it cannot be trusted.
// Only regular files qualify: pipes cannot seek, /proc files claim 0 bytes,
// and directories on some file systems claim LONG_MAX, which would make the
// buffer allocation fail before the read could report the error.
long measuredSize(std::FILE* file) {
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    return std::ftell(file);
}

}  // namespace

size_t readBinaryFile(const std::string& path, std::vector<uint8_t>& out) {
    FileHandle file = make_fopen(path.c_str(), "rb");
    out.clear();

    size_t count = 0;
    const long size = measuredSize(file.get());
    std::rewind(file.get());
    if (size > 0) {
        out.resize(static_cast<size_t>(size));
        errno = 0;
        count = std::fread(out.data(), 1, out.size(), file.get());
        if (count != out.size()) throw fileError(kCannotRead, path, streamError());
    }

    // Picks up whatever the measured size missed: a file that grew since, or
    // the whole of a stream without a size.
    errno = 0;
    for (int c = std::getc(file.get()); c != EOF; c = std::getc(file.get())) {
        out.push_back(static_cast<uint8_t>(c));
        ++count;
    }
    if (std::ferror(file.get())) throw fileError(kCannotRead, path, streamError());
    return count;
}

size_t writeBinaryFile(const std::string& path, const std::vector<uint8_t>& data) {
    FileHandle file = make_fopen(path.c_str(), "wb");
    errno = 0;
    const size_t written = data.empty() ? 0 : std::fwrite(data.data(), 1, data.size(), file.get());
    // A short write may only surface when the buffer is flushed (a full
    // disk), so the flush is checked too, before the file is closed.
    if (written != data.size() || std::fflush(file.get()) != 0 || std::ferror(file.get()))
        throw fileError(kCannotWrite, path, streamError());
    if (std::fclose(file.release()) != 0) throw fileError(kCannotWrite, path, streamError());
    return written;
}

namespace {

mode_t currentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// The permissions of the file that will stand at `path`.
mode_t targetMode(const std::string& path, bool executable) {
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return (existing.st_mode & 07777) | (executable ? 0111 & ~currentUmask() : 0);
    }
    return (executable ? 0777 : 0666) & ~currentUmask();
}


// Written in pieces, so that Ctrl-C stops a long write soon.
constexpr size_t kWritePiece = 4u << 20;

// Writes everything, resuming after interrupted or partial writes; 0, the
// error that stopped it, or ECANCELED after Ctrl-C.
int writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        if (takeInterrupt()) return ECANCELED;
        const ssize_t written = ::write(fd, data, std::min(size, kWritePiece));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

// A folder cannot be written over; rename() would say so only after the
// whole file was written, and for ".." as "Device or resource busy".
void refuseFolder(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) throw fileError(kCannotWrite, path, EISDIR);
}

// The temporary file beside `path` that a safe write starts with.
int createTemporary(const std::string& path, std::string& temporary) {
    temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) throw fileError(kCannotWrite, path, errno);
    return fd;
}

}  // namespace

size_t writeBinaryFileSafely(const std::string& path, const std::vector<uint8_t>& data, bool executable) {
    refuseFolder(path);
    const mode_t mode = targetMode(path, executable);
    std::string temporary;
    const int fd = createTemporary(path, temporary);
    setTemporaryFile(temporary);
    int error = writeAll(fd, data.data(), data.size());
    if (error == 0 && (fchmod(fd, mode) != 0 || fsync(fd) != 0)) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && takeInterrupt()) error = ECANCELED;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(temporary.c_str());
    setTemporaryFile("");
    if (error == ECANCELED) throw operation_cancelled{};
    if (error != 0) throw fileError(kCannotWrite, path, error);
    return data.size();
}

void checkWritable(const std::string& path) {
    refuseFolder(path);
    std::string temporary;
    ::close(createTemporary(path, temporary));
    ::unlink(temporary.c_str());
}

bool sameFile(const std::string& path, const std::string& other) {
    struct stat first {};
    struct stat second {};
    return stat(path.c_str(), &first) == 0 && stat(other.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

void keepBackup(const std::string& path, const std::string& backup) {
    if (linkat(AT_FDCWD, path.c_str(), AT_FDCWD, backup.c_str(), AT_SYMLINK_FOLLOW) == 0) return;
    struct stat existing {};
    if (errno == EEXIST || lstat(backup.c_str(), &existing) == 0) return;
    // A file system without hard links (FAT, some network shares).
    std::vector<uint8_t> bytes;
    readBinaryFile(path, bytes);
    struct stat original {};
    const bool executable = stat(path.c_str(), &original) == 0 && (original.st_mode & 0111) != 0;
    writeBinaryFileSafely(backup, bytes, executable);
}

}  // namespace l18n
