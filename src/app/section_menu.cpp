// The section menu and what it does, once for every kind of resource: the
// listing, the id checks, the export loop and the replace dialogue. What
// differs between kinds comes from their rows (resource_kind.h).

#include <algorithm>
#include <set>

#include "app/bulk_export.h"
#include "app/dialogues.h"
#include "app/id_lists.h"
#include "app/menus.h"
#include "app/resource_index.h"
#include "app/resource_names.h"
#include "console/l18n.h"
#include "console/screen.h"
#include "console/signals.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

bool isExportable(const ResourceKind& kind, const swf::Tag& tag) {
    return kind.exportable == nullptr || kind.exportable(tag);
}

void printListingLine(uint64_t id, const std::string& name) {
    printf_colored(kHighlight, "%zu", static_cast<size_t>(id));
    printf_normal(": %s\n", visibleText(name).c_str());
}

void printIdError(const char* message, uint64_t id) { printf_error(_(message), static_cast<size_t>(id)); }

void printWarning(const Message& warning) { printf_colored(kHeading, "%s", translated(warning).c_str()); }

// A table kind exports the ids in the order given, each checked as it
// comes. A kind found by its tags reports the ids it lacks first, then
// exports its tags in their order, each id once.
std::vector<ExportItem> exportItems(const ResourceIndex& index, const std::vector<uint64_t>& ids) {
    const ResourceKind& kind = index.kind();
    const auto item = [&](uint64_t id, const char* problem, const swf::Tag* tag) {
        const std::string name = problem == nullptr ? fileName(kind, id, index.symbol(id), tag) : "";
        return ExportItem{
            .kind = &kind, .id = id, .problem = problem, .tag = tag, .name = name, .path = name + kind.fileSuffix};
    };
    std::vector<ExportItem> items;
    if (kind.fromTable()) {
        for (const uint64_t id : ids) {
            const char* problem = index.missingId(id);
            items.push_back(item(id, problem, index.find(id)));
        }
        return items;
    }
    for (const uint64_t id : ids) {
        if (const char* problem = index.missingId(id)) items.push_back(item(id, problem, nullptr));
    }
    const std::set<uint64_t> wanted(ids.begin(), ids.end());
    std::set<uint64_t> taken;
    for (const swf::Tag* tag : index.tags()) {
        const uint64_t id = tag->characterId;
        if (!wanted.contains(id) || !taken.insert(id).second) continue;
        items.push_back(item(id, isExportable(kind, *tag) ? nullptr : kind.notExportable(*tag), tag));
    }
    return items;
}

// Tags of the codes of a kind found by its tags are listed as that kind
// lists them; binary data under its bare name; anything else by its type.
void listTags(const swf::SWF& game, swf::TagCode code) {
    const ResourceKind* kind = nullptr;
    for (const ResourceKind* candidate : resourceKinds()) {
        const bool hasCode =
            std::find(candidate->codes.begin(), candidate->codes.end(), code) != candidate->codes.end();
        if (!candidate->fromTable() && hasCode) kind = candidate;
    }
    const std::map<uint64_t, std::string> symbols = game.symbolNames();
    for (const swf::Tag* tag : game.tagsWithCode(code)) {
        const std::string symbol = symbolOf(symbols, tag->characterId);
        if (kind != nullptr) {
            printListingLine(tag->characterId, symbol + (isExportable(*kind, *tag) ? exportExtension(*kind, tag) : ""));
        } else if (code == swf::TagCode::DefineBinaryData) {
            printListingLine(tag->characterId, symbol);
        } else {
            printf_normal(_("Tag %zu (type = %s)\n"), static_cast<size_t>(tag->characterId),
                          swf::SWF::tagTypeName(code).c_str());
        }
    }
}

