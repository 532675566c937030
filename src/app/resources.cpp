// The section menus and what they do, once for every kind of resource: the
// listing, the id checks, the export loop and the replace dialogue. What
// differs between kinds comes from their rows (resource_kind.h).

#include <algorithm>
#include <set>

#include "app/id_lists.h"
#include "app/vlf.h"
#include "console/l18n.h"
#include "console/signals.h"
#include "util/strings.h"
#include "util/thread_pool.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// The symbol name of a table kind's resource is its name; a resource found
// by its tag may have none, and then goes by its id.
std::string fileName(const ResourceKind& kind, uint64_t id, const std::string& symbol) {
    const bool named = kind.fromTable() || !symbol.empty();
    return safeFileName(std::to_string(id) + (named ? " - " + symbol : "") + kind.extension);
}

std::string displayName(const ResourceKind& kind, uint64_t id, const std::string& symbol) {
    return (kind.fromTable() || !symbol.empty() ? symbol : std::to_string(id)) + kind.extension;
}

bool isExportable(const ResourceKind& kind, const swf::Tag& tag) {
    return kind.exportable == nullptr || kind.exportable(tag);
}

void printListingLine(uint64_t id, const std::string& name) {
    printf_colored(kHighlight, "%zu", static_cast<size_t>(id));
    printf_normal(": %s\n", name.c_str());
}

void printIdError(const char* message, uint64_t id) { printf_error(_(message), static_cast<size_t>(id)); }

// How many converted files a bulk export may hold while an earlier one is
// still being converted.
constexpr size_t kExportLookahead = 64;

// A resource to export, or the reason why an id gets none.
struct Selected {
    uint64_t id;
    const char* problem;
};

// The tags of a kind found by its tags.
std::vector<swf::Tag*> tagsOf(const ResourceKind& kind, swf::SWF& game) {
    std::vector<swf::Tag*> tags;
    for (const swf::TagCode code : kind.codes) {
        for (swf::Tag* tag : game.getTagsOfType(swf::codeOf(code))) tags.push_back(tag);
    }
    return tags;
}

}  // namespace

const char* vlf::missingId(const ResourceKind& kind, uint64_t id) const {
    if (!kind.fromTable()) {
        const auto tags = tagsOf(kind, *swfFile);
        const bool found =
            std::any_of(tags.begin(), tags.end(), [id](const swf::Tag* t) { return t->characterId == id; });
        return found ? nullptr : kind.noSuchId;
    }
    if (std::find(kind.table.begin(), kind.table.end(), id) == kind.table.end()) return kind.noSuchId;
    return swfFile->getTagWithId(id) == nullptr ? kind.notInGame : nullptr;
}

std::vector<uint64_t> vlf::allIds(const ResourceKind& kind) const {
    if (kind.fromTable()) return {kind.table.begin(), kind.table.end()};
    std::vector<uint64_t> ids;
    for (const swf::Tag* tag : tagsOf(kind, *swfFile)) ids.push_back(tag->characterId);
    return ids;
}

void vlf::listResources(const ResourceKind& kind) {
    for (const swf::TagCode code : kind.codes) listTagsOfType(swf::codeOf(code));
    for (const uint64_t id : kind.table) {
        if (const char* problem = missingId(kind, id)) {
            printIdError(problem, id);
            continue;
        }
        printListingLine(id, displayName(kind, id, swfFile->getSymbolName(id)));
    }
}

