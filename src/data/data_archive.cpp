#include "data/data_archive.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "console/l18n_files.h"
#include "swf/swf_exception.h"

namespace data {

namespace fs = std::filesystem;

std::vector<NamedEntry> DataEntries::all() {
    std::vector<NamedEntry> entries;
    for (const std::string& name : names_) entries.push_back({name, bytes(name)});
    return entries;
}

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
        ByteBuffer bytes;
        l18n::readBinaryFile(path.string(), bytes);
        size_ += bytes.size();
        if (size_ > minizip::kMaxContent) {
            throw swf::swf_exception(N_("The files of '%s' hold more than the %s bytes a data file may hold."),
                                     {root, minizip::kMaxContent});
        }
        names_.push_back(entry);
        files_.emplace(entry, std::move(bytes));
    }
}

}  // namespace data
