#pragma once
// The two conversions of data files: to a zip archive of JSON documents and
// PNG files, and back from such an archive.

#include <cstdint>
#include <string>

#include "app/resource_kind.h"

namespace vorlune_forge {

// The data file of a DefineBinaryData tag as a zip archive.
ByteBuffer dataArchive(const swf::Tag& tag);

// Whether the archive at `path` holds the entries the data file's export
// writes, whatever their times and compression.
bool dataArchiveHolds(const std::string& path, const swf::Tag& tag);

// The entries of the data file's archive, as a folder holds them; and
// whether the folder at `path` holds them.
std::vector<data::NamedEntry> dataEntries(const swf::Tag& tag);
bool dataFolderHolds(const std::string& path, const swf::Tag& tag);

// Reads the archive, or the folder, at `path`; what it returns rebuilds the
// data file from its entries, warning of pictures that will not show.
ReplacementFile readDataArchive(const std::string& path);

}  // namespace vorlune_forge
