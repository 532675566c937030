#pragma once
// The entries of a data file as the data fuzz targets compare them, and the
// content an archive of them builds.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "data/data_file.h"
#include "util/bytes.h"

namespace fuzz {

using Entries = std::vector<std::pair<std::string, ByteBuffer>>;

// The content of a data file of `kind` made from an archive holding the
// entries, in their order.
inline ByteBuffer contentOf(data::DataKind kind, const Entries& entries) {
    std::map<std::string, ByteBuffer> files;
    data::ArchiveReader archive;
    for (const auto& [name, bytes] : entries) {
        archive.names.push_back(name);
        files.emplace(name, bytes);
    }
    archive.extract = [&files](const std::string& name) { return files.at(name); };
    return data::buildDataContent(kind, archive, [](data::LimbWarning, int) {});
}

}  // namespace fuzz
