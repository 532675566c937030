// A whole mod at once: every resource exported to a folder, a folder of
// resource files applied to the game, and the changes reviewed, reverted or
// exported on their own.

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "app/bulk_export.h"
#include "app/id_lists.h"
#include "app/resource_index.h"
#include "app/resource_names.h"
#include "app/vlf.h"
#include "console/l18n.h"
#include "console/screen.h"
#include "console/signals.h"
#include "util/strings.h"
#include "util/thread_pool.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

namespace fs = std::filesystem;

std::string rendered(const Message& message) { return message.render(gettext); }

// "<game>_resources": the loaded file's name without its extension, in the
// current folder.
std::string defaultFolder(const std::string& gamePath) {
    std::string name = getFilenameFromPath(gamePath);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name + "_resources";
}

std::string pathIn(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

// The items that write every resource of the kind that the game has into
// the kind's folder of `folder`, or only those of `ids` when given.
void appendFolderItems(std::vector<ExportItem>& items, const ResourceIndex& index, const std::string& folder,
                       const std::set<uint64_t>* ids = nullptr) {
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

void createFolder(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error) throw fileError(N_("Cannot write '%s': %s."), path, error.value());
}

// A file of the folder that stands for a resource by its name.
struct Claim {
    const ResourceKind* kind;
    uint64_t id;
    std::string path;
};

// The files of a folder and of the folders inside it, but for names that
// begin with a dot, without following links to folders.
struct FolderFiles {
    std::vector<Claim> claims;
    size_t ignored = 0;  // files not named like resources
};

FolderFiles scanFolder(const std::string& folder, std::span<const ResourceKind* const> kinds) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        throw fileError(N_("Cannot read '%s': %s."), folder, fs::exists(folder, error) ? ENOTDIR : ENOENT);
    }
    FolderFiles files;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const std::string name = walk->path().filename().string();
        const bool isLink = walk->is_symlink(error);
        if (!name.empty() && name.front() == '.') {
            if (walk->is_directory(error) && !isLink) walk.disable_recursion_pending();
            continue;
        }
        if (!walk->is_regular_file(error)) continue;
        if (const std::optional<NamedResource> named = resourceOfFileName(name, kinds)) {
            files.claims.push_back({named->kind, named->id, walk->path().string()});
        } else {
            ++files.ignored;
        }
    }
    if (error) throw fileError(N_("Cannot read '%s': %s."), folder, error.value());
    return files;
}

// What reading and converting one file gave.
struct Prepared {
    std::unique_ptr<swf::Tag> tag;  // nothing when unchanged or failed
    std::vector<Message> warnings;
    std::exception_ptr failure;
};

// One line of the report of an apply, in the order of the kinds and ids.
struct ReportLine {
    std::pair<size_t, uint64_t> key;
    std::string text;
    bool error;
};

// The report in the order of the kinds and ids. On a terminal a long one
// stops at each screenful; ending it there still leads to the question.
void printReport(std::vector<ReportLine> report) {
    std::stable_sort(report.begin(), report.end(),
                     [](const ReportLine& a, const ReportLine& b) { return a.key < b.key; });
    try {
        const Paging paging;
        for (const ReportLine& line : report) {
            if (line.error) {
                printf_error("%s", line.text.c_str());
            } else {
                printf_normal("%s", line.text.c_str());
            }
        }
    } catch (const go_back&) {
    }
}

// An apply under way: the resources of the game, found once, and what the
// folder's files would do to them.
class FolderApply {
public:
    FolderApply(std::span<const ResourceKind* const> kinds, const swf::SWF& game) : kinds_(kinds) {
        for (const ResourceKind* kind : kinds) indices_.emplace_back(*kind, game);
    }

    // The files that name no resource of the game and the resources that
    // more than one file claims are reported; the others are to convert.
    void sortClaims(const FolderFiles& files) {
        ignored_ = files.ignored;
        std::map<Key, std::vector<const Claim*>> claimed;
        for (const Claim& claim : files.claims) {
            const Key key = keyOf(claim);
            if (indices_[key.first].missingId(claim.id) == nullptr) {
                claimed[key].push_back(&claim);
                continue;
            }
            ++notMatched_;
            addLine(key, Message::text(N_("'%s' matches no resource: the game has no %s with ID=%s.\n"),
                                       {claim.path, Message::text(claim.kind->noun), claim.id}));
        }
        for (const auto& [key, claims] : claimed) {
            if (claims.size() == 1) {
                work_.push_back(*claims.front());
                continue;
            }
            std::string names;
            for (const Claim* claim : claims) names += (names.empty() ? "'" : ", '") + claim->path + "'";
            addLine(key, Message::text(N_("%s is claimed by more than one file, so none of them is applied: %s\n"),
                                       {title(key), names}));
            failed_ += claims.size();
        }
    }

