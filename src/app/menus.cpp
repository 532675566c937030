// The four section menus: list, export and replace one kind of resource.

#include <functional>

#include "app/id_lists.h"
#include "app/vlf.h"
#include "console/l18n.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// What tells one section menu from another. Texts are message ids,
// translated where they are printed.
struct SectionMenu {
    std::array<const char*, 3> entries;
    const char* exportQuestion;
    const char* countMessage;
    const char* replaceQuestion;
    const char* idPrompt;
    const char* fileQuestion;
    std::function<void()> list;
    // Exports the ids typed, or everything for the answer "all"; returns
    // the number of files written.
    std::function<int(std::vector<uint64_t>&)> exportIds;
    std::function<int()> exportAll;
    std::function<void(uint64_t, const std::string&)> replace;
};

// Runs an operation of the menu; a failure it did not handle itself is
// reported, and the user stays in the menu with their work.
void reportFailures(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const std::exception& e) {
        printf_error(_("Error: %s\n"), e.what());
    }
}

void exportDialogue(const SectionMenu& menu) {
    printf_colored(14, "%s", _(menu.exportQuestion));
    std::string answer;
    readLine(answer, _("Type 'all' or comma separated IDs: "));
    trim(answer);
    int count = 0;
    if (equalsIgnoreCase(answer, "all")) {
        reportFailures([&] { count = menu.exportAll(); });
    } else {
        std::vector<uint64_t> ids = getVectorOfNumbers<uint64_t>(answer);
        if (ids.empty()) {
            printf_error("%s", _("Invalid input.\n"));
            return;
        }
        reportFailures([&] { count = menu.exportIds(ids); });
    }
    printf_colored(14, _(menu.countMessage), count);
}

void replaceDialogue(const SectionMenu& menu) {
    printf_colored(14, "%s", _(menu.replaceQuestion));
    std::string answer;
    readLine(answer, _(menu.idPrompt));
    trim(answer);
    const std::optional<uint64_t> id = parseId(answer);
    if (!id) {
        printf_error("%s", _("Invalid number.\n"));
        return;
    }
    printf_colored(14, "%s", _(menu.fileQuestion));
    std::string path;
    readLine(path, _("File path: "));
    trim(path);
    removequotes(path);
    reportFailures([&] { menu.replace(*id, path); });
}

void runSectionMenu(const SectionMenu& menu) {
    for (;;) {
        vlf::printOptions({_(menu.entries[0]), _(menu.entries[1]), _(menu.entries[2]), _("Back")});
        std::string answer;
        readLine(answer, "");
        if (answer == "0") return;
        if (answer == "1") {
            reportFailures(menu.list);
        } else if (answer == "2") {
            exportDialogue(menu);
        } else if (answer == "3") {
            replaceDialogue(menu);
        } else {
            printf_error("%s", _("Invalid option.\n"));
        }
    }
}

}  // namespace

void vlf::showMenuStages() {
    runSectionMenu({
        {N_("List stage files"), N_("Export stage file(s)"), N_("Replace stage file")},
        N_("Which stage(s) do you wish to export?\n"),
        N_("Exported %d stage file(s).\n"),
        N_("Which stage file do you wish to replace?\n"),
        N_("Stage ID: "),
        N_("Which stage file do you wish to replace with? (.xml)\n"),
        [this] { listStages(); },
        [this](std::vector<uint64_t>& ids) { return exportStages(ids); },
        // Stages are exported one by one, in the order of the table.
        [this] {
            int count = 0;
            for (const uint64_t id : stages_ids) {
                std::vector<uint64_t> one = {id};
                count += exportStages(one);
            }
            return count;
        },
        [this](uint64_t id, const std::string& path) { replaceStage(id, path); },
    });
}

void vlf::showMenuSounds() {
    runSectionMenu({
        {N_("List sounds"), N_("Export sound(s)"), N_("Replace sound")},
        N_("Which sound(s) do you wish to export?\n"),
        N_("Exported %d sound(s).\n"),
        N_("Which MP3 sound do you wish to replace?\n"),
        N_("Sound ID: "),
        N_("Which MP3 file do you wish to replace with?\n"),
        [this] { listTagsOfType(14); },
        [this](std::vector<uint64_t>& ids) { return exportSounds(ids); },
        [this] {
            std::vector<uint64_t> every;
            return exportSounds(every);
        },
        [this](uint64_t id, const std::string& path) { replaceSound(id, path); },
    });
}

void vlf::showMenuImages() {
    runSectionMenu({
        {N_("List images"), N_("Export image(s)"), N_("Replace image")},
        N_("Which image(s) do you wish to export?\n"),
        N_("Exported %d image(s).\n"),
        N_("Which image do you wish to replace?\n"),
        N_("Image ID: "),
        N_("Which image file do you wish to replace with?\n"),
        [this] {
            listTagsOfType(20);
            listTagsOfType(36);
        },
        [this](std::vector<uint64_t>& ids) { return exportImages(ids); },
        [this] {
            std::vector<uint64_t> every;
            return exportImages(every);
        },
        [this](uint64_t id, const std::string& path) { replaceImage(id, path); },
    });
}

void vlf::showMenuData() {
    runSectionMenu({
        {N_("List data files"), N_("Export data file(s)"), N_("Replace data file")},
        N_("Which data file(s) do you wish to export?\n"),
        N_("Exported %d data file(s).\n"),
        N_("Which data file do you wish to replace?\n"),
        N_("Data ID: "),
        N_("Which data file do you wish to replace with? (.zip)\n"),
        [this] { listData(); },
        [this](std::vector<uint64_t>& ids) { return exportData(ids); },
        [this] {
            std::vector<uint64_t> every;
            return exportData(every);
        },
        [this](uint64_t id, const std::string& path) { replaceData(id, path); },
    });
}

}  // namespace vorlune_forge
