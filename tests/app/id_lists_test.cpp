// What the user may type for ids: numbers, ranges of the ids the game has,
// symbol names and exported files' names, read by one reader.

#include "app/id_lists.h"

#include <gtest/gtest.h>

using namespace vorlune_forge;

namespace {

const IdNames& imageNames() {
    static const IdNames names({{600, "HeroSprite", ".png"},
                                {601, "Grass", ".png"},
                                {602, "", ".png"},
                                {605, "", ".png"},
                                {700, "Sky", ".png"}},
                               "No image named '%s'.\n");
    return names;
}

std::string english(const std::optional<Message>& message) {
    return message ? message->render([](const char* id) { return id; }) : "";
}

TEST(IdLists, AnswersNameIdsOrSayWhyNot) {
    const struct {
        const char* text;
        bool single;
        std::vector<uint64_t> ids;
        const char* refusal;
    } rows[] = {
        {"600", false, {600}, ""},
        {"602, 600 600", false, {600, 602}, ""},
        {"600-605", false, {600, 601, 602, 605}, ""},
        {"605 - 600", false, {600, 601, 602, 605}, ""},
        {"603-604", false, {}, ""},
        {"600-601, 700", false, {600, 601, 700}, ""},
        // A number is taken whether the game has it or not: the export
        // names what it lacks.
        {"9999", false, {9999}, ""},
        {"0600", false, {600}, ""},
        {"herosprite", false, {600}, ""},
        {"HeroSprite.PNG, sky", false, {600, 700}, ""},
        {"601 - anything.png", false, {601}, ""},
        {"65536", false, {}, "Invalid number.\n"},
        {"600-70000", false, {}, "Invalid number.\n"},
        {"1234567, x", false, {}, "Invalid number.\n"},
        {"600, Hero", false, {}, "No image named 'Hero'.\n"},
        {"%n%s", false, {}, "No image named '%n%s'.\n"},
        {"", false, {}, "Invalid input.\n"},
        {" , ,", false, {}, "Invalid input.\n"},
        {"600-", false, {}, "Invalid input.\n"},
        {"1;2", false, {}, "Invalid input.\n"},
        {"-5", false, {}, "Invalid input.\n"},
        // A single id: one number, or one name.
        {"600", true, {600}, ""},
        {"+600", true, {600}, ""},
        {"0", true, {0}, ""},
        {"65535", true, {65535}, ""},
        {"grass.png", true, {601}, ""},
        {"700 - Sky.png", true, {700}, ""},
        {"65536", true, {}, "Invalid number.\n"},
        {"99999999999999999999", true, {}, "Invalid number.\n"},
        {"-5", true, {}, "Invalid number.\n"},
        {"12abc", true, {}, "Invalid number.\n"},
        {"600, 601", true, {}, "Invalid number.\n"},
        {"600-601", true, {}, "Invalid number.\n"},
        {"", true, {}, "Invalid number.\n"},
        {"Unknown", true, {}, "No image named 'Unknown'.\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.text) + (row.single ? " (single)" : ""));
        const IdAnswer answer = getVectorOfNumbers(row.text, imageNames(), row.single);
        EXPECT_EQ(answer.ids, row.ids);
        EXPECT_EQ(english(answer.refusal), row.refusal);
    }
}

}  // namespace