    // Reads and converts every file on every processor; Ctrl-C stops it.
    void prepare() {
        prepared_.resize(work_.size());
        parallelOrdered<Prepared>(
            work_.size(), [&](size_t i) { return prepareOne(work_[i]); },
            [&](size_t i, Prepared&& result) {
                checkInterrupt();
                prepared_[i] = std::move(result);
            });
        for (size_t i = 0; i < work_.size(); ++i) reportPrepared(work_[i], prepared_[i]);
    }

    void report() {
        printReport(std::move(report_));
        report_.clear();
        const Message counts = Message::text(
            N_("%s changed, %s unchanged, %s failed, %s not matched, %s ignored (not named like resources).\n"),
            {changed_, unchanged_, failed_, notMatched_, ignored_});
        printf_colored(kHeading, "%s", rendered(counts).c_str());
    }

    size_t changed() const { return changed_; }

    void putInto(swf::SWF& game, ChangeLog& changes) {
        for (size_t i = 0; i < work_.size(); ++i) {
            if (!prepared_[i].tag) continue;
            const Claim& claim = work_[i];
            const swf::Tag& current = indexOf(claim).tag(claim.id);
            changes.replace(game, *claim.kind, current, std::move(prepared_[i].tag), claim.path);
        }
    }

private:
    using Key = std::pair<size_t, uint64_t>;

    Key keyOf(const Claim& claim) const {
        return {static_cast<size_t>(std::find(kinds_.begin(), kinds_.end(), claim.kind) - kinds_.begin()), claim.id};
    }
    const ResourceIndex& indexOf(const Claim& claim) const { return indices_[keyOf(claim).first]; }
    Message title(const Key& key) const {
        const ResourceIndex& index = indices_[key.first];
        return resourceTitle(index.kind(), key.second, index.symbol(key.second));
    }
    void addLine(const Key& key, const Message& text, bool error = true) {
        report_.push_back({key, rendered(text), error});
    }

    Prepared prepareOne(const Claim& claim) const {
        Prepared result;
        const ResourceIndex& index = indexOf(claim);
        try {
            const Replacement replacement = claim.kind->readReplacement(claim.path);
            result.tag = replacement(index.tag(claim.id), index.symbol(claim.id),
                                     [&](const Message& warning) { result.warnings.push_back(warning); });
        } catch (const std::exception&) {
            // Ctrl-C escapes and stops the whole apply.
            result.failure = std::current_exception();
        }
        return result;
    }

    void reportPrepared(const Claim& claim, const Prepared& result) {
        const Key key = keyOf(claim);
        if (result.failure) {
            ++failed_;
            try {
                std::rethrow_exception(result.failure);
            } catch (const std::exception& e) {
                addLine(key, Message::text(N_("'%s': %s\n"), {claim.path, errorText(e)}));
            }
            return;
        }
        if (!result.tag) {
            ++unchanged_;
            return;
        }
        ++changed_;
        const swf::Tag& current = indexOf(claim).tag(claim.id);
        addLine(key, Message::text(N_("%s: %s\n"), {title(key), changeSummary(*claim.kind, current, *result.tag)}),
                false);
        for (const Message& warning : result.warnings) addLine(key, warning, false);
        if (const char* warning = claim.kind->changeWarning(current, *result.tag)) {
            addLine(key, Message::text(warning), false);
        }
    }

    std::span<const ResourceKind* const> kinds_;
    std::vector<ResourceIndex> indices_;
    std::vector<Claim> work_;
    std::vector<Prepared> prepared_;
    std::vector<ReportLine> report_;
    size_t changed_ = 0;
    size_t unchanged_ = 0;
    size_t failed_ = 0;
    size_t notMatched_ = 0;
    size_t ignored_ = 0;
};

}  // namespace

std::string vlf::askFolder(const char* question) {
    printf_colored(kHeading, "%s", _(question));
    const std::string fallback = defaultFolder(gamePath);
    const std::string path = readPath(rendered(Message::text(N_("Folder path (default=%s): "), {fallback})));
    return path.empty() ? fallback : path;
}

void vlf::exportToFolder(const std::string& folder, std::vector<ExportItem> items) {
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
    for (const ResourceKind* kind : resourceKinds) {
        if (!counts.contains(kind)) continue;
        printf_colored(kHeading, _(kind->countMessage), counts[kind]);
        total += counts[kind];
    }
    printf_colored(kHeading, "%s",
                   rendered(Message::text(N_("Exported %s file(s) to '%s'.\n"), {total, folder})).c_str());
}