// A kind found by its tags lists them code by code; a table kind lists its
// table.
void listResources(const swf::SWF& game, const ResourceKind& kind) {
    // On a terminal a listing taller than the screen stops at each screenful.
    const Paging paging;
    if (!kind.fromTable()) {
        for (const swf::TagCode code : kind.codes) listTags(game, code);
        return;
    }
    const ResourceIndex index(kind, game);
    for (const uint64_t id : kind.table) {
        if (const char* problem = index.missingId(id)) {
            printIdError(problem, id);
            continue;
        }
        printListingLine(id, displayName(kind, id, index.symbol(id), index.find(id)));
    }
}

// Exports the resources of the ids into the current folder; the number of
// files written.
int exportResources(const swf::SWF& game, const ResourceKind& kind, const std::vector<uint64_t>& ids) {
    const ResourceIndex index(kind, game);
    std::vector<ExportItem> items = exportItems(index, ids);
    // At the keyboard, files of the same names that were edited since are
    // not overwritten unasked.
    if (interactive()) {
        const std::vector<size_t> edited = editedFiles(items);
        if (!mayOverwrite(items, edited)) {
            printf_normal(_("Skipped %zu edited file(s).\n"), edited.size());
            for (const size_t i : edited) {
                items[i].skip = true;
                printf_normal("  %s\n", visibleText(items[i].path).c_str());
            }
        }
    }
    int count = 0;
    convertInOrder(items, [&](const ExportItem& item, Converted&& converted) {
        if (item.problem != nullptr) {
            printIdError(item.problem, item.id);
            return;
        }
        if (item.skip) return;
        printf_normal(_("Exporting: %s\n"), visibleText(item.name).c_str());
        // A resource that cannot be converted or written is reported, and
        // the others are still exported.
        count += writeConverted(item, std::move(converted)) ? 1 : 0;
    });
    return count;
}

// Replaces the resource with what the file holds; whether the resource now
// holds it.
bool replaceResource(vlf& session, const ResourceKind& kind, uint64_t id, const std::string& path) {
    const ResourceIndex index(kind, *session.swfFile);
    if (const char* problem = index.missingId(id)) {
        printIdError(problem, id);
        return false;
    }
    const std::string symbol = index.symbol(id);
    // The new tag is made whole, from the file, before it takes the old
    // one's place, so a failure leaves the game and the flag as they were.
    try {
        const ReplacementFile file = kind.readReplacement(path);
        printf_colored(kHeading, _(kind.replacing), visibleText(displayName(kind, id, symbol, &index.tag(id))).c_str(),
                       visibleText(path).c_str());
        const swf::Tag& current = index.tag(id);
        MadeTag made = replacementTag(file, current, symbol, printWarning);
        checkInterrupt();
        const std::string title = translated(resourceTitle(kind, id, symbol, &current));
        if (!made.tag) {
            printf_normal(_("The file holds what the game already holds: %s is unchanged.\n"), title.c_str());
            return true;
        }
        const std::string summary = translated(changeSummary(kind, current, made));
        const char* warning = kind.changeWarning(current, *made.tag);
        session.changes.replace(*session.swfFile, kind, current, std::move(made.tag), &file);
        printf_normal(_("Replaced %s: %s.\n"), title.c_str(), summary.c_str());
        if (warning != nullptr) printf_colored(kHeading, "%s", _(warning));
        return true;
    } catch (const std::exception& e) {
        reportFailure(e);
        return false;
    }
}

// The resources of the kind that the game has, as the user may name them.
IdNames namesIn(const ResourceIndex& index) {
    std::vector<IdNames::Resource> resources;
    const ResourceKind& kind = index.kind();
    for (const uint64_t id : index.allIds()) {
        if (index.missingId(id) == nullptr) {
            resources.push_back({id, index.symbol(id), exportExtension(kind, index.find(id)) + kind.fileSuffix});
        }
    }
    return IdNames(std::move(resources), kind.noSuchName);
}

void printRefusal(const Message& refusal) { printf_error("%s", translated(refusal).c_str()); }

