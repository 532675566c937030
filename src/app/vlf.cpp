#include "app/vlf.h"

#include <cstdlib>

#include "console/l18n.h"
#include "console/signals.h"
#include "console/title.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

vlf::vlf() {
    unsavedChanges = false;
    localization::initLocale();
    swfFile.reset();
    installSignalHandlers();
    try {
        setWindowTitle(_("Vorlune Forge"));
        printHeader();
        readFile();
        showMenuMain();
    } catch (const end_of_input&) {
        endOfInput();
    } catch (const go_back&) {
        // Ctrl-D before a game was loaded: there is nothing to go back to.
        endOfInput();
    } catch (const std::exception& e) {
        printf_error(_("Error: %s\n"), errorText(e).c_str());
    }
}

void vlf::readFile() {
    for (;;) {
        std::string path;
        try {
            path = readPath(_("File path: "));
            ByteBuffer bytes;
            readBinaryFile(path, bytes);
            swfFile = std::make_unique<swf::SWF>(std::move(bytes));
            gamePath = path;
            return;
        } catch (const file_exception& e) {
            printf_error(_("Error: %s\n"), errorText(e).c_str());
        } catch (const forge_exception& e) {
            // A movie that cannot be read is named, so the user knows which.
            printf_error(_("Error: %s\n"), errorText(forge_exception(N_("'%s':"), {path}, e)).c_str());
        } catch (const std::exception& e) {
            printf_error(_("Error: %s\n"), errorText(e).c_str());
        } catch (const operation_cancelled&) {
            // Ctrl-C stops the loading of a large game; another can be named.
            printf_error("%s", _("Cancelled.\n"));
        }
    }
}

// The main menu: Help, an entry for each kind of resource, the game's
// exports, then the work on a whole mod. Kinds beyond the first four would
// come after the others, so that the numbers users know stay as they are;
// Exit is always 0.
std::vector<vlf::MenuEntry> vlf::mainMenuEntries() {
    constexpr size_t kKindsFirst = 4;
    std::vector<MenuEntry> entries = {{N_("Help"), [this] { printHelp(); }}};
    const auto addKind = [&](const ResourceKind* kind) {
        entries.push_back({kind->editEntry, [this, kind] { runSection(*kind); }});
    };
    const std::span<const ResourceKind* const> kinds = resourceKinds;
    for (const ResourceKind* kind : kinds.first(std::min(kKindsFirst, kinds.size()))) addKind(kind);
    entries.push_back({N_("Export SWF"), [this] { exportSwf(); }});
    entries.push_back({N_("Export EXE"), [this] { exportExe(); }});
    entries.push_back({N_("Export all resources"), guarded([this] { exportAllResources(); })});
    entries.push_back({N_("Apply resource folder"), guarded([this] { applyResourceFolder(); })});
    entries.push_back({N_("Review changes"), guarded([this] { reviewChanges(); })});
    for (const ResourceKind* kind : kinds.subspan(std::min(kKindsFirst, kinds.size()))) addKind(kind);
    entries.push_back({N_("Exit"), [this] { exitDialogue(); }});
    return entries;
}

void vlf::showMenuMain() {
    const std::vector<MenuEntry> entries = mainMenuEntries();
    const std::vector<std::string> labels = labelsOf(entries);
    for (;;) {
        printOptions(labels);
        std::string answer;
        bool leave = false;
        try {
            readLine(answer, "");
        } catch (const go_back&) {
            // Ctrl-D at the main menu leaves, as Exit does.
            leave = true;
        }
        runStep([&] {
            const std::optional<size_t> chosen = leave ? entries.size() - 1 : chosenEntry(answer, entries.size());
            if (chosen) {
                entries[*chosen].action();
            } else {
                printf_normal("%s", _("Invalid option.\n"));
            }
        });
    }
}

std::vector<std::string> vlf::labelsOf(const std::vector<MenuEntry>& entries) {
    std::vector<std::string> labels;
    for (const MenuEntry& entry : entries) labels.push_back(_(entry.label));
    return labels;
}

size_t optionLabel(size_t position, size_t count) { return position + 1 == count ? 0 : position + 1; }

std::optional<size_t> chosenEntry(const std::string& answer, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (answer == std::to_string(optionLabel(i, count))) return i;
    }
    return std::nullopt;
}

std::function<void()> guarded(std::function<void()> step) {
    return [step = std::move(step)] {
        try {
            step();
        } catch (const std::exception& e) {
            printf_error(_("Error: %s\n"), errorText(e).c_str());
        }
    };
}

void runStep(const std::function<void()>& step) {
    try {
        step();
    } catch (const go_back&) {
    } catch (const operation_cancelled&) {
        printf_error("%s", _("Cancelled.\n"));
    }
}

void vlf::exitDialogue() {
    if (unsavedChanges && !askYesNo(_("You have unsaved changes. Are you sure you want to exit without exporting "
                                      "SWF/EXE? [y/n] (default=n): "),
                                    false)) {
        return;
    }
    printf_normal("%s", _("Good bye. o/\n"));
    std::exit(0);
}

// Standard input has ended: nothing more can be asked, so the run ends as
// if the user had chosen to leave, saying what was lost.
void vlf::endOfInput() {
    printf_normal("\n");
    if (unsavedChanges) printf_error("%s", _("End of input: the replacements that were not exported are discarded.\n"));
    printf_normal("%s", _("Good bye. o/\n"));
    std::exit(0);
}

// The message ends its line, whether or not its text ends in a line break.
void reportFailure(const std::exception& e) {
    std::string text = errorText(e);
    if (text.empty() || text.back() != '\n') text += '\n';
    printf_error("%s", text.c_str());
}

void vlf::printOptions(const std::vector<std::string>& options) {
    printf_colored(kHeading, "%s", _("What do you wish to do?\n"));
    for (size_t i = 0; i < options.size(); ++i) {
        const size_t label = optionLabel(i, options.size());
        printf_colored(kHighlight, "%zu. ", label);
        printf_normal("%s\n", options[i].c_str());
    }
}

}  // namespace vorlune_forge