void vlf::exportAllResources() {
    const std::string folder = askFolder(N_("Which folder do you wish to export to?\n"));
    std::vector<ExportItem> items;
    for (const ResourceKind* kind : resourceKinds) appendFolderItems(items, ResourceIndex(*kind, *swfFile), folder);
    exportToFolder(folder, std::move(items));
}

// Every file is read and converted before anything changes, on every
// processor; the report and the question come next, and the changed
// resources go into the game together.
void vlf::applyResourceFolder() {
    const std::string folder = askFolder(N_("Which folder do you wish to apply?\n"));
    FolderApply apply(resourceKinds, *swfFile);
    apply.sortClaims(scanFolder(folder, resourceKinds));
    apply.prepare();
    apply.report();
    if (apply.changed() == 0) return;
    {
        // Ctrl-C at the question too leaves the game as it is.
        const CtrlCCancels cancels;
        const Message question = Message::text(N_("Apply %s replacement(s)? [y/n] (default=y): "), {apply.changed()});
        if (!askYesNo(rendered(question), true)) return;
    }
    apply.putInto(*swfFile, changes);
    unsavedChanges = changes.unsaved(*swfFile);
    printf_colored(kHeading, "%s",
                   rendered(Message::text(N_("Applied %s replacement(s).\n"), {apply.changed()})).c_str());
}

void vlf::listDifferences(const std::vector<std::pair<const ChangeLog::Change*, const swf::Tag*>>& differences) {
    const std::map<uint64_t, std::string> symbols = swfFile->symbolNames();
    const Paging paging;
    printf_colored(kHeading, "%s", _("These resources differ from the game as it was loaded:\n"));
    for (const auto& [change, now] : differences) {
        const Message title = resourceTitle(*change->kind, change->id, symbolOf(symbols, change->id));
        const Message summary =
            now == nullptr ? Message(std::string()) : changeSummary(*change->kind, *change->loaded, *now);
        printf_normal("%s", rendered(Message::text(N_("%s, from '%s': %s\n"), {title, change->source, summary})).c_str());
    }
}

void vlf::reviewChanges() {
    for (;;) {
        const auto differences = changes.differences(*swfFile);
        if (differences.empty()) {
            printf_normal("%s", _("Nothing differs from the game as it was loaded.\n"));
            return;
        }
        listDifferences(differences);
        const std::vector<MenuEntry> entries = {
            {N_("Revert"), [&] { revertDialogue(); }},
            {N_("Export changed resources to a folder"), [&] { exportChanges(); }},
            {N_("Back"), nullptr},
        };
        printOptions(labelsOf(entries));
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

void vlf::revertDialogue() {
    printf_colored(kHeading, "%s", _("Which changes do you wish to revert?\n"));
    std::string answer;
    readLine(answer, _("Type 'all' or comma separated IDs: "), History::Ids);
    trim(answer);
    const auto differences = changes.differences(*swfFile);
    std::vector<uint64_t> ids;
    if (isAll(answer)) {
        for (const auto& [change, now] : differences) ids.push_back(change->id);
    } else {
        ids = getVectorOfNumbers<uint64_t>(answer);
        if (ids.empty()) {
            printf_error("%s", _("Invalid input.\n"));
            return;
        }
    }
    const std::map<uint64_t, std::string> symbols = swfFile->symbolNames();
    for (const uint64_t id : ids) {
        const auto found = std::find_if(differences.begin(), differences.end(),
                                        [id](const auto& difference) { return difference.first->id == id; });
        if (found == differences.end()) {
            printf_error(_("No changed resource with ID=%zu.\n"), static_cast<size_t>(id));
            continue;
        }
        const ResourceKind& kind = *found->first->kind;
        changes.revert(*swfFile, kind, id);
        printf_normal(
            "%s",
            rendered(Message::text(N_("Reverted %s.\n"), {resourceTitle(kind, id, symbolOf(symbols, id))})).c_str());
    }
    unsavedChanges = changes.unsaved(*swfFile);
}

void vlf::exportChanges() {
    const std::string folder = askFolder(N_("Which folder do you wish to export the changed resources to?\n"));
    std::map<const ResourceKind*, std::set<uint64_t>> changed;
    for (const auto& [change, now] : changes.differences(*swfFile)) changed[change->kind].insert(change->id);
    std::vector<ExportItem> items;
    for (const ResourceKind* kind : resourceKinds) {
        if (changed.contains(kind)) appendFolderItems(items, ResourceIndex(*kind, *swfFile), folder, &changed[kind]);
    }
    exportToFolder(folder, std::move(items));
}

}  // namespace vorlune_forge
