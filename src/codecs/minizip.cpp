#include "codecs/minizip.h"

#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "codecs/zlib.h"
#include "util/byte_cursor.h"

namespace minizip {
namespace {

// The zip format's 16-bit length fields: names and comments longer than
// this cannot be stored. minizip refuses long names and entry comments
// itself, but writes an over-long global comment with a truncated length,
// which leaves an archive nobody can open.
constexpr size_t kMaxFieldLength = 0xFFFF;

// Sizes from here on need the zip64 extension.
constexpr uint64_t kZip64Size = 0xFFFFFFFFu;

// minizip's write call takes an unsigned length, so content goes through it
// in pieces.
constexpr size_t kMaxPiece = size_t{1} << 30;

std::string formatTime(const ZipEntry& entry) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", entry.year, entry.month, entry.day, entry.hour,
                  entry.minute, entry.second);
    return text;
}

}  // namespace

void ZipHandleCloser::operator()(void* handle) const { zipClose(handle, nullptr); }
void UnzipHandleCloser::operator()(void* handle) const { unzClose(handle); }

// ---------------------------------------------------------------- Zipper

// An archive built in memory: minizip writes through these functions as it
// would write a file, seeking back to fill in sizes.
struct MemoryFile {
    std::vector<uint8_t>* bytes;
    uint64_t position = 0;
    zlib_filefunc64_def functions{};
};

namespace {

MemoryFile& memoryOf(voidpf stream) { return *static_cast<MemoryFile*>(stream); }

voidpf memoryOpen(voidpf opaque, const void*, int) { return opaque; }

uLong memoryRead(voidpf, voidpf stream, void* buffer, uLong size) {
    auto& file = memoryOf(stream);
    const uint64_t available = file.position < file.bytes->size() ? file.bytes->size() - file.position : 0;
    const uLong count = static_cast<uLong>(std::min<uint64_t>(size, available));
    if (count != 0) std::memcpy(buffer, file.bytes->data() + file.position, count);
    file.position += count;
    return count;
}

uLong memoryWrite(voidpf, voidpf stream, const void* buffer, uLong size) {
    auto& file = memoryOf(stream);
    if (file.position + size > file.bytes->size()) file.bytes->resize(file.position + size);
    if (size != 0) std::memcpy(file.bytes->data() + file.position, buffer, size);
    file.position += size;
    return size;
}

ZPOS64_T memoryTell(voidpf, voidpf stream) { return memoryOf(stream).position; }

long memorySeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto& file = memoryOf(stream);
    const uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                          : origin == ZLIB_FILEFUNC_SEEK_CUR ? file.position
                                                             : file.bytes->size();
    file.position = base + offset;
    return 0;
}

int memoryClose(voidpf, voidpf) { return 0; }
int memoryError(voidpf, voidpf) { return 0; }

}  // namespace

Zipper::Zipper(std::string path, std::string comment) : path_(std::move(path)), comment_(std::move(comment)) {
    if (path_.empty()) throw minizip_exception(N_("Name of zip file must not be empty."));
    if (comment_.size() > kMaxFieldLength)
        throw minizip_exception(N_("Comment of zip file '%s' is longer than 65535 bytes."), {path_});
    handle_.reset(zipOpen2_64(path_.c_str(), APPEND_STATUS_CREATE, nullptr, nullptr));
    if (!handle_) throw minizip_exception(N_("Could not create '%s'."), {path_});
}

Zipper::Zipper(std::string name, std::string comment, std::vector<uint8_t>& memory)
    : path_(std::move(name)), comment_(std::move(comment)), memory_(std::make_unique<MemoryFile>()) {
    if (comment_.size() > kMaxFieldLength)
        throw minizip_exception(N_("Comment of zip file '%s' is longer than 65535 bytes."), {path_});
    memory.clear();
    memory_->bytes = &memory;
    memory_->functions = {memoryOpen, memoryRead,  memoryWrite, memoryTell,
                          memorySeek, memoryClose, memoryError, memory_.get()};
    handle_.reset(zipOpen2_64(path_.c_str(), APPEND_STATUS_CREATE, nullptr, &memory_->functions));
    if (!handle_) throw minizip_exception(N_("Could not create '%s'."), {path_});
}

