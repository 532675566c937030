#include "util/strings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <stdexcept>
#include <string>
#include <system_error>

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

TEST(Strings, RemoveQuotesStripsAtMostOneAtEachEnd) {
    const InOut cases[] = {
        {"\"/home/me/game.swf\"", "/home/me/game.swf"},
        {"'C:\\Games\\game.exe'", "C:\\Games\\game.exe"},
        {"\"/home/me/game.swf", "/home/me/game.swf"},
        {"game.swf'", "game.swf"},
        {"\"mixed'", "mixed"},
        {"\"", ""},
        {"''", ""},
        {"''x''", "'x'"},
        {"in\"side", "in\"side"},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string s = c.input;
        EXPECT_EQ(removequotes(s), c.expected) << c.input;
    }
}

TEST(Strings, CaseConversionAndComparison) {
    EXPECT_EQ(to_lowercase("AbC-09\xC3\x89"), "abc-09\xC3\x89");
    EXPECT_EQ(to_uppercase("AbC-09\xC3\xA9"), "ABC-09\xC3\xA9");
    EXPECT_TRUE(equalsIgnoreCase("ALL", "all"));
    EXPECT_TRUE(equalsIgnoreCase("", ""));
    EXPECT_FALSE(equalsIgnoreCase("all", "al"));
    EXPECT_FALSE(equalsIgnoreCase("all", "all "));
}

TEST(Strings, StartsAndEndsWith) {
    const struct {
        std::string s, affix;
        bool starts, ends;
    } cases[] = {
        {"abc", "", true, true},
        {"", "", true, true},
        {"", "a", false, false},
        {"ab", "abc", false, false},
        {"abc", "ab", true, false},
        {"abc", "bc", false, true},
        {"aba", "a", true, true},
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

TEST(Strings, ReplaceChangesOnlyTheFirstOccurrence) {
    std::string s = "aXbXc";
    EXPECT_TRUE(replace(s, "X", "--"));
    EXPECT_EQ(s, "a--bXc");
    EXPECT_FALSE(replace(s, "Y", "--"));
    EXPECT_EQ(s, "a--bXc");
}

TEST(Strings, FindAndReplaceAll) {
    const struct {
        std::string s, from, to, expected;
    } cases[] = {
        {"aaa", "a", "aa", "aaaaaa"},  // inserted text is not searched again
        {"aaaa", "aa", "b", "bb"},
        {"aaa", "aa", "b", "ba"},
        {"abcabc", "abc", "", ""},
        {"x.y.z", ".", "\\.", "x\\.y\\.z"},
        {"hello", "z", "q", "hello"},
        {"hello", "", "q", "hello"},
        {"", "a", "b", ""},
    };
    for (const auto& c : cases) {
        std::string s = c.s;
        findAndReplaceAll(s, c.from, c.to);
        EXPECT_EQ(s, c.expected) << c.s << ": " << c.from << " -> " << c.to;
    }
}

TEST(Strings, FindAndReplaceAllOnALongTextWithManyHits) {
    // Replacing in place would move the tail once per hit: minutes, not
    // milliseconds, at this size.
    std::string s(1 << 20, 'a');
    findAndReplaceAll(s, "a", "bc");
    ASSERT_EQ(s.size(), size_t{2} << 20);
    EXPECT_EQ(s.find_first_not_of("bc"), std::string::npos);
    EXPECT_EQ(s.substr(0, 4), "bcbc");
}

class StringsWide : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
    }
    void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    std::string saved_;
};

TEST_F(StringsWide, RoundTripsThroughTheLocaleEncoding) {
    const std::string utf8 = "h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x8E\xAE";
    const std::wstring wide = L"h\u00E9llo \u20AC \U0001F3AE";
    EXPECT_EQ(s2ws(utf8), wide);
    EXPECT_EQ(ws2s(wide), utf8);
    EXPECT_EQ(s2ws(""), L"");
}

TEST_F(StringsWide, KeepsTextAfterAnEmbeddedNul) {
    const std::string narrow("a\0\xC3\xA9\0", 5);
    const std::wstring wide(L"a\0\u00E9\0", 4);
    EXPECT_EQ(s2ws(narrow), wide);
    EXPECT_EQ(ws2s(wide), narrow);
}

TEST_F(StringsWide, InvalidSequencesThrowWithErrno) {
    try {
        s2ws("ok \xFF");
        FAIL() << "s2ws accepted an invalid byte";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::error_code(EILSEQ, std::generic_category()));
    }
    try {
        ws2s(L"ok " + std::wstring(1, static_cast<wchar_t>(0xD800)));
        FAIL() << "ws2s accepted a lone surrogate";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::error_code(EILSEQ, std::generic_category()));
    }
}

TEST(Strings, ExtractIntFromStr) {
    const struct {
        std::string input;
        int expected;
    } cases[] = {
        {"a-12b", 12},
        {"image_7.png", 7},
        {"007", 7},
        {"12 34", 12},
        {"x+5", 5},
        {"max2147483647", INT_MAX},
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
