// The run: the title screen, the loading of the game, the main menu and the
// ways out of it.

#include <algorithm>
#include <optional>

#include "app/dialogues.h"
#include "app/menus.h"
#include "console/l18n.h"
#include "console/signals.h"
#include "console/title.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

void printHeader() {
    // The anvil, in the first 15 columns, is light red; the title yellow.
    print2Colors(_(" ___________   __   __       _                 ___                 \n"
                   "(___________)  \\ \\ / /__ _ _| |_  _ _ _  ___  | __|__ _ _ __ _ ___ \n"
                   "   |     |      \\ V / _ \\ '_| | || | ' \\/ -_) | _/ _ \\ '_/ _` / -_)\n"
                   "   |_____|       \\_/\\___/_| |_|\\_,_|_||_\\___| |_|\\___/_| \\__, \\___|\n"
                   "  /_______\\                                              |___/     \n\n"),
                 15, kHighlight, kHeading);
    printf_colored(kHeading, "%s", _("Hello there, hero!\nWhich file do you wish to modify?\n\n"));
}

// Asks for the game until one loads.
vlf loadGame() {
    for (;;) {
        std::string path;
        try {
            path = readPath(_("File path: "));
            ByteBuffer bytes;
            readBinaryFile(path, bytes);
            return vlf(std::make_unique<swf::SWF>(std::move(bytes)), path);
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

// Whether the user leaves: at once when nothing is unsaved, otherwise when
// they say so.
bool mayLeave(const vlf& session) {
    return !session.unsavedChanges() ||
           askYesNo(_("You have unsaved changes. Are you sure you want to exit without exporting SWF/EXE? [y/n] "
                      "(default=n): "),
                    false);
}

// Help, an entry for each kind of resource, the game's exports, then the
// work on a whole mod. Kinds beyond the first four would come after the
// others, so that the numbers users know stay as they are; Exit is always 0.
std::vector<MenuEntry> mainMenuEntries(vlf& session, bool& leaving) {
    constexpr size_t kKindsFirst = 4;
    std::vector<MenuEntry> entries = {{N_("Help"), printHelp}};
    const auto addKind = [&](const ResourceKind* kind) {
        entries.push_back({kind->editEntry, [&session, kind] { sectionMenu(session, *kind); }});
    };
    const std::span<const ResourceKind* const> kinds = resourceKinds();
    for (const ResourceKind* kind : kinds.first(std::min(kKindsFirst, kinds.size()))) addKind(kind);
    entries.push_back({N_("Export SWF"), [&session] { exportSwf(session); }});
    entries.push_back({N_("Export EXE"), [&session] { exportExe(session); }});
    entries.push_back({N_("Export all resources"), guarded([&session] { exportAllResources(session); })});
    entries.push_back({N_("Apply resource folder"), guarded([&session] { applyResourceFolder(session); })});
    entries.push_back({N_("Review changes"), guarded([&session] { reviewChanges(session); })});
    for (const ResourceKind* kind : kinds.subspan(std::min(kKindsFirst, kinds.size()))) addKind(kind);
    entries.push_back({N_("Exit"), [&session, &leaving] { leaving = mayLeave(session); }});
    return entries;
}

// Standard input has ended: nothing more can be asked, so the run ends as
// if the user had chosen to leave, saying what was lost.
void endOfInput(bool unsaved) {
    printf_normal("\n");
    if (unsaved) printf_error("%s", _("End of input: the replacements that were not exported are discarded.\n"));
    printf_normal("%s", _("Good bye. o/\n"));
}

}  // namespace

void mainMenu(vlf& session) {
    bool leaving = false;
    const std::vector<MenuEntry> entries = mainMenuEntries(session, leaving);
    while (!leaving) {
        printOptions(entries);
        std::string answer;
        bool exit = false;
        try {
            readLine(answer, "");
        } catch (const go_back&) {
            // Ctrl-D at the main menu leaves, as Exit does.
            exit = true;
        }
        runStep([&] {
            const std::optional<size_t> chosen = exit ? entries.size() - 1 : chosenEntry(answer, entries.size());
            if (chosen) {
                entries[*chosen].action();
            } else {
                printf_normal("%s", _("Invalid option.\n"));
            }
        });
    }
}

int run() {
    localization::initLocale();
    installSignalHandlers();
    std::optional<vlf> session;
    try {
        setWindowTitle(_("Vorlune Forge"));
        printHeader();
        session.emplace(loadGame());
        mainMenu(*session);
        printf_normal("%s", _("Good bye. o/\n"));
    } catch (const end_of_input&) {
        endOfInput(session && session->unsavedChanges());
    } catch (const go_back&) {
        // Ctrl-D before a game was loaded: there is nothing to go back to.
        endOfInput(session && session->unsavedChanges());
    } catch (const std::exception& e) {
        printf_error(_("Error: %s\n"), errorText(e).c_str());
        return 1;
    }
    return 0;
}

}  // namespace vorlune_forge