Zipper::~Zipper() {
    // A destructor cannot report a failure; callers that need to know that
    // the archive was finished call close() themselves.
    try {
        close();
    } catch (const std::exception&) {
    }
}

void Zipper::add(const std::string& name, const std::string& entryComment, int level, const std::string& content) {
    add(name, entryComment, level, content.data(), content.size());
}

void Zipper::add(const std::string& name, const std::string& entryComment, int level,
                 const std::vector<uint8_t>& content) {
    add(name, entryComment, level, content.data(), content.size());
}

void Zipper::add(const std::string& name, const std::string& entryComment, int level, const void* data, size_t size) {
    if (name.empty()) throw minizip_exception(N_("Name of file to add in zip '%s' must not be empty."), {name});
    if (!handle_) throw minizip_exception(N_("Zip file '%s' is already closed."), {path_});
    void* const zip = handle_.get();

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    zip_fileinfo info{};
    info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
    info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
    info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
    info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
    info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
    info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
    info.dosDate = unix2dostime(now);

    // minizip leaks the entry's header when deflate refuses the level, so
    // the level is checked first, with the result deflate would give.
    const bool validLevel = level >= Z_DEFAULT_COMPRESSION && level <= Z_BEST_COMPRESSION;
    const int zip64 = size >= kZip64Size ? 1 : 0;
    int result = validLevel ? zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0,
                                                    entryComment.c_str(), Z_DEFLATED, level, zip64)
                            : Z_STREAM_ERROR;
    if (result != ZIP_OK) {
        closeAfterFailure();
        throw minizip_exception(N_("Failed to open file '%s' inside '%s'. Error: %s"), {name, path_, result});
    }

    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t written = 0; written < size;) {
        const size_t piece = std::min(size - written, kMaxPiece);
        result = zipWriteInFileInZip(zip, bytes + written, static_cast<unsigned>(piece));
        if (result != ZIP_OK) {
            zipCloseFileInZip(zip);
            closeAfterFailure();
            throw minizip_exception(N_("Failed to write file '%s' inside '%s'. Error: %s"), {name, path_, result});
        }
        written += piece;
    }

    result = zipCloseFileInZip(zip);
    if (result != ZIP_OK) {
        closeAfterFailure();
        throw minizip_exception(N_("Failed to close file '%s' inside '%s'. Error: %s"), {name, path_, result});
    }
}

void Zipper::close() {
    if (!handle_) return;
    const int result = zipClose(handle_.release(), comment_.empty() ? nullptr : comment_.c_str());
    // The central directory is written here; if that fails, the archive is
    // unreadable, and saying nothing would lose the user's data.
    if (result != ZIP_OK) throw minizip_exception(N_("Failed to close zip file '%s'. Error: %s"), {path_, result});
}

void Zipper::closeAfterFailure() noexcept {
    if (handle_) zipClose(handle_.release(), comment_.empty() ? nullptr : comment_.c_str());
}

// -------------------------------------------------------------- Unzipper

// An archive read from memory: minizip reads through these functions as it
// would read a file.
struct MemoryArchive {
    ByteView bytes;
    uint64_t position = 0;
    zlib_filefunc64_def functions{};
};

namespace {

MemoryArchive& archiveOf(voidpf stream) { return *static_cast<MemoryArchive*>(stream); }

uLong archiveRead(voidpf, voidpf stream, void* buffer, uLong size) {
    auto& archive = archiveOf(stream);
    const uint64_t available = archive.position < archive.bytes.size() ? archive.bytes.size() - archive.position : 0;
    const uLong count = static_cast<uLong>(std::min<uint64_t>(size, available));
    if (count != 0) std::memcpy(buffer, archive.bytes.data() + archive.position, count);
    archive.position += count;
    return count;
}

uLong archiveWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T archiveTell(voidpf, voidpf stream) { return archiveOf(stream).position; }

// A place outside the archive is refused, as a file's end would refuse it.
long archiveSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto& archive = archiveOf(stream);
    const uint64_t size = archive.bytes.size();
    const uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                          : origin == ZLIB_FILEFUNC_SEEK_CUR ? archive.position
                                                             : size;
    if (base > size || offset > size - base) return -1;
    archive.position = base + offset;
    return 0;
}

