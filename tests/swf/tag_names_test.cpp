#include <gtest/gtest.h>

#include "swf/movie_builder.h"
#include "swf/swf_test_support.h"

using namespace testmovie;

namespace {

TEST(SwfTagNames, NamesOfTheCodes) {
    EXPECT_EQ(swf::SWF::tagTypeNames.size(), 78u);
    const struct {
        int code;
        const char* name;
    } cases[] = {{0, "End"},          {14, "DefineSound"},      {20, "DefineBitsLossless"}, {36, "DefineBitsLossless2"},
                 {76, "SymbolClass"}, {87, "DefineBinaryData"}, {90, "DefineBitsJPEG4"}};
    for (const auto& c : cases) EXPECT_EQ(swf::SWF::tagTypeName(swf::tagCode(c.code)), c.name);
    for (int code : {27, 30, 44, 53, 55, 67, 68, 79, 81, 85, 89, 91, 1023}) {
        EXPECT_EQ(swf::SWF::tagTypeName(swf::tagCode(code)), "Unknown");
    }
}

TEST(SwfTagNames, LookupsByIdAndType) {
    const swf::SWF loaded(sampleMovie());
    EXPECT_EQ(loaded.tags[0]->characterId, 0u) << "raw tags have character id 0";
    EXPECT_EQ(&loaded.tagWithId<swf::Tag_DefineBitsLossless>(9), loaded.tags[5].get());
    EXPECT_EQ(messageOf([&] { loaded.tagWithId<swf::Tag_DefineBinaryData>(4242); }), "No such Tag ID: 4242");
    const auto binaries = loaded.tagsWithCode(swf::TagCode::DefineBinaryData);
    ASSERT_EQ(binaries.size(), 2u);
    EXPECT_EQ(binaries[0]->characterId, 101u);
    EXPECT_EQ(binaries[1]->characterId, 102u);
    EXPECT_TRUE(loaded.tagsWithCode(swf::TagCode::DefineSprite).empty());
}

TEST(SwfTagNames, SymbolNamesAcrossSeveralSymbolClassTags) {
    const swf::SWF loaded(movie(concat({
        record(76, symbolClassBody({{1, "First"}, {2, ""}})),
        record(76, symbolClassBody({{1, "Shadowed"}, {3, "Third"}})),
    })));
    const std::map<uint64_t, std::string> names = loaded.symbolNames();
    EXPECT_EQ(names.at(1), "First");
    EXPECT_EQ(names.at(2), "") << "a name that is only the 0 byte";
    EXPECT_EQ(names.at(3), "Third");
    EXPECT_FALSE(names.contains(4));
}

}  // namespace
