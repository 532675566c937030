#include "data/data_archive.h"

#include <utility>

namespace data {

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

ArchiveReader DataArchive::reader() {
    return {names_, [this](const std::string& name) { return bytes(name); }};
}

}  // namespace data