// A table kind exports the ids in the order given (the whole table for an
// empty list), each checked as it comes. A kind found by its tags reports
// the ids it lacks first, then exports its tags in their order, each id
// once.
int vlf::exportResources(const ResourceKind& kind, const std::vector<uint64_t>& ids) {
    std::vector<Selected> selected;
    if (kind.fromTable()) {
        for (const uint64_t id : ids.empty() ? allIds(kind) : ids) selected.push_back({id, missingId(kind, id)});
    } else {
        const std::vector<swf::Tag*> tags = tagsOf(kind, *swfFile);
        std::set<uint64_t> present;
        for (const swf::Tag* tag : tags) present.insert(tag->characterId);
        for (const uint64_t id : ids) {
            if (!present.contains(id)) selected.push_back({id, kind.noSuchId});
        }
        const std::set<uint64_t> wanted(ids.begin(), ids.end());
        std::set<uint64_t> taken;
        for (const swf::Tag* tag : tags) {
            const uint64_t id = tag->characterId;
            if (!wanted.empty() && !wanted.contains(id)) continue;
            if (!taken.insert(id).second) continue;
            selected.push_back({id, isExportable(kind, *tag) ? nullptr : kind.notExportable});
        }
    }

    // The files are converted on every processor, and written, with their
    // messages, in order on this thread. Up to kExportLookahead converted
    // files wait for their turn, so that one large resource does not hold
    // the other processors up.
    struct Converted {
        ByteBuffer bytes;
        std::exception_ptr failure;
    };
    int count = 0;
    parallelOrdered<Converted>(
        selected.size(),
        [&](size_t i) {
            Converted result;
            if (selected[i].problem != nullptr) return result;
            try {
                result.bytes = kind.convert(*swfFile, selected[i].id);
            } catch (const std::exception&) {
                // Ctrl-C (not a std::exception) is no failure of this
                // resource: it escapes and stops the whole export.
                result.failure = std::current_exception();
            }
            return result;
        },
        [&](size_t i, Converted&& converted) {
            const auto& [id, problem] = selected[i];
            // Ctrl-C stops the export between two resources; the files
            // written so far are whole.
            checkInterrupt();
            if (problem != nullptr) {
                printIdError(problem, id);
                return;
            }
            const std::string name = fileName(kind, id, swfFile->getSymbolName(id));
            printf_normal(_("Exporting: %s\n"), name.c_str());
            // A resource that cannot be converted or written is reported,
            // and the others are still exported.
            try {
                if (converted.failure) std::rethrow_exception(converted.failure);
                writeBinaryFile(name + kind.fileSuffix, converted.bytes);
                ++count;
            } catch (const std::exception& e) {
                printf_error(_(kind.errorFor), static_cast<size_t>(id), errorText(e).c_str());
            }
        },
        processorCount(), kExportLookahead);
    return count;
}

void vlf::replaceResource(const ResourceKind& kind, uint64_t id, const std::string& path) {
    if (const char* problem = missingId(kind, id)) {
        printIdError(problem, id);
        return;
    }
    const std::string symbol = swfFile->getSymbolName(id);
    // The file is read and every replacement checks its input before it
    // changes the tag, so a failure leaves the game and the flag as they
    // were.
    try {
        const Replacement replacement = kind.readReplacement(path);
        printf_colored(kHeading, _(kind.replacing), displayName(kind, id, symbol).c_str(), path.c_str());
        checkInterrupt();
        replacement(*swfFile, id, symbol);
    } catch (const std::exception& e) {
        reportFailure(e);
        return;
    }
    unsavedChanges = true;
}

void vlf::exportDialogue(const ResourceKind& kind) {
    printf_colored(kHeading, "%s", _(kind.exportQuestion));
    std::string answer;
    readLine(answer, _("Type 'all' or comma separated IDs: "));
    trim(answer);
    std::vector<uint64_t> ids;
    if (equalsIgnoreCase(answer, "all")) {
        ids = allIds(kind);
    } else if (hasIdOutOfRange(answer)) {
        printf_error("%s", _("Invalid number.\n"));
        return;
    } else {
        ids = getVectorOfNumbers<uint64_t>(answer);
        if (ids.empty()) {
            printf_error("%s", _("Invalid input.\n"));
            return;
        }
    }
    const int count = ids.empty() ? 0 : (this->*kind.exportIds)(ids);
    printf_colored(kHeading, _(kind.countMessage), count);
}

