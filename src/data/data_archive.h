#pragma once
// The archive of a data file as the program reads it: from bytes in memory,
// its entries listed once and each extracted once, when first asked for,
// within the bounds the zip reader keeps on what an archive may inflate to
// (codecs/minizip.h).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "codecs/minizip.h"
#include "data/data_file.h"
#include "util/bytes.h"

namespace data {

class DataArchive {
public:
    // `path` names the archive in messages.
    DataArchive(const std::string& path, std::shared_ptr<const ByteBuffer> bytes);

    // The entries' names, in the archive's order.
    const std::vector<std::string>& names() const { return names_; }

    // The content of the entry named `name`, kept for later calls.
    const ByteBuffer& bytes(const std::string& name);

    // The archive as the build reads it; it reads through this object,
    // which must outlive it.
    ArchiveReader reader();

private:
    std::shared_ptr<const ByteBuffer> archive_;
    minizip::Unzipper zip_;
    std::vector<std::string> names_;
    std::map<std::string, ByteBuffer> extracted_;
};

}  // namespace data
