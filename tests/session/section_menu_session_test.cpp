// Sessions with the real program: the four section menus, their listings
// and the checks of the answers at their prompts.

#include <gtest/gtest.h>

#include <stdexcept>

#include "session/session_harness.h"

using namespace session;

namespace {

struct Section {
    const char* name;
    const char* answer;  // in the main menu
    std::string menuText;
    std::string exportQuestion;
    std::string replaceQuestion;
    std::string idPrompt;
    std::string fileQuestion;
};

const std::vector<Section>& sections() {
    static const std::vector<Section> all = {
        {"stages", "2", menu({"List stage files", "Export stage file(s)", "Replace stage file", "Back"}),
         "Which stage(s) do you wish to export?\n", "Which stage file do you wish to replace?\n",
         "Stage ID: ", "Which stage file do you wish to replace with? (.xml)\n"},
        {"sounds", "3", menu({"List sounds", "Export sound(s)", "Replace sound", "Back"}),
         "Which sound(s) do you wish to export?\n", "Which MP3 sound do you wish to replace?\n",
         "Sound ID: ", "Which MP3 file do you wish to replace with?\n"},
        {"images", "4", menu({"List images", "Export image(s)", "Replace image", "Back"}),
         "Which image(s) do you wish to export?\n", "Which image do you wish to replace?\n",
         "Image ID: ", "Which image file do you wish to replace with?\n"},
        {"data files", "5", menu({"List data files", "Export data file(s)", "Replace data file", "Back"}),
         "Which data file(s) do you wish to export?\n", "Which data file do you wish to replace?\n",
         "Data ID: ", "Which data file do you wish to replace with? (.zip)\n"},
    };
    return all;
}

const Section& section(const char* name) {
    for (const auto& s : sections()) {
        if (std::string(name) == s.name) return s;
    }
    throw std::invalid_argument(name);
}

const std::string kExportPrompt = "Type 'all' or comma separated IDs: ";

// Runs the answers given in one section menu of the stage game and leaves.
Result runInSection(const Section& sec, std::vector<std::string> answers, bool merge = false,
                    bool withStage219 = false) {
    Session s;
    s.writeFile("game.swf", games::stageGame(withStage219));
    std::string input = script({"game.swf", sec.answer});
    for (const auto& answer : answers) input += answer + "\n";
    input += script({"0", "0"});
    Options options;
    options.mergeStreams = merge;
    return s.run(input, options);
}

TEST(SessionSectionMenu, UnrecognisedAnswersAreErrorsAndTheMenuComesBack) {
    const std::vector<std::string> answers = {"4", "", "00", "list", "1.", "%s%n"};
    for (const auto& sec : sections()) {
        SCOPED_TRACE(sec.name);
        const Result merged = runInSection(sec, answers, true);
        ASSERT_TRUE(merged.endedNormally()) << merged.describe();
        EXPECT_TRUE(containsEither(merged.out, [&](EmptyLine empty) {
            std::string expected = sec.menuText;
            for (const auto& answer : answers) {
                expected += echoed(answer, empty) + red("Invalid option.\n") + sec.menuText;
            }
            return expected + "0\n" + mainMenu() + "0\n";
        }));

        const Result apart = runInSection(sec, answers);
        ASSERT_TRUE(apart.endedNormally()) << apart.describe();
        std::string messages;
        for (size_t i = 0; i < answers.size(); ++i) messages += "Invalid option.\n";
        EXPECT_EQ(apart.err, messages);
    }
}

TEST(SessionSectionMenu, BackReturnsToTheMainMenu) {
    for (const auto& sec : sections()) {
        SCOPED_TRACE(sec.name);
        const Result r = runInSection(sec, {});
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(
            contains(r.out, mainMenu() + sec.answer + "\n" + sec.menuText + "0\n" + mainMenu() + "0\nGood bye. o/\n"));
        EXPECT_EQ(r.err, "");
    }
}

TEST(SessionSectionMenu, ExportAnswersThatAreNoIdListAreRejected) {
    const struct {
        const char* section;
        const char* answer;
        const char* message = "Invalid input.\n";
    } cases[] = {
        {"stages", "1;2"},
        {"stages", ""},
        {"stages", "1.5"},
        {"stages", ","},
        {"stages", "234 abc"},
        {"sounds", "1;2"},
        {"data files", "136;"},
        // A minus that is no range.
        {"sounds", "-5"},
        {"stages", "234,-1"},
        {"images", "8-"},
        // A word that names nothing of the kind is named.
        {"stages", "1,x", "No stage file named 'x'.\n"},
        {"stages", "%n%s", "No stage file named '%n%s'.\n"},
        {"images", "one", "No image named 'one'.\n"},
        {"images", "Heroes", "No image named 'Heroes'.\n"},
        {"stages", "StageForest", "No stage file named 'StageForest'.\n"},
        // Numbers that cannot be character ids.
        {"images", "8, 65536", "Invalid number.\n"},
        {"images", "1-70000", "Invalid number.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + ": " + c.answer);
        const Section& sec = section(c.section);
        const Result r = runInSection(sec, {"2", c.answer});
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(
            contains(r.out, yellow(sec.exportQuestion) + kExportPrompt + c.answer + "\n" + errorMark() + sec.menuText));
        EXPECT_EQ(r.err, c.message);
        // Nothing was exported, so there is no count either.
        EXPECT_EQ(r.out.find("Exported"), std::string::npos);
    }
}

TEST(SessionSectionMenu, IdListsAndAllReachTheExport) {
    const std::vector<std::string> answers = {"all", "ALL", "5, 2,2", "234 8,7 136,"};
    std::vector<std::string> steps;
    for (const auto& answer : answers) steps.insert(steps.end(), {"2", answer});
    for (const auto& sec : sections()) {
        SCOPED_TRACE(sec.name);
        const Result r = runInSection(sec, steps);
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err.find("Invalid input."), std::string::npos) << r.err;
        for (const auto& answer : answers) EXPECT_TRUE(contains(r.out, kExportPrompt + answer + "\n"));
        EXPECT_EQ(countOf(r.out, sec.menuText), answers.size() + 1);
        EXPECT_TRUE(contains(r.out, sec.menuText + "0\n" + mainMenu()));
    }
}

// Ranges take the ids the game has between their ends; names and exported
// files' names take their resources.
TEST(SessionSectionMenu, RangesAndNamesInExportLists) {
    const struct {
        const char* section;
        const char* answer;
        std::vector<std::string> files;
    } cases[] = {
        {"images", "8-10", {"8 - Hero.png", "9 - Tree.png", "10 - Logo.png"}},
        {"images", "10 - 8, 12", {"8 - Hero.png", "12 - Sky.png", "9 - Tree.png", "10 - Logo.png"}},
        {"images", "hero, LOGO.png", {"8 - Hero.png", "10 - Logo.png"}},
        {"images", "12 - Sky.png", {"12 - Sky.png"}},
        {"stages", "200-300", {"226 - StageHarbour.xml", "234 - StageMeadow.xml", "299 - StageTower.xml"}},
        {"data files", "itemtable.zip", {"136 - ItemTable"}},
        {"sounds", "600-700", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + ": " + c.answer);
        const Result r = runInSection(section(c.section), {"2", c.answer});
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        std::vector<std::string> exported;
        for (size_t at = r.out.find("Exporting: "); at != std::string::npos; at = r.out.find("Exporting: ", at + 1)) {
            exported.push_back(r.out.substr(at + 11, r.out.find('\n', at) - at - 11));
        }
        EXPECT_EQ(exported, c.files);
    }
}

TEST(SessionSectionMenu, ReplaceIdMustBeOneWholeNumber) {
    const struct {
        const char* section;
        const char* answer;
        bool accepted;
        const char* message = "Invalid number.\n";
    } cases[] = {
        {"stages", "12abc", false},
        {"stages", "abc", false, "No stage file named 'abc'.\n"},
        {"stages", "", false},
        {"stages", "1.5", false},
        {"stages", "1 2", false},
        {"stages", "1,2", false},
        {"stages", "+", false},
        {"stages", "0x10", false},
        {"stages", "99999999999999999999", false},  // more than 64 bits
        {"stages", "%s%n", false, "No stage file named '%s%n'.\n"},
        {"stages", "234", true},
        {"stages", "  234  ", true},
        {"stages", "+7", true},
        {"stages", "65535", true},
        // No character id is negative or beyond 16 bits.
        {"stages", "-1", false},
        {"stages", "-5", false},
        {"stages", "65536", false},
        {"stages", "18446744073709551615", false},
        {"sounds", "12abc", false},
        {"sounds", "7", true},
        {"images", "8x", false},
        {"images", "8", true},
        {"data files", "one", false, "No data file named 'one'.\n"},
        {"data files", "136", true},
        // A name, or an exported file's name, stands for its id.
        {"images", "hero", true},
        {"images", "12 - Sky.png", true},
        {"data files", "ItemTable.ZIP", true},
        {"images", "Heroes", false, "No image named 'Heroes'.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + ": " + c.answer);
        const Section& sec = section(c.section);
        const std::string asked = yellow(sec.replaceQuestion) + sec.idPrompt + c.answer + "\n";
        if (c.accepted) {
            const Result r = runInSection(sec, {"3", c.answer, "new file"});
            ASSERT_TRUE(r.endedNormally()) << r.describe();
            EXPECT_TRUE(contains(r.out, asked + yellow(sec.fileQuestion) + "File path: new file\n"));
            EXPECT_EQ(r.err.find("Invalid number."), std::string::npos) << r.err;
        } else {
            // No file is asked for: the next line is read by the menu.
            const Result r = runInSection(sec, {"3", c.answer});
            ASSERT_TRUE(r.endedNormally()) << r.describe();
            EXPECT_TRUE(contains(r.out, asked + errorMark() + sec.menuText + "0\n" + mainMenu()));
            EXPECT_EQ(r.out.find(sec.fileQuestion), std::string::npos);
            EXPECT_EQ(r.err, c.message);
        }
    }
}

std::string listingLine(uint64_t id, const std::string& name) { return red(std::to_string(id)) + ": " + name + "\n"; }

TEST(SessionListing, StagesInTableOrderWithMissingOnesReported) {
    const Section& stages = section("stages");
    const std::vector<std::pair<uint64_t, std::string>> expected = {
        {234, "StageMeadow.xml"}, {219, "StageForest.xml"}, {398, "StageCaves.xml"},  {226, "StageHarbour.xml"},
        {299, "StageTower.xml"},  {305, "StageMarsh.xml"},  {454, "StageSummit.xml"}, {170, "StageTutorial.xml"},
    };
    for (const bool complete : {true, false}) {
        SCOPED_TRACE(complete ? "all stages" : "without 219");
        std::string listing;
        std::string apartListing;
        for (const auto& [id, name] : expected) {
            if (id == 219 && !complete) {
                listing += red("Stage file with ID=219 not found inside the game.\n");
                apartListing += errorMark();
            } else {
                listing += listingLine(id, name);
                apartListing += listingLine(id, name);
            }
        }
        const Result merged = runInSection(stages, {"1"}, true, complete);
        ASSERT_TRUE(merged.endedNormally()) << merged.describe();
        EXPECT_TRUE(contains(merged.out, stages.menuText + "1\n" + listing + stages.menuText));

        const Result apart = runInSection(stages, {"1"}, false, complete);
        ASSERT_TRUE(apart.endedNormally()) << apart.describe();
        EXPECT_TRUE(contains(apart.out, stages.menuText + "1\n" + apartListing + stages.menuText));
        EXPECT_EQ(apart.err, complete ? "" : "Stage file with ID=219 not found inside the game.\n");
    }
}

TEST(SessionListing, SoundsAndImages) {
    const struct {
        const char* section;
        std::string listing;
    } cases[] = {
        // The second sound is uncompressed, exported as WAV.
        {"sounds", listingLine(7, "Theme.mp3") + listingLine(11, "Click.wav")},
        // All DefineBitsLossless before all DefineBitsLossless2, each kind in
        // stream order, although the kinds alternate in the stream.
        {"images", listingLine(8, "Hero.png") + listingLine(12, "Sky.png") + listingLine(9, "Tree.png") +
                       listingLine(10, "Logo.png")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        const Section& sec = section(c.section);
        const Result r = runInSection(sec, {"1"});
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, sec.menuText + "1\n" + c.listing + sec.menuText));
        EXPECT_EQ(r.err, "");
    }
}

TEST(SessionListing, DataFilesInTableOrder) {
    const uint64_t dataIds[] = {136, 140, 141, 142, 144, 149, 150, 156, 163, 167, 175, 179, 180, 181, 182, 185,
                                191, 195, 197, 198, 201, 203, 205, 214, 220, 223, 224, 225, 229, 230, 233, 237,
                                250, 277, 278, 279, 280, 290, 294, 295, 296, 297, 311, 314, 315, 316, 318, 326,
                                330, 332, 335, 336, 338, 340, 341, 347, 348, 363, 369, 371, 380, 385, 390, 394,
                                396, 397, 411, 415, 421, 425, 433, 441, 442, 444, 445, 448, 465, 468};
    std::string missing;
    for (const uint64_t id : dataIds) {
        if (id != 136) missing += "Data file with ID=" + std::to_string(id) + " not found inside the game.\n";
    }
    const Section& data = section("data files");
    const Result r = runInSection(data, {"1"});
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    // The data file is listed under its bare symbol name.
    EXPECT_TRUE(contains(r.out, data.menuText + "1\n" + listingLine(136, "ItemTable") + errorMark()));
    EXPECT_EQ(countOf(r.out, errorMark()), 77u);
    EXPECT_EQ(r.err, missing);
}

}  // namespace
