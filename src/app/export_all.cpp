// Export all resources: every resource the game has, into a folder of a
// subfolder for each kind.

#include "app/dialogues.h"
#include "app/resource_folder.h"

namespace vorlune_forge {

void exportAllResources(vlf& session) {
    const std::string folder =
        askFolder(N_("Which folder do you wish to export to?\n"), folderForExport(session, "_resources"));
    std::vector<ExportItem> items;
    for (const ResourceKind* kind : resourceKinds()) {
        appendFolderItems(items, ResourceIndex(*kind, *session.swfFile), folder);
    }
    exportToFolder(folder, std::move(items));
}

}  // namespace vorlune_forge
