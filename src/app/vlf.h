#pragma once
// The application: holds the loaded game for the whole run and leads the
// dialogue from the title screen to the exit.

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/bulk_export.h"
#include "app/change_log.h"
#include "app/resource_kind.h"
#include "swf/swf.h"

namespace vorlune_forge {

class vlf {
public:
    // Runs the whole interactive session. Returns only when an error that no
    // dialogue handled ended the run.
    vlf();

    // Character ids of the stage files and of the data files.
    static const std::array<uint64_t, 8> stages_ids;
    static const std::array<uint64_t, 78> data_ids;

    // The kinds of resource, and the list of them that every menu and every
    // operation on all kinds goes through, in menu order.
    static const ResourceKind stageFiles;
    static const ResourceKind sounds;
    static const ResourceKind images;
    static const ResourceKind dataFiles;
    static const std::span<const ResourceKind* const> resourceKinds;

    // Prints "What do you wish to do?" and the entries numbered 1, 2, ... 0.
    static void printOptions(const std::vector<std::string>& options);

private:
    // An entry of a menu and what choosing it does; the way out (Back)
    // does nothing of its own.
    struct MenuEntry {
        const char* label;  // message id
        std::function<void()> action;
    };
    static std::vector<std::string> labelsOf(const std::vector<MenuEntry>& entries);

    void readFile();
    std::vector<MenuEntry> mainMenuEntries();
    [[noreturn]] void showMenuMain();
    // Returns when the user changed their mind about leaving.
    void exitDialogue();
    [[noreturn]] void endOfInput();

    // Section menus.
    void showMenuStages();
    void showMenuSounds();
    void showMenuImages();
    void showMenuData();

    // Listings.
    void listStages();
    void listData();
    void listTagsOfType(int code);

    // Resource operations: exports return the number of files written.
    int exportStages(std::vector<uint64_t>& ids);
    void replaceStage(uint64_t id, const std::string& path);
    int exportSounds(std::vector<uint64_t>& ids);
    void replaceSound(uint64_t id, const std::string& path);
    int exportImages(std::vector<uint64_t>& ids);
    void replaceImage(uint64_t id, const std::string& path);
    int exportData(std::vector<uint64_t>& ids);
    void replaceData(uint64_t id, const std::string& path);

    // The same for any kind of resource.
    void runSection(const ResourceKind& kind);
    void exportDialogue(const ResourceKind& kind);
    void replaceDialogue(const ResourceKind& kind);
    void listResources(const ResourceKind& kind);
    void listTags(swf::TagCode code);
    // An empty list asks for what the kind's row says, and is filled in
    // when that is every resource of the kind.
    int exportResources(const ResourceKind& kind, std::vector<uint64_t>& ids);
    // Whether the resource now holds what the file holds.
    bool replaceResource(const ResourceKind& kind, uint64_t id, const std::string& path);

    // A whole mod at once: every resource to a folder, a folder of resource
    // files into the game, and the changes made so far.
    void exportAllResources();
    void applyResourceFolder();
    void reviewChanges();
    // A listing taller than the terminal stops at each screenful; ending it
    // there leads back to the main menu.
    void listDifferences(const std::vector<std::pair<const ChangeLog::Change*, const swf::Tag*>>& differences);
    void revertDialogue();
    void exportChanges();
    // Asks for a folder, "<game>_resources" when the answer is empty.
    std::string askFolder(const char* question);
    // Writes the items' files into their kinds' folders of `folder`, after
    // asking before it overwrites a file that differs from its resource.
    void exportToFolder(const std::string& folder, std::vector<ExportItem> items);

    // Writing the game.
    void exportSwf();
    void exportExe();
    // The game was written as it is now.
    void gameWritten();

    // Screens.
    void printHeader();
    void printHelp();

    bool unsavedChanges = false;
    std::unique_ptr<swf::SWF> swfFile;
    // Every replacement goes through the log, which says whether the game
    // differs from the file last loaded or written.
    ChangeLog changes{resourceKinds};
    // The path the game was loaded from, as the user typed it.
    std::string gamePath;
};

// The number of the entry at `position` of a menu of `count` entries: 1, 2,
// ..., and 0 for the last; and the entry an answer chooses.
size_t optionLabel(size_t position, size_t count);
std::optional<size_t> chosenEntry(const std::string& answer, size_t count);

// Prints an error's message, translated, as an error line.
void reportFailure(const std::exception& e);

// The step, with any failure it does not report itself reported as
// "Error: ..." rather than ending the run.
std::function<void()> guarded(std::function<void()> step);

// Runs one step of a dialogue: Ctrl-D within it comes back here, and Ctrl-C
// stops it with one line that says so.
void runStep(const std::function<void()>& step);

}  // namespace vorlune_forge
