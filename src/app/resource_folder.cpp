#include "app/resource_folder.h"

#include <filesystem>
#include <map>

#include "app/resource_names.h"
#include "console/l18n.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

namespace fs = std::filesystem;

std::string rendered(const Message& message) { return message.render(gettext); }

std::string defaultFolder(const std::string& gamePath) {
    std::string name = getFilenameFromPath(gamePath);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name + "_resources";
}

std::string pathIn(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

void createFolder(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error) throw fileError(N_("Cannot write '%s': %s."), path, error.value());
}

}  // namespace

std::string askFolder(const vlf& session, const char* question) {
    printf_colored(kHeading, "%s", _(question));
    const std::string fallback = defaultFolder(session.gamePath);
    const std::string path = readPath(rendered(Message::text(N_("Folder path (default=%s): "), {fallback})));
    return path.empty() ? fallback : path;
}

void appendFolderItems(std::vector<ExportItem>& items, const ResourceIndex& index, const std::string& folder,
                       const std::set<uint64_t>* ids) {
    const ResourceKind& kind = index.kind();
    std::set<uint64_t> taken;
    for (const uint64_t id : index.allIds()) {
        const swf::Tag* tag = index.find(id);
        if (tag == nullptr || index.missingId(id) != nullptr || (ids != nullptr && !ids->contains(id))) continue;
        if (!taken.insert(id).second || (kind.exportable != nullptr && !kind.exportable(*tag))) continue;
        const std::string name = fileName(kind, id, index.symbol(id));
        items.push_back({&kind, id, nullptr, tag, name, pathIn(pathIn(folder, kind.folder), name + kind.fileSuffix)});
    }
}

void exportToFolder(const std::string& folder, std::vector<ExportItem> items) {
    std::vector<bool> unchanged;
    const std::vector<size_t> edited = editedFiles(items, &unchanged);
    if (!mayOverwrite(items, edited)) {
        printf_normal("%s", _("Nothing was written.\n"));
        return;
    }
    std::map<const ResourceKind*, int> counts;
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].skip = unchanged[i];
        counts[items[i].kind] += unchanged[i] ? 1 : 0;
    }
    for (const auto& [kind, count] : counts) createFolder(pathIn(folder, kind->folder));
    convertInOrder(items, [&](const ExportItem& item, Converted&& converted) {
        if (!item.skip && writeConverted(item, std::move(converted))) ++counts[item.kind];
    });
    int total = 0;
    for (const ResourceKind* kind : resourceKinds()) {
        if (!counts.contains(kind)) continue;
        printf_colored(kHeading, _(kind->countMessage), counts[kind]);
        total += counts[kind];
    }
    printf_colored(kHeading, "%s",
                   rendered(Message::text(N_("Exported %s file(s) to '%s'.\n"), {total, folder})).c_str());
}

}  // namespace vorlune_forge
