#pragma once
// The application: holds the loaded game for the whole run and leads the
// dialogue from the title screen to the exit.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
    void printListingLine(uint64_t id, const std::string& name);

    // Reads the file at `path` and hands its bytes to `replace`, telling the
    // user what is replaced; marks the game as changed when it succeeded.
    void replaceFromFile(const std::string& displayName, const std::string& path,
                         const std::function<void(const ByteBuffer&)>& replace);

    // Resource operations: exports return the number of files written.
    bool findStage(uint64_t id);
    int exportStages(std::vector<uint64_t>& ids);
    void replaceStage(uint64_t id, const std::string& path);
    int exportSounds(std::vector<uint64_t>& ids);
    void replaceSound(uint64_t id, const std::string& path);
    int exportImages(std::vector<uint64_t>& ids);
    void replaceImage(uint64_t id, const std::string& path);
    bool findDataFile(uint64_t id);
    int exportData(std::vector<uint64_t>& ids);
    void replaceData(uint64_t id, const std::string& path);

    // Writing the game.
    void exportSwf();
    void exportExe();

    // Screens.
    void printHeader();
    void printHelp();

    bool unsavedChanges = false;
    std::unique_ptr<swf::SWF> swfFile;
};

// Prints an exception's text as an error and ends the line.
void reportFailure(const std::exception& e);

}  // namespace vorlune_forge
