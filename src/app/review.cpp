// Review changes: what differs from the game as it was loaded, and, from
// there, reverting changes and exporting the changed resources to a folder.

#include <algorithm>
#include <map>
#include <set>

#include "app/dialogues.h"
#include "app/id_lists.h"
#include "app/menus.h"
#include "app/mod_manifest.h"
#include "app/resource_folder.h"
#include "app/resource_names.h"
#include "console/l18n.h"
#include "console/screen.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// A listing taller than the terminal stops at each screenful; ending it
// there ends the listing, and the review's menu follows.
void listDifferences(const vlf& session, const std::vector<const ChangeLog::Change*>& differences) {
    const std::map<uint64_t, std::string> symbols = session.swfFile->symbolNames();
    try {
        const Paging paging;
        printf_colored(kHeading, "%s", _("These resources differ from the game as it was loaded:\n"));
        for (const ChangeLog::Change* change : differences) {
            const Message title =
                resourceTitle(*change->kind, change->id, symbolOf(symbols, change->id), change->current);
            const Message summary = changeSummary(*change->kind, *change->loaded, *change->current);
            printf_normal("%s", translated(N_("%s, from '%s': %s\n"), {title, change->source, summary}).c_str());
        }
    } catch (const go_back&) {
    }
}

// The changed resources, as the user may name them.
IdNames changedNames(const std::vector<const ChangeLog::Change*>& differences,
                     const std::map<uint64_t, std::string>& symbols) {
    std::vector<IdNames::Resource> resources;
    for (const ChangeLog::Change* change : differences) {
        const ResourceKind& kind = *change->kind;
        resources.push_back(
            {change->id, symbolOf(symbols, change->id), exportExtension(kind, change->current) + kind.fileSuffix});
    }
    return IdNames(std::move(resources), N_("No changed resource named '%s'.\n"));
}

void revertDialogue(vlf& session) {
    printf_colored(kHeading, "%s", _("Which changes do you wish to revert?\n"));
    std::string answer;
    readLine(answer, _("Type 'all' or comma separated IDs: "), History::Ids);
    const std::vector<const ChangeLog::Change*> differences = session.changes.differences();
    const std::map<uint64_t, std::string> symbols = session.swfFile->symbolNames();
    std::vector<uint64_t> ids;
    if (isAll(answer)) {
        for (const ChangeLog::Change* change : differences) ids.push_back(change->id);
    } else {
        const IdAnswer read = getVectorOfNumbers(answer, changedNames(differences, symbols));
        if (read.refusal) {
            printf_error("%s", translated(*read.refusal).c_str());
            return;
        }
        ids = read.ids;
    }
    for (const uint64_t id : ids) {
        const auto found = std::find_if(differences.begin(), differences.end(),
                                        [id](const ChangeLog::Change* change) { return change->id == id; });
        if (found == differences.end()) {
            printf_error(_("No changed resource with ID=%zu.\n"), static_cast<size_t>(id));
            continue;
        }
        const ResourceKind& kind = *(*found)->kind;
        session.changes.revert(*session.swfFile, kind, id);
        printf_normal(
            "%s", translated(N_("Reverted %s.\n"), {resourceTitle(kind, id, symbolOf(symbols, id), (*found)->current)})
                      .c_str());
    }
}

// Each changed resource is written as the file that made the change, byte
// for byte, so that the folder applied to the game as it was loaded makes
// the game as it is now; mod.json beside them says what game that is.
void exportChanges(vlf& session) {
    const std::string folder = askFolder(N_("Which folder do you wish to export the changed resources to?\n"),
                                         folderForExport(session, "_mod"));
    const std::map<uint64_t, std::string> symbols = session.swfFile->symbolNames();
    ModManifest manifest{
        getFilenameFromPath(session.gamePath), session.changes.loadedMovieDigest(*session.swfFile), {}};
    std::vector<ExportItem> items;
    for (const ChangeLog::Change* change : session.changes.differences()) {
        const ResourceKind& kind = *change->kind;
        const std::string symbol = symbolOf(symbols, change->id);
        std::string name = fileName(kind, change->id, symbol, change->current) + kind.fileSuffix;
        if (change->sourceEntries) {
            name = fileStem(kind, change->id, symbol);
        } else if (change->sourceBytes) {
            name = fileStem(kind, change->id, symbol) + change->sourceExtension;
        }
        items.push_back(folderItem(folder, kind, change->id, change->current, name));
        items.back().entries = change->sourceEntries;
        items.back().bytes = change->sourceBytes;
        items.back().asFolder = change->sourceEntries != nullptr;
        manifest.resources.push_back(
            {kind.folder, change->id, symbol, std::string(kind.folder) + "/" + name, change->loadedPrint.digest});
    }
    if (!exportToFolder(folder, std::move(items))) return;
    try {
        writeBinaryFileSafely(pathIn(folder, kManifestName), manifestFile(manifest), false, Durability::Written);
    } catch (const std::exception& e) {
        reportFailure(e);
    }
}

}  // namespace

void reviewChanges(vlf& session) {
    const std::vector<MenuEntry> entries = {
        {N_("Revert"), [&] { revertDialogue(session); }},
        {N_("Export changed resources to a folder"), [&] { exportChanges(session); }},
        {N_("Back"), nullptr},
    };
    for (;;) {
        const std::vector<const ChangeLog::Change*> differences = session.changes.differences();
        if (differences.empty()) {
            printf_normal("%s", _("Nothing differs from the game as it was loaded.\n"));
            return;
        }
        listDifferences(session, differences);
        printOptions(entries);
        std::string answer;
        readLine(answer, "");
        const std::optional<size_t> chosen = chosenEntry(answer, entries.size());
        if (!chosen) {
            printf_error("%s", _("Invalid option.\n"));
            continue;
        }
        if (!entries[*chosen].action) return;
        entries[*chosen].action();
    }
}

}  // namespace vorlune_forge
