#pragma once
// The entries a data file is rebuilt from, as the program reads them: those
// of a zip archive in memory, listed once and each extracted once when
// first asked for, within the bounds the zip reader keeps on what an
// archive may inflate to (codecs/minizip.h); or the files of a folder,
// read once, within the same bounds.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "codecs/minizip.h"
#include "data/data_file.h"
#include "util/bytes.h"

namespace data {

// An entry by its name in the archive or its path within the folder.
struct NamedEntry {
    std::string name;
    ByteBuffer bytes;
};

class DataEntries {
public:
    virtual ~DataEntries() = default;

    // The entries' names, in the archive's order or the folder's.
    const std::vector<std::string>& names() const { return names_; }
    // The content of the entry named `name`.
    virtual const ByteBuffer& bytes(const std::string& name) = 0;

    // The entries as the build reads them; it reads through this object,
    // which must outlive it.
    ArchiveReader reader();

protected:
    std::vector<std::string> names_;
};

class DataArchive : public DataEntries {
public:
    // `path` names the archive in messages.
    DataArchive(const std::string& path, std::shared_ptr<const ByteBuffer> bytes);

    const ByteBuffer& bytes(const std::string& name) override;
    // Every entry, extracted now; none is left here.
    std::vector<NamedEntry> takeAll();

private:
    std::shared_ptr<const ByteBuffer> archive_;
    minizip::Unzipper zip_;
    std::map<std::string, ByteBuffer> extracted_;
};

// The files of a folder and of the folders inside it, named by their paths
// within it ("Attack_0.json", "sub/x.json"), but for names that begin with
// a dot. Only regular files are read, and no more than an archive may
// inflate to; anything else is refused, naming it.
class DataFolder : public DataEntries {
public:
    explicit DataFolder(const std::string& path);

    const ByteBuffer& bytes(const std::string& name) override { return files_.at(name); }
    // Every file; none is left here.
    std::vector<NamedEntry> takeAll();

private:
    void read(const std::string& root, const std::string& prefix);

    std::map<std::string, ByteBuffer> files_;
    uint64_t size_ = 0;
};

// Entries read whole beforehand, shared with whoever keeps them: what a
// change of a data file came from, and what it is built from.
class EntryList : public DataEntries {
public:
    explicit EntryList(std::shared_ptr<const std::vector<NamedEntry>> entries);

    const ByteBuffer& bytes(const std::string& name) override;

private:
    std::shared_ptr<const std::vector<NamedEntry>> entries_;
    std::map<std::string, size_t> places_;
};

}  // namespace data