void vlf::replaceDialogue(const ResourceKind& kind) {
    printf_colored(kHeading, "%s", _(kind.replaceQuestion));
    std::string answer;
    readLine(answer, _(kind.idPrompt));
    trim(answer);
    const std::optional<uint64_t> id = parseId(answer);
    if (!id) {
        printf_error("%s", _("Invalid number.\n"));
        return;
    }
    printf_colored(kHeading, "%s", _(kind.fileQuestion));
    (this->*kind.replace)(*id, readPath(_("File path: ")));
}

void vlf::runSection(const ResourceKind& kind) {
    for (;;) {
        printOptions({_(kind.entries[0]), _(kind.entries[1]), _(kind.entries[2]), _("Back")});
        std::string answer;
        try {
            readLine(answer, "");
        } catch (const go_back&) {
            return;
        }
        if (answer == "0") return;
        // Every operation reports its own failures; anything unforeseen is
        // reported here, and the user stays in the menu with their work.
        runStep([&] {
            try {
                if (answer == "1") {
                    listResources(kind);
                } else if (answer == "2") {
                    exportDialogue(kind);
                } else if (answer == "3") {
                    replaceDialogue(kind);
                } else {
                    printf_error("%s", _("Invalid option.\n"));
                }
            } catch (const std::exception& e) {
                printf_error(_("Error: %s\n"), errorText(e).c_str());
            }
        });
    }
}

void vlf::showMenuStages() { runSection(stageFiles); }
void vlf::showMenuSounds() { runSection(sounds); }
void vlf::showMenuImages() { runSection(images); }
void vlf::showMenuData() { runSection(dataFiles); }

void vlf::listStages() { listResources(stageFiles); }
void vlf::listData() { listResources(dataFiles); }

// Tags of the codes of a kind are listed as that kind lists them; other
// binary data under its bare name; anything else by its type.
void vlf::listTagsOfType(int code) {
    const ResourceKind* kind = nullptr;
    for (const ResourceKind* candidate : {&sounds, &images}) {
        for (const swf::TagCode kindCode : candidate->codes) {
            if (swf::codeOf(kindCode) == code) kind = candidate;
        }
    }
    for (const swf::Tag* tag : swfFile->getTagsOfType(code)) {
        const std::string symbol = swfFile->getSymbolName(tag->characterId);
        if (kind != nullptr) {
            printListingLine(tag->characterId, symbol + (isExportable(*kind, *tag) ? kind->extension : ""));
        } else if (code == swf::codeOf(swf::TagCode::DefineBinaryData)) {
            printListingLine(tag->characterId, symbol);
        } else {
            printf_normal(_("Tag %zu (type = %s)\n"), static_cast<size_t>(tag->characterId),
                          swf::SWF::tagTypeName(code).c_str());
        }
    }
}

int vlf::exportStages(std::vector<uint64_t>& ids) { return ids.empty() ? 0 : exportResources(stageFiles, ids); }
int vlf::exportSounds(std::vector<uint64_t>& ids) { return exportResources(sounds, ids); }
int vlf::exportImages(std::vector<uint64_t>& ids) { return exportResources(images, ids); }
int vlf::exportData(std::vector<uint64_t>& ids) {
    if (ids.empty()) ids.assign(data_ids.begin(), data_ids.end());
    return exportResources(dataFiles, ids);
}

void vlf::replaceStage(uint64_t id, const std::string& path) { replaceResource(stageFiles, id, path); }
void vlf::replaceSound(uint64_t id, const std::string& path) { replaceResource(sounds, id, path); }
void vlf::replaceImage(uint64_t id, const std::string& path) { replaceResource(images, id, path); }
void vlf::replaceData(uint64_t id, const std::string& path) { replaceResource(dataFiles, id, path); }

}  // namespace vorlune_forge
