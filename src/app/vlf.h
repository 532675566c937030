#pragma once
// The application: holds the loaded game for the whole run and leads the
// dialogue from the title screen to the exit.

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

    // The kinds of resource the section menus work on.
    static const ResourceKind stageFiles;
    static const ResourceKind sounds;
    static const ResourceKind images;
    static const ResourceKind dataFiles;

    // Prints "What do you wish to do?" and the entries numbered 1, 2, ... 0.
    static void printOptions(const std::vector<std::string>& options);

private:
    void readFile();
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
    int exportResources(const ResourceKind& kind, const std::vector<uint64_t>& ids);
    void replaceResource(const ResourceKind& kind, uint64_t id, const std::string& path);
    // Why the id names no resource of the kind in the game (a message id
    // taking the id), or nullptr when it does.
    const char* missingId(const ResourceKind& kind, uint64_t id) const;
    // Every id of the kind, in its order.
    std::vector<uint64_t> allIds(const ResourceKind& kind) const;

    // Writing the game.
    void exportSwf();
    void exportExe();

    // Screens.
    void printHeader();
    void printHelp();

    bool unsavedChanges = false;
    std::unique_ptr<swf::SWF> swfFile;
    // The path the game was loaded from, as the user typed it.
    std::string gamePath;
};

// Prints an error's message, translated, as an error line.
void reportFailure(const std::exception& e);

// Runs one step of a dialogue: Ctrl-D within it comes back here, and Ctrl-C
// stops it with one line that says so.
void runStep(const std::function<void()>& step);

}  // namespace vorlune_forge
