#include <gtest/gtest.h>

#include "swf/movie_builder.h"
#include "swf/swf_test_support.h"

using namespace testmovie;

namespace {

TEST(SwfTagNames, TableAndReverseLookup) {
    EXPECT_EQ(swf::SWF::tagTypeNames.size(), 79u);
    const struct {
        int code;
        const char* name;
    } cases[] = {{-1, "File Header"},       {0, "End"},          {14, "DefineSound"}, {20, "DefineBitsLossless"},
                 {36, "DefineBitsLossless2"}, {76, "SymbolClass"}, {87, "DefineBinaryData"}, {90, "DefineBitsJPEG4"}};
    for (const auto& c : cases) {
        EXPECT_EQ(swf::SWF::tagId(c.name), c.code);
        EXPECT_EQ(swf::SWF::tagTypeName(c.code), c.name);
    }
    EXPECT_EQ(swf::SWF::tagId("definebinarydata"), -2);
    EXPECT_EQ(swf::SWF::tagId("Unknown"), -2);
    for (int code : {27, 30, 44, 53, 55, 67, 68, 79, 81, 85, 89, 91, 1023}) EXPECT_EQ(swf::SWF::tagTypeName(code), "Unknown");
}

TEST(SwfTagNames, LookupsByIdAndType) {
    swf::SWF loaded(sampleMovie());
    EXPECT_EQ(loaded.getTagWithId(0), loaded.tags[0].get()) << "raw tags have character id 0";
    EXPECT_EQ(loaded.getTagWithId(9), loaded.tags[5].get());
    EXPECT_EQ(loaded.getTagWithId(4242), nullptr);
    const auto binaries = loaded.getTagsOfType(swf::SWF::tagId("DefineBinaryData"));
    ASSERT_EQ(binaries.size(), 2u);
    EXPECT_EQ(binaries[0]->characterId, 101u);
    EXPECT_EQ(binaries[1]->characterId, 102u);
    EXPECT_TRUE(loaded.getTagsOfType(swf::SWF::tagId("DefineSprite")).empty());
}

TEST(SwfTagNames, SymbolNamesAcrossSeveralSymbolClassTags) {
    const swf::SWF loaded(movie(concat({
        record(76, symbolClassBody({{1, "First"}, {2, ""}})),
        record(76, symbolClassBody({{1, "Shadowed"}, {3, "Third"}})),
    })));
    EXPECT_EQ(loaded.getSymbolName(1), "First");
    EXPECT_EQ(loaded.getSymbolName(2), "") << "a name that is only the 0 byte";
    EXPECT_EQ(loaded.getSymbolName(3), "Third");
    EXPECT_EQ(loaded.getSymbolName(4), "");
}

}  // namespace