constexpr uint32_t kEndRecordSignature = 0x06054b50;  // "PK\5\6"
constexpr size_t kEndRecordSize = 22;

// The zip format lets an archive hold no entries: it is then its end
// record alone, at its very first byte, where minizip's search for that
// record never looks. The archive's comment, when `bytes` are such an
// archive: no disks, no entries and no directory, and a comment that fills
// the rest.
std::optional<std::string> emptyArchiveComment(ByteView bytes) {
    if (bytes.size() < kEndRecordSize) return std::nullopt;
    ByteCursor<minizip_exception> cursor(bytes, 0, N_("zip archive"));
    if (cursor.u32le(N_("the end record")) != kEndRecordSignature) return std::nullopt;
    uint64_t fields = 0;
    for (int disksAndEntries = 0; disksAndEntries < 4; ++disksAndEntries) fields |= cursor.u16le(N_("the end record"));
    fields |= cursor.u32le(N_("the end record"));  // the directory's size
    fields |= cursor.u32le(N_("the end record"));  // and its place
    const uint16_t commentLength = cursor.u16le(N_("the end record"));
    if (fields != 0 || commentLength != cursor.remaining()) return std::nullopt;
    const ByteView comment = cursor.bytes(commentLength, N_("the archive's comment"));
    return std::string(comment.begin(), comment.end());
}

// How many bytes an inflation reserves before it starts: the declared size,
// unless the compressed bytes could not possibly inflate to it.
size_t plausibleSize(uint64_t declared, size_t compressed) {
    return static_cast<size_t>(std::min<uint64_t>(declared, uint64_t{compressed} * zlib::kMaxExpansion));
}

constexpr unsigned kStored = 0;

// The entry's content from its compressed bytes, never more than one byte
// beyond what it declares: an entry that holds more is refused as soon as
// that byte appears, one that holds less once its data ends.
ByteBuffer inflateEntry(const std::string& path, const std::string& name, const unz_file_info64& info, ByteView data) {
    const uint64_t declared = info.uncompressed_size;
    const size_t limit = static_cast<size_t>(declared) + 1;
    ByteBuffer bytes;
    if (info.compression_method == kStored) {
        bytes.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), limit)));
    } else if (info.compression_method == Z_DEFLATED) {
        try {
            bytes = zlib::raw_decompress(data, plausibleSize(declared, data.size()), limit);
        } catch (const zlib::zlib_exception& e) {
            throw minizip_exception(N_("Cannot inflate file '%s' inside '%s':"), {name, path}, e);
        }
    } else {
        throw minizip_exception(
            N_("File '%s' inside '%s' is compressed with method %s, which this program cannot read."),
            {name, path, static_cast<uint64_t>(info.compression_method)});
    }
    if (bytes.size() > declared) {
        throw minizip_exception(N_("File '%s' inside '%s' inflates to more than the %s bytes it declares."),
                                {name, path, declared});
    }
    if (bytes.size() < declared) {
        throw minizip_exception(N_("File '%s' inside '%s' ended after %s of its %s bytes."),
                                {name, path, bytes.size(), declared});
    }
    return bytes;
}

bool crcMatches(const ByteBuffer& bytes, const unz_file_info64& info) {
    return crc32_z(crc32(0, Z_NULL, 0), bytes.data(), bytes.size()) == info.crc;
}

}  // namespace

Unzipper::Unzipper(std::string name, ByteView bytes)
    : path_(std::move(name)), bytes_(bytes), memory_(std::make_unique<MemoryArchive>()) {
    memory_->bytes = bytes;
    memory_->functions = {memoryOpen,  archiveRead, archiveWrite, archiveTell,
                          archiveSeek, memoryClose, memoryError,  memory_.get()};
    handle_.reset(unzOpen2_64(path_.c_str(), &memory_->functions));
    if (!handle_) {
        if (std::optional<std::string> comment = emptyArchiveComment(bytes)) {
            comment_ = std::move(*comment);
            return;
        }
        throw minizip_exception(N_("Could not open file '%s'."), {path_},
                                minizip_exception(N_("The file is not a zip archive.")));
    }

    unz_global_info64 info{};
    int result = unzGetGlobalInfo64(handle_.get(), &info);
    if (result != UNZ_OK)
        closeAndThrow(minizip_exception(N_("Failed to read global info for '%s'. Error: %s"), {path_, result}));
    entryCount_ = info.number_entry;

    if (info.size_comment > 0) {
        std::vector<char> comment(info.size_comment + 1);
        result = unzGetGlobalComment(handle_.get(), comment.data(), comment.size());
        if (result < 0)
            closeAndThrow(minizip_exception(N_("Failed to read global comment for '%s'. Error: %s"), {path_, result}));
        comment_.assign(comment.data(), static_cast<size_t>(result));
    }
}