// The ids of an export: every id of the kind for "all", or those the answer
// names. At the keyboard an answer that names no resource of the kind is
// told and asked again; piped answers are taken as they always were.
std::optional<std::vector<uint64_t>> askExportIds(const ResourceIndex& index) {
    const IdNames names = namesIn(index);
    const std::string prompt = _("Type 'all' or comma separated IDs: ");
    for (std::string asked = prompt;; asked = retryPrompt(prompt)) {
        std::string answer;
        readLine(answer, asked, History::Ids);
        if (isAll(answer)) return index.allIds();
        const IdAnswer read = getVectorOfNumbers(answer, names);
        if (!interactive()) {
            if (read.refusal) printRefusal(*read.refusal);
            return read.refusal ? std::nullopt : std::optional(read.ids);
        }
        if (read.refusal) {
            printRefusal(*read.refusal);
            continue;
        }
        const auto missing = [&](uint64_t id) { return index.missingId(id) != nullptr; };
        if (!std::all_of(read.ids.begin(), read.ids.end(), missing)) return read.ids;
        for (const uint64_t id : read.ids) printIdError(index.missingId(id), id);
    }
}

void exportDialogue(const swf::SWF& game, const ResourceKind& kind) {
    printf_colored(kHeading, "%s", _(kind.exportQuestion));
    const ResourceIndex index(kind, game);
    const std::optional<std::vector<uint64_t>> ids = askExportIds(index);
    if (!ids) return;
    const int count = ids->empty() ? 0 : exportResources(game, kind, *ids);
    printf_colored(kHeading, _(kind.countMessage), count);
}

// At the keyboard an id the kind lacks is told at once and asked again, and
// so is a file that cannot replace the resource, until a replacement is made
// or the path is left empty; piped answers are taken as they always were,
// one id and one path.
void replaceDialogue(vlf& session, const ResourceKind& kind) {
    printf_colored(kHeading, "%s", _(kind.replaceQuestion));
    const ResourceIndex index(kind, *session.swfFile);
    const IdNames names = namesIn(index);
    uint64_t id = 0;
    for (std::string prompt = _(kind.idPrompt);; prompt = retryPrompt(_(kind.idPrompt))) {
        std::string answer;
        readLine(answer, prompt, History::Ids);
        const IdAnswer read = getVectorOfNumbers(answer, names, true);
        if (read.refusal) {
            printRefusal(*read.refusal);
            if (!interactive()) return;
            continue;
        }
        id = read.ids.front();
        const char* problem = interactive() ? index.missingId(id) : nullptr;
        if (problem == nullptr) break;
        printIdError(problem, id);
    }
    printf_colored(kHeading, "%s", _(kind.fileQuestion));
    for (std::string prompt = _("File path: ");; prompt = retryPrompt(_("File path: "))) {
        const std::string path = readPath(prompt);
        if (interactive() && path.empty()) return;
        if (replaceResource(session, kind, id, path) || !interactive()) return;
    }
}

}  // namespace

void sectionMenu(vlf& session, const ResourceKind& kind) {
    const std::vector<MenuEntry> entries = {
        {kind.entries[0], [&] { listResources(*session.swfFile, kind); }},
        {kind.entries[1], [&] { exportDialogue(*session.swfFile, kind); }},
        {kind.entries[2], [&] { replaceDialogue(session, kind); }},
        {N_("Back"), nullptr},
    };
    for (;;) {
        printOptions(entries);
        std::string answer;
        try {
            readLine(answer, "");
        } catch (const go_back&) {
            return;
        }
        const std::optional<size_t> chosen = chosenEntry(answer, entries.size());
        if (chosen && !entries[*chosen].action) return;
        // Every operation reports its own failures; anything unforeseen is
        // reported here, and the user stays in the menu with their work.
        runStep(guarded([&] {
            if (chosen) {
                entries[*chosen].action();
            } else {
                printf_error("%s", _("Invalid option.\n"));
            }
        }));
    }
}

}  // namespace vorlune_forge
