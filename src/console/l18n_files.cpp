#include "console/l18n_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "console/signals.h"
#include "util/cancellation.h"
#include "util/error.h"

namespace l18n {

namespace {

// The error of a failed stdio call; a stream that failed without saying
// why reports an input/output error.
int streamError() { return errno != 0 ? errno : EIO; }

// An open file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// The refusal of a path that names something other than a regular file or
// a directory, by what it is.
const char* notAFile(mode_t mode) {
    if (S_ISFIFO(mode)) return N_("Cannot read '%s': it is a named pipe (FIFO), not a file.");
    if (S_ISCHR(mode)) return N_("Cannot read '%s': it is a character device, not a file.");
    if (S_ISBLK(mode)) return N_("Cannot read '%s': it is a block device, not a file.");
    if (S_ISSOCK(mode)) return N_("Cannot read '%s': it is a socket, not a file.");
    return N_("Cannot read '%s': it is not a regular file.");
}

void requireRegularFile(const std::string& path, const struct stat& info) {
    if (S_ISREG(info.st_mode)) return;
    if (S_ISDIR(info.st_mode)) throw fileError(kCannotRead, path, EISDIR);
    throw file_exception(notAFile(info.st_mode), {path});
}

// A size of at least a MiB as people read it, "8.0 GiB" (in the locale's
// digits), rounded up, so that a file just over the limit does not read as
// the limit itself.
std::string sizeText(uint64_t bytes) {
    const bool gibibytes = bytes >= uint64_t{1} << 30;
    const uint64_t unit = gibibytes ? uint64_t{1} << 30 : uint64_t{1} << 20;
    const uint64_t tenths = bytes / unit * 10 + (bytes % unit * 10 + unit - 1) / unit;
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(tenths) / 10, gibibytes ? "GiB" : "MiB");
    return text;
}

void requireUsableSize(const std::string& path, const struct stat& info) {
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size <= kMaxFileSize) return;
    throw file_exception(N_("'%s' is %s; a file larger than %s MiB cannot be used."),
                         {path, sizeText(size), kMaxFileSize >> 20});
}

struct ReadableFile {
    Descriptor descriptor;
    uint64_t size;
};

// Opens a regular file of a usable size for reading. What the path names
// is looked at first, so that a device is not even opened (opening one may
// act on it, as a tape rewinds); what was opened is looked at again, in case
// the path was swapped meanwhile. O_NONBLOCK makes the open of a FIFO return
// at once, to be refused, where it would wait for a writer for good;
// O_NOCTTY keeps a terminal from becoming the program's controlling one.
ReadableFile openForReading(const std::string& path) {
    struct stat named {};
    if (stat(path.c_str(), &named) == 0) requireRegularFile(path, named);
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) throw fileError(kCannotRead, path, errno);
    struct stat info {};
    if (fstat(file.get(), &info) != 0) throw fileError(kCannotRead, path, errno);
    requireRegularFile(path, info);
    requireUsableSize(path, info);
    return {std::move(file), static_cast<uint64_t>(info.st_size)};
}

// Read and written in pieces, so that Ctrl-C stops a long read or write
// soon, even from a slow disk.
constexpr size_t kPiece = 4u << 20;

// Fills `bytes` from the file, piece by piece, checking for Ctrl-C before
// each. The check does not forget Ctrl-C, so that the reads of every worker
// thread stop.
void readPieces(int fd, const std::string& path, std::vector<uint8_t>& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        checkCancelled();
        const ssize_t got = ::read(fd, bytes.data() + done, std::min(bytes.size() - done, kPiece));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw fileError(kCannotRead, path, errno);
        if (got == 0) throw file_exception(N_("Cannot read '%s': it became shorter while it was read."), {path});
        done += static_cast<size_t>(got);
    }
}

FileHandle openStreamForReading(const std::string& path, const char* mode) {
    ReadableFile file = openForReading(path);
    errno = 0;
    FileHandle stream(fdopen(file.descriptor.get(), mode));
    if (!stream) throw fileError(kCannotRead, path, streamError());
    file.descriptor.release();
    return stream;
}

}  // namespace

