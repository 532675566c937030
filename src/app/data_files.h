#pragma once
// The two conversions of data files: to a zip archive of JSON documents and
// PNG files, and back from such an archive.

#include <cstdint>
#include <string>

#include "app/resource_kind.h"

namespace vorlune_forge {

// The data file as a zip archive.
ByteBuffer dataArchive(swf::SWF& game, uint64_t id);

// Opens the archive at `path`; what it returns rebuilds the data file from
// it, telling the user about pictures that will not show.
Replacement readDataArchive(const std::string& path);

}  // namespace vorlune_forge
