#include "app/vlf.h"

#include <cstdlib>

#include "console/l18n.h"
#include "console/rlutil.h"
#include "console/signals.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

vlf::vlf() {
    unsavedChanges = false;
    localization::initLocale();
    swfFile.reset();
    installSignalHandlers();
    try {
        if (coloursEnabled()) {
            std::fputs(rlutil::ANSI_CONSOLE_TITLE_PRE, stdout);
            std::fputs(_("Vorlune Forge"), stdout);
            std::fputs(rlutil::ANSI_CONSOLE_TITLE_POST, stdout);
        }
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

void vlf::showMenuMain() {
    for (;;) {
        printOptions({_("Help"), _("Edit stages"), _("Edit sounds"), _("Edit images"), _("Edit data"), _("Export SWF"),
                      _("Export EXE"), _("Exit")});
        std::string answer;
        bool leave = false;
        try {
            readLine(answer, "");
        } catch (const go_back&) {
            // Ctrl-D at the main menu leaves, as Exit does.
            leave = true;
        }
        runStep([&] {
            if (answer == "1") {
                printHelp();
            } else if (answer == "2") {
                showMenuStages();
            } else if (answer == "3") {
                showMenuSounds();
            } else if (answer == "4") {
                showMenuImages();
            } else if (answer == "5") {
                showMenuData();
            } else if (answer == "6") {
                exportSwf();
            } else if (answer == "7") {
                exportExe();
            } else if (leave || answer == "0") {
                exitDialogue();
            } else {
                printf_normal("%s", _("Invalid option.\n"));
            }
        });
    }
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
        const size_t label = i + 1 == options.size() ? 0 : i + 1;
        printf_colored(kHighlight, "%zu. ", label);
        printf_normal("%s\n", options[i].c_str());
    }
}

}  // namespace vorlune_forge