FileHandle make_fopen(const char* path, const char* mode) {
    if (std::strpbrk(mode, "wa+") == nullptr) return openStreamForReading(path, mode);
    errno = 0;
    FileHandle file(std::fopen(path, mode));
    if (!file) throw fileError(kCannotWrite, path, streamError());
    return file;
}

size_t readBinaryFile(const std::string& path, std::vector<uint8_t>& out) {
    const ReadableFile file = openForReading(path);
    std::vector<uint8_t> bytes(file.size);
    readPieces(file.descriptor.get(), path, bytes);
    out = std::move(bytes);
    return out.size();
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

// The process's file mode creation mask, read once before any thread runs:
// reading it means setting it, which must not race with files made on
// other threads.
const mode_t kUmask = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}();

// The permissions to give the file that will stand at `path` when a file
// stands there now: its own, executable when asked for (within the
// umask). Nothing for a new file, which is made with the usual ones. A
// folder cannot be written over; rename() would say so only after the whole
// file was written, and for ".." as "Device or resource busy".
std::optional<mode_t> keptMode(const std::string& path, bool executable) {
    struct stat existing {};
    if (stat(path.c_str(), &existing) != 0) return std::nullopt;
    if (S_ISDIR(existing.st_mode)) throw fileError(kCannotWrite, path, EISDIR);
    if (!S_ISREG(existing.st_mode)) return std::nullopt;
    return (existing.st_mode & 07777) | (executable ? 0111 & ~kUmask : 0);
}

// Writes everything, piece by piece, resuming after interrupted or partial
// writes and checking for Ctrl-C before each piece, as a read does.
void writeAll(int fd, const std::string& path, const std::vector<uint8_t>& data) {
    for (size_t done = 0; done < data.size();) {
        checkCancelled();
        const ssize_t written = ::write(fd, data.data() + done, std::min(data.size() - done, kPiece));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) throw fileError(kCannotWrite, path, errno);
        done += static_cast<size_t>(written);
    }
}

// The temporary file a safe write starts with, beside the file it is to
// become. It is removed when it goes unless it was put in place, and by the
// handlers of the signals that end the program while it exists. Its errors
// name the target, the file the user asked for.
class TemporaryFile {
public:
    // The file is made with `mode` as the umask leaves it.
    TemporaryFile(const std::string& target, mode_t mode) : target_(target) {
        // A name no file has: the target's, and six letters drawn anew
        // until one is free, as mkstemp draws them.
        thread_local std::mt19937_64 random{std::random_device{}()};
        constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
            path_ = target + ".";
            for (int i = 0; i < 6; ++i) path_ += kLetters[random() % (sizeof kLetters - 1)];
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        if (fd_ < 0) throw fileError(kCannotWrite, target_, errno);
        removal_.emplace(path_);
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!placed_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }

    void close() {
        if (::close(std::exchange(fd_, -1)) != 0) throw fileError(kCannotWrite, target_, errno);
    }

    void putInPlace() {
        if (std::rename(path_.c_str(), target_.c_str()) != 0) throw fileError(kCannotWrite, target_, errno);
        placed_ = true;
    }

private:
    std::string target_;
    std::string path_;
    int fd_ = -1;
    bool placed_ = false;
    std::optional<RemovedOnTermination> removal_;
};

}  // namespace

size_t writeBinaryFileSafely(const std::string& path, const std::vector<uint8_t>& data, bool executable,
                             Durability durability) {
    const std::optional<mode_t> kept = keptMode(path, executable);
    TemporaryFile temporary(path, executable ? 0777 : 0666);
    writeAll(temporary.fd(), path, data);
    if (kept && fchmod(temporary.fd(), *kept) != 0) throw fileError(kCannotWrite, path, errno);
    if (durability == Durability::OnDisk && fsync(temporary.fd()) != 0) throw fileError(kCannotWrite, path, errno);
    temporary.close();
    checkCancelled();
    temporary.putInPlace();
    return data.size();
}

void checkWritable(const std::string& path) {
    keptMode(path, false);
    const TemporaryFile probe(path, 0600);
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
