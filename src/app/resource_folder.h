#pragma once
// A folder of resources as the whole-mod dialogues write it: a subfolder
// for each kind, named after the kind's row, holding the resources' files
// as their section exports name them.

#include <string>
#include <vector>

#include "app/bulk_export.h"
#include "app/resource_index.h"
#include "app/vlf.h"

namespace vorlune_forge {

// "<game><suffix>" ("_resources", "_mod"): the loaded file's name without
// its extension, and the suffix.
std::string folderForGame(const vlf& session, const std::string& suffix);
// The same, numbered ("<game>_mod2", ...) when it holds a file that changed
// the game, so that an export never writes over the files a change came
// from.
std::string folderForExport(const vlf& session, const std::string& suffix);

// Asks the question and a folder path; `fallback` when the answer is empty.
std::string askFolder(const char* question, const std::string& fallback);

// The item that writes a resource's file, `name`, into the kind's folder of
// `folder`.
ExportItem folderItem(const std::string& folder, const ResourceKind& kind, uint64_t id, const swf::Tag* tag,
                      const std::string& name);

// The items that write every resource of the kind that the game has into
// the kind's folder of `folder`: as files, or as folders of files for a
// kind whose resources are written so (data files).
void appendFolderItems(std::vector<ExportItem>& items, const ResourceIndex& index, const std::string& folder);

// Writes the items' files, after asking before it overwrites a file that
// differs from its resource; files that hold their resource already are
// left as they are. False when the user would not have files overwritten,
// and nothing was written.
bool exportToFolder(const std::string& folder, std::vector<ExportItem> items);

// The path of `name` in `folder`.
std::string pathIn(const std::string& folder, const std::string& name);

}  // namespace vorlune_forge
