#pragma once
// A folder of resources as the whole-mod dialogues write it: a subfolder
// for each kind, named after the kind's row, holding the resources' files
// as their section exports name them.

#include <set>
#include <string>
#include <vector>

#include "app/bulk_export.h"
#include "app/resource_index.h"
#include "app/vlf.h"

namespace vorlune_forge {

// Asks the question and a folder path; "<game>_resources", the loaded
// file's name without its extension, when the answer is empty.
std::string askFolder(const vlf& session, const char* question);

// The items that write every resource of the kind that the game has into
// the kind's folder of `folder`, or only those of `ids` when given.
void appendFolderItems(std::vector<ExportItem>& items, const ResourceIndex& index, const std::string& folder,
                       const std::set<uint64_t>* ids = nullptr);

// Writes the items' files, after asking before it overwrites a file that
// differs from its resource; files that hold their resource already are
// left as they are.
void exportToFolder(const std::string& folder, std::vector<ExportItem> items);

}  // namespace vorlune_forge
