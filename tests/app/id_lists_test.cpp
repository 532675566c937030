// What the user may type for ids: numbers, ranges of the ids the game has,
// symbol names and exported files' names.

#include <gtest/gtest.h>

#include "app/id_lists.h"

using namespace vorlune_forge;

namespace {

const IdNames& imageNames() {
    static const IdNames names({600, 601, 602, 605, 700}, {{600, "HeroSprite"}, {601, "Grass"}, {700, "Sky"}},
                               ".png");
    return names;
}

TEST(IdLists, ExportListsTakeNumbersRangesAndNames) {
    const struct {
        const char* text;
        std::vector<uint64_t> ids;
        const char* refusal;
    } rows[] = {
        {"600", {600}, nullptr},
        {"602, 600 600", {600, 602}, nullptr},
        {"600-605", {600, 601, 602, 605}, nullptr},
        {"605 - 600", {600, 601, 602, 605}, nullptr},
        {"603-604", {}, nullptr},
        {"600-601, 700", {600, 601, 700}, nullptr},
        // A single number is taken whether the game has it or not: the
        // export names what it lacks.
        {"9999", {9999}, nullptr},
        {"herosprite", {600}, nullptr},
        {"HeroSprite.PNG, sky", {600, 700}, nullptr},
        {"601 - anything.png", {601}, nullptr},
        {"65536", {}, "Invalid number.\n"},
        {"600-70000", {}, "Invalid number.\n"},
        {"Hero", {}, "Invalid input.\n"},
        {"", {}, "Invalid input.\n"},
        {" , ,", {}, "Invalid input.\n"},
        {"600-", {}, "Invalid input.\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const IdList list = readIdList(row.text, imageNames());
        EXPECT_EQ(list.ids, row.ids);
        EXPECT_STREQ(list.refusal, row.refusal);
    }
}

TEST(IdLists, ASingleIdIsANumberOrAName) {
    const struct {
        const char* text;
        std::optional<uint64_t> id;
    } rows[] = {
        {"600", 600},   {"+600", 600},          {"0", 0},
        {"65535", 65535}, {"65536", std::nullopt}, {"-5", std::nullopt},
        {"12abc", std::nullopt}, {"grass.png", 601}, {"700 - Sky.png", 700},
        {"Unknown", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(readSingleId(row.text, imageNames()), row.id);
    }
}

}  // namespace
