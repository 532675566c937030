#include "data/data_archive.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "console/l18n_files.h"
#include "swf/swf_exception.h"

namespace data {

namespace fs = std::filesystem;

ArchiveReader DataEntries::reader() {
    return {names_, [this](const std::string& name) { return bytes(name); }};
}

DataArchive::DataArchive(const std::string& path, std::shared_ptr<const ByteBuffer> bytes)
    : archive_(std::move(bytes)), zip_(path, *archive_) {
    for (const minizip::ZipEntry& entry : zip_.getEntries()) names_.push_back(entry.name);
}

const ByteBuffer& DataArchive::bytes(const std::string& name) {
    auto found = extracted_.find(name);
    if (found == extracted_.end()) {
        ByteBuffer bytes;
        zip_.extractEntryToMemory(name, bytes);
        found = extracted_.emplace(name, std::move(bytes)).first;
    }
    return found->second;
}

std::vector<NamedEntry> DataArchive::takeAll() {
    std::vector<NamedEntry> entries;
    for (const std::string& name : names_) {
        zip_.extractEntryToMemory(name, entries.emplace_back(NamedEntry{name, {}}).bytes);
    }
    extracted_.clear();
    return entries;
}

namespace {

void checkSize(const std::string& root, uint64_t size) {
    if (size > minizip::kMaxContent) {
        throw swf::swf_exception(N_("The files of '%s' hold more than the %s bytes a data file may hold."),
                                 {root, minizip::kMaxContent});
    }
}

}  // namespace

DataFolder::DataFolder(const std::string& path) { read(path, ""); }

// Each folder's files in the order of their names, so that the entries
// come out the same every time.
void DataFolder::read(const std::string& root, const std::string& prefix) {
    const fs::path folder = fs::path(root) / prefix;
    std::error_code error;
    std::vector<fs::path> paths;
    for (fs::directory_iterator each(folder, error), end; !error && each != end; each.increment(error)) {
        paths.push_back(each->path());
    }
    if (error) throw fileError(kCannotRead, folder.string(), error.value());
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        const std::string name = path.filename().string();
        if (name.empty() || name.front() == '.') continue;
        const std::string entry = prefix.empty() ? name : prefix + "/" + name;
        const fs::file_status status = fs::symlink_status(path, error);
        if (!error && fs::is_directory(status)) {
            read(root, entry);
            continue;
        }
        if (!error && fs::is_symlink(status)) {
            throw swf::swf_exception(N_("'%s' is a link; a data file's folder holds only files."), {path.string()});
        }
        // A file too large is refused by its size before it is read, and
        // again by what was read, should it have grown meanwhile.
        const uintmax_t announced = fs::file_size(path, error);
        if (!error) checkSize(root, size_ + announced);
        ByteBuffer bytes;
        l18n::readBinaryFile(path.string(), bytes);
        size_ += bytes.size();
        checkSize(root, size_);
        names_.push_back(entry);
        files_.emplace(entry, std::move(bytes));
    }
}

std::vector<NamedEntry> DataFolder::takeAll() {
    std::vector<NamedEntry> entries;
    for (const std::string& name : names_) entries.push_back({name, std::move(files_.at(name))});
    files_.clear();
    return entries;
}

EntryList::EntryList(std::shared_ptr<const std::vector<NamedEntry>> entries) : entries_(std::move(entries)) {
    for (size_t i = 0; i < entries_->size(); ++i) {
        names_.push_back((*entries_)[i].name);
        places_.emplace((*entries_)[i].name, i);
    }
}

const ByteBuffer& EntryList::bytes(const std::string& name) { return (*entries_)[places_.at(name)].bytes; }

}  // namespace data
