#include "app/resource_folder.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/resource_names.h"
#include "console/l18n.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

namespace fs = std::filesystem;

// Whether the file at `path` lies in `folder` or in a folder inside it.
bool liesIn(const std::string& path, const std::string& folder) {
    std::error_code error;
    const fs::path file = fs::weakly_canonical(path, error);
    const fs::path within = fs::weakly_canonical(folder, error);
    if (error) return false;
    const auto [end, unused] = std::mismatch(within.begin(), within.end(), file.begin(), file.end());
    return end == within.end();
}

bool holdsAppliedFile(const vlf& session, const std::string& folder) {
    const std::vector<const ChangeLog::Change*> changes = session.changes.differences();
    return std::any_of(changes.begin(), changes.end(), [&](const ChangeLog::Change* change) {
        return !change->source.empty() && liesIn(change->source, folder);
    });
}

void createFolder(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error) throw fileError(N_("Cannot write '%s': %s."), path, error.value());
}

}  // namespace

std::string pathIn(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

std::string folderForGame(const vlf& session, const std::string& suffix) {
    std::string name = getFilenameFromPath(session.gamePath);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name + suffix;
}

std::string folderForExport(const vlf& session, const std::string& suffix) {
    const std::string folder = folderForGame(session, suffix);
    for (int number = 2; holdsAppliedFile(session, folder); ++number) {
        const std::string numbered = folder + std::to_string(number);
        if (!holdsAppliedFile(session, numbered)) return numbered;
    }
    return folder;
}

std::string askFolder(const char* question, const std::string& fallback) {
    printf_colored(kHeading, "%s", _(question));
    const std::string path = readPath(translated(N_("Folder path (default=%s): "), {fallback}));
    return path.empty() ? fallback : path;
}

ExportItem folderItem(const std::string& folder, const ResourceKind& kind, uint64_t id, const swf::Tag* tag,
                      const std::string& name) {
    return {.kind = &kind, .id = id, .tag = tag, .name = name, .path = pathIn(pathIn(folder, kind.folder), name)};
}

void appendFolderItems(std::vector<ExportItem>& items, const ResourceIndex& index, const std::string& folder) {
    const ResourceKind& kind = index.kind();
    std::set<uint64_t> taken;
    for (const uint64_t id : index.allIds()) {
        const swf::Tag* tag = index.find(id);
        if (tag == nullptr || index.missingId(id) != nullptr) continue;
        if (!taken.insert(id).second || (kind.exportable != nullptr && !kind.exportable(*tag))) continue;
        const std::string name = fileName(kind, id, index.symbol(id), tag);
        // A kind whose resources go into folders of files writes its
        // resource as a folder named after it.
        const bool asFolder = kind.folderEntries != nullptr;
        items.push_back(folderItem(folder, kind, id, tag, asFolder ? name : name + kind.fileSuffix));
        items.back().asFolder = asFolder;
    }
}

bool exportToFolder(const std::string& folder, std::vector<ExportItem> items) {
    std::vector<bool> unchanged;
    const std::vector<size_t> edited = editedFiles(items, &unchanged);
    if (!mayOverwrite(items, edited)) {
        printf_normal("%s", _("Nothing was written.\n"));
        return false;
    }
    std::map<const ResourceKind*, int> counts;
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].skip = unchanged[i];
        counts[items[i].kind] += unchanged[i] ? 1 : 0;
    }
    for (const auto& [kind, count] : counts) createFolder(pathIn(folder, kind->folder));
    // A kind's folder that disappears during the export is told once; the
    // files meant for it count as failed.
    size_t failed = 0;
    std::set<const ResourceKind*> gone;
    convertInOrder(items, [&](const ExportItem& item, Converted&& converted) {
        if (item.skip) return;
        if (!gone.contains(item.kind) && writeConverted(item, std::move(converted))) {
            ++counts[item.kind];
            return;
        }
        ++failed;
        const std::string kindFolder = pathIn(folder, item.kind->folder);
        std::error_code error;
        if (!gone.contains(item.kind) && !fs::is_directory(kindFolder, error)) {
            gone.insert(item.kind);
            printf_error(
                "%s",
                translated(N_("The folder '%s' is gone; nothing more is written there.\n"), {kindFolder}).c_str());
        }
    });
    int total = 0;
    for (const ResourceKind* kind : resourceKinds()) {
        if (!counts.contains(kind)) continue;
        printf_colored(kHeading, _(kind->countMessage), counts[kind]);
        total += counts[kind];
    }
    // The last line counts the failures too, which scrolled by with the
    // files written.
    const Message last = failed == 0
                             ? Message::text(N_("Exported %s file(s) to '%s'.\n"), {total, folder})
                             : Message::text(N_("Exported %s file(s) to '%s'; %s failed.\n"), {total, folder, failed});
    printf_colored(kHeading, "%s", translated(last).c_str());
    return true;
}

}  // namespace vorlune_forge
