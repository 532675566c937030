#include "util/strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>

namespace {

struct InOut {
    std::string input;
    std::string expected;
};

TEST(Strings, TrimFamily) {
    const struct {
        std::string input, left, right, both;
    } cases[] = {
        {"", "", "", ""},
        {" \t\n\v\f\r", "", "", ""},
        {"  a b  ", "a b  ", "  a b", "a b"},
        {"\tx\r\n", "x\r\n", "\tx", "x"},
        {"none", "none", "none", "none"},
        // UTF-8 bytes are negative chars; they are not white space.
        {" \xC3\xA9\xC2\xA0", "\xC3\xA9\xC2\xA0", " \xC3\xA9\xC2\xA0", "\xC3\xA9\xC2\xA0"},
    };
    for (const auto& c : cases) {
        std::string l = c.input, r = c.input, b = c.input;
        EXPECT_EQ(ltrim(l), c.left) << '"' << c.input << '"';
        EXPECT_EQ(rtrim(r), c.right) << '"' << c.input << '"';
        EXPECT_EQ(trim(b), c.both) << '"' << c.input << '"';
    }
}

TEST(Strings, LowerCaseChangesOnlyAsciiLetters) { EXPECT_EQ(to_lowercase("AbC-09\xC3\x89"), "abc-09\xC3\x89"); }

TEST(Strings, StartsAndEndsWith) {
    const struct {
        std::string s, affix;
        bool starts, ends;
    } cases[] = {
        {"abc", "", true, true},    {"", "", true, true},       {"", "a", false, false},  {"ab", "abc", false, false},
        {"abc", "ab", true, false}, {"abc", "bc", false, true}, {"aba", "a", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(startsWith(c.s, c.affix), c.starts) << c.s << " / " << c.affix;
        EXPECT_EQ(endsWith(c.s, c.affix), c.ends) << c.s << " / " << c.affix;
    }
}

TEST(Strings, FilenameFromPath) {
    const InOut cases[] = {
        {"C:\\Games\\Vorlune\\game.exe", "game.exe"},
        {"/home/me/game.swf", "game.swf"},
        {"abc", "abc"},
        {"dir/", ""},
        {"a/b\\c", "c"},
        {"a\\b/c", "c"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(getFilenameFromPath(c.input), c.expected) << c.input;
}

// Text from outside shown on a terminal, and written as a file's name:
// nothing in it can drive the terminal, forge a line or leave the folder.
TEST(Strings, OutsideTextIsShownAndNamedSafely) {
    const struct {
        std::string input, shown, fileName;
    } cases[] = {
        {"Img\x1b]0;pwned\a\x1b[2J", "Img\\e]0;pwned\\x07\\e[2J", "Img_]0;pwned__[2J"},
        {"FAKE\n219: StageCastle.xml\r", "FAKE\\n219: StageCastle.xml\\r", "FAKE_219: StageCastle.xml_"},
        {std::string("a\0b\tc", 5), "a\\0b\\tc", "a_b_c"},
        // A C1 control, valid UTF-8 (U+0085), and bytes that are not UTF-8.
        {"x\xC2\x85y\xFF\xC3", "x\\x85y\\xff\\xc3", "x_y__"},
        // Overlong and surrogate forms are not UTF-8 either.
        {"\xC0\xAF\xED\xA0\x80", "\\xc0\\xaf\\xed\\xa0\\x80", "_____"},
        {"caf\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x8E\xAE", "caf\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x8E\xAE",
         "caf\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x8E\xAE"},
        {"../../etc/passwd", "../../etc/passwd", ".._.._etc_passwd"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(visibleText(c.input), c.shown) << c.input;
        EXPECT_EQ(safeFileName(c.input), c.fileName) << c.input;
    }
    // A long name is cut at a character, within its room.
    const std::string accents(300, 'a');
    EXPECT_EQ(safeFileName(accents), std::string(kMaxFileNameBytes, 'a'));
    EXPECT_EQ(safeFileName("\xC3\xA9\xC3\xA9", 3), "\xC3\xA9");
}

TEST(Strings, ExtractIntFromStr) {
    const struct {
        std::string input;
        int expected;
    } cases[] = {
        {"a-12b", 12}, {"image_7.png", 7}, {"007", 7}, {"12 34", 12}, {"x+5", 5}, {"max2147483647", INT_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(extractIntFromStr(c.input), c.expected) << c.input;
}

template <typename Error>
void expectStoiError(const std::string& input) {
    try {
        extractIntFromStr(input);
        ADD_FAILURE() << "no exception for " << input;
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "stoi") << input;
    }
}

TEST(Strings, ExtractIntFromStrRejectsMissingOrHugeNumbers) {
    expectStoiError<std::invalid_argument>("");
    expectStoiError<std::invalid_argument>("no digits -+");
    expectStoiError<std::out_of_range>("n2147483648");
    expectStoiError<std::out_of_range>("-2147483648");  // the sign is skipped
    expectStoiError<std::out_of_range>("99999999999999999999");
}

}  // namespace