Unzipper::~Unzipper() { close(); }

void Unzipper::close() {
    handle_.reset();
    open_ = false;
}

void Unzipper::closeAndThrow(const minizip_exception& error) {
    close();
    throw error;
}

void Unzipper::requireOpen() const {
    if (!open_) throw minizip_exception(N_("Zip file '%s' is already closed."), {path_});
}

uint64_t Unzipper::contentLimit() const { return std::min<uint64_t>(kMaxContent, kMaxContentRatio * bytes_.size()); }

const std::vector<ZipEntry>& Unzipper::getEntries() {
    requireOpen();
    void* const unzip = handle_.get();
    auto fileInfoFailure = [&](uint64_t i, int result) {
        closeAndThrow(
            minizip_exception(N_("Failed to read file info for '%s'. Entry no %s. Error: %s"), {path_, i, result}));
    };

    entries_.clear();
    positions_.clear();
    positionsKnown_ = false;
    bool indexed = true;
    for (uint64_t i = 0; i < entryCount_; ++i) {
        // An extraction moves the current entry; a listing starts over.
        if (i == 0) {
            const int result = unzGoToFirstFile(unzip);
            if (result != UNZ_OK) fileInfoFailure(i, result);
        }
        unz_file_info64 info{};
        int result = unzGetCurrentFileInfo64(unzip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
        if (result != UNZ_OK) fileInfoFailure(i, result);
        ZipEntry entry;
        entry.name.resize(info.size_filename);
        entry.comment.resize(info.size_file_comment);
        result = unzGetCurrentFileInfo64(unzip, &info, entry.name.data(), entry.name.size(), nullptr, 0,
                                         entry.comment.data(), entry.comment.size());
        if (result != UNZ_OK) fileInfoFailure(i, result);

        entry.compressedSize = info.compressed_size;
        entry.uncompressedSize = info.uncompressed_size;
        entry.dosdate = static_cast<uint32_t>(info.dosDate);
        entry.second = info.tmu_date.tm_sec;
        entry.minute = info.tmu_date.tm_min;
        entry.hour = info.tmu_date.tm_hour;
        entry.day = info.tmu_date.tm_mday;
        entry.month = info.tmu_date.tm_mon + 1;
        entry.year = info.tmu_date.tm_year;
        entry.timeText = formatTime(entry);
        unz64_file_pos position{};
        if (unzGetFilePos64(unzip, &position) == UNZ_OK) {
            positions_.try_emplace(entry.name, position.pos_in_zip_directory, position.num_of_file);
        } else {
            indexed = false;
        }
        entries_.push_back(std::move(entry));

        if (i + 1 < entryCount_) {
            result = unzGoToNextFile(unzip);
            if (result != UNZ_OK)
                closeAndThrow(minizip_exception(N_("Failed to go to next file on '%s'. Entry no %s. Error: %s"),
                                                {path_, i, result}));
        }
    }
    positionsKnown_ = indexed;
    return entries_;
}

// minizip's own lookup refuses names of 256 bytes or more, which the zip
// format and Zipper allow, so the central directory is walked here and whole
// names are compared byte for byte; once the entries were listed, the
// position of each name is known and the walk is not needed.
bool Unzipper::locateEntry(const std::string& name) {
    void* const unzip = handle_.get();
    if (unzip == nullptr) return false;  // an archive of no entries
    if (positionsKnown_) {
        const auto known = positions_.find(name);
        if (known == positions_.end()) return false;
        unz64_file_pos position{known->second.first, known->second.second};
        return unzGoToFilePos64(unzip, &position) == UNZ_OK;
    }
    for (int result = unzGoToFirstFile(unzip); result == UNZ_OK; result = unzGoToNextFile(unzip)) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(unzip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
        if (info.size_filename != name.size()) continue;
        std::string current(name.size(), '\0');
        if (unzGetCurrentFileInfo64(unzip, nullptr, current.data(), current.size(), nullptr, 0, nullptr, 0) != UNZ_OK)
            return false;
        if (current == name) return true;
    }
    return false;
}

// The entry's compressed bytes, which minizip finds behind the entry's
// local header; no more of them than the archive holds.
ByteView Unzipper::compressedData(const std::string& name) {
    void* const unzip = handle_.get();
    unz_file_info64 info{};
    int result = unzGetCurrentFileInfo64(unzip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (result == UNZ_OK) result = unzOpenCurrentFile2(unzip, nullptr, nullptr, 1);
    if (result != UNZ_OK)
        closeAndThrow(minizip_exception(N_("Failed to open file '%s' inside '%s'. Error: %s"), {name, path_, result}));
    const uint64_t start = unzGetCurrentFileZStreamPos64(unzip);
    unzCloseCurrentFile(unzip);
    if (start > bytes_.size()) return {};
    return bytes_.subspan(start, std::min<uint64_t>(info.compressed_size, bytes_.size() - start));
}

void Unzipper::extractEntryToMemory(const std::string& name, std::vector<uint8_t>& out) {
    requireOpen();
    if (!locateEntry(name)) throw minizip_exception(N_("File '%s' not found inside '%s'."), {name, path_});
    void* const unzip = handle_.get();

    unz_file_info64 info{};
    const int result = unzGetCurrentFileInfo64(unzip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (result != UNZ_OK)
        closeAndThrow(
            minizip_exception(N_("Failed to read file info of '%s' for '%s'. Error: %s"), {name, path_, result}));
    // Refused before anything is inflated; the archive stays usable for the
    // other entries. (minizip on 64-bit Linux does not pick up the zip64
    // sizes, so such an entry shows 0xFFFFFFFF here, beyond any limit.)
    const uint64_t left = contentLimit() - inflated_;
    if (info.uncompressed_size > left) {
        throw minizip_exception(
            N_("File '%s' inside '%s' would inflate to %s bytes, but only %s more are allowed: the entries of an "
               "archive may inflate to at most %s bytes in all, and to at most %s times the archive's size."),
            {name, path_, static_cast<uint64_t>(info.uncompressed_size), left, kMaxContent, kMaxContentRatio});
    }

    ByteBuffer bytes = inflateEntry(path_, name, info, compressedData(name));
    if (!crcMatches(bytes, info)) throw minizip_exception(N_("File '%s' was read but the CRC is not good."), {name});
    inflated_ += bytes.size();
    out = std::move(bytes);
}

// ------------------------------------------------------------ DOS times

uint32_t dostime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980 || year > 2107 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59)
        return 0;
    return (static_cast<uint32_t>(year - 1980) << 25) | (static_cast<uint32_t>(month) << 21) |
           (static_cast<uint32_t>(day) << 16) | (static_cast<uint32_t>(hour) << 11) |
           (static_cast<uint32_t>(minute) << 5) | (static_cast<uint32_t>(second) >> 1);
}

uint32_t unix2dostime(std::time_t t) {
    // DOS times count seconds in twos.
    const std::time_t even = t + (t & 1);
    std::tm local{};
    if (localtime_r(&even, &local) == nullptr) return 0;
    return dostime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

std::time_t dos2unixtime(uint32_t dosDate) {
    const int month = static_cast<int>((dosDate >> 21) & 0x0F);
    const int day = static_cast<int>((dosDate >> 16) & 0x1F);
    const int hour = static_cast<int>((dosDate >> 11) & 0x1F);
    const int minute = static_cast<int>((dosDate >> 5) & 0x3F);
    const int second = static_cast<int>(dosDate & 0x1F) * 2;
    if (month < 1 || month > 12 || day == 0 || hour > 23 || minute > 59 || second > 59) return -1;
    std::tm local{};
    local.tm_year = static_cast<int>((dosDate >> 25) & 0x7F) + 80;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;  // let the conversion decide whether daylight saving applies
    return std::mktime(&local);
}

}  // namespace minizip
