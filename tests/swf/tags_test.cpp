#include <gtest/gtest.h>

#include <map>

#include "swf/movie_builder.h"
#include "swf/swf_test_support.h"

using namespace testmovie;

namespace {

template <typename T>
T& tagAt(swf::SWF& movie, size_t i) {
    auto* tag = dynamic_cast<T*>(movie.tags.at(i).get());
    if (tag == nullptr) throw std::runtime_error("tag " + std::to_string(i) + " has another type");
    return *tag;
}

TEST(SwfTags, UnusualRecordsAreWrittenBackByteForByte) {
    const ByteBuffer original = movie(concat({
        record(9, {0xFF, 0xFF, 0xFF}),
        record(9, {1, 2, 3}, true),  // long form, short body
        record(87, binaryDataBody(5, ByteBuffer(10, 1)), true),
        record(2, ByteBuffer(500, 7)),  // long form, long body
        record(0, {}),
        record(1023, {}),    // unknown code, empty body
        record(27, {4, 5}),  // after the End tag
        record(76, symbolClassBody({})),
    }));
    swf::SWF loaded(original);
    ASSERT_EQ(loaded.tags.size(), 8u);
    EXPECT_EQ(loaded.exportSwf(swf::Compression::Uncompressed), original);
    EXPECT_TRUE(loaded.tags[1]->isLong);
    EXPECT_EQ(swf::codeOf(loaded.tags[5]->code), 1023);
    EXPECT_EQ(loaded.tags[5]->toBytes(), (ByteBuffer{0xC0, 0xFF}));
    EXPECT_EQ(loaded.tags[7]->toBytes(), (ByteBuffer{0x02, 0x13, 0, 0}));
    for (size_t i = 0; i < loaded.tags.size(); ++i) EXPECT_EQ(loaded.tags[i]->index, i + 1);
}

TEST(SwfTags, TypedFieldsAreRead) {
    swf::SWF loaded(sampleMovie());
    ASSERT_EQ(loaded.tags.size(), 9u);

    const auto& stage = tagAt<swf::Tag_DefineBinaryData>(loaded, 1);
    EXPECT_EQ(stage.characterId, 101u);
    EXPECT_EQ(stage.reserved, 0u);
    EXPECT_EQ(stage.data, bytesOf("<stage>one</stage>"));

    const auto& sound = tagAt<swf::Tag_DefineSound>(loaded, 3);
    EXPECT_EQ(sound.characterId, 7u);
    EXPECT_EQ(sound.soundFormat(), swf::SoundFormat::Mp3);
    EXPECT_EQ(sound.soundRate, 3u);
    EXPECT_EQ(sound.soundSize, 1u);
    EXPECT_EQ(sound.soundType, 0u);
    EXPECT_EQ(sound.soundSampleCount, 1152u);
    EXPECT_EQ(swf::Tag_DefineSound::soundRates.at(sound.soundRate), 44100u);

    const auto& direct = tagAt<swf::Tag_DefineBitsLossless>(loaded, 4);
    EXPECT_FALSE(direct.isLossless2);
    EXPECT_EQ(direct.bitmapFormat(), swf::BitmapFormat::Rgb32);
    EXPECT_EQ(direct.bitmapWidth, 2);
    EXPECT_EQ(direct.data.size(), 8u);

    const auto& mapped = tagAt<swf::Tag_DefineBitsLossless>(loaded, 5);
    EXPECT_TRUE(mapped.isLossless2);
    EXPECT_EQ(mapped.bitmapFormat(), swf::BitmapFormat::ColourMapped);
    EXPECT_EQ(mapped.bitmapColorTableSize, 2);
    EXPECT_EQ(mapped.data, (ByteBuffer{1, 2, 3, 4}));

    const auto& symbols = tagAt<swf::Tag_SymbolClass>(loaded, 6);
    ASSERT_EQ(symbols.symbols.size(), 2u);
    EXPECT_EQ(symbols.symbols[1].first, 8u);
    EXPECT_EQ(symbols.symbols[1].second, std::string("HeroBitmap\0", 11));
    EXPECT_EQ(symbols.characterId, 0u);
    EXPECT_TRUE(symbols.data.empty());
}

// Every stored format number is read, named when it is a known format, and
// written back as it was.
TEST(SwfTags, FormatNumbersAreNamedAndKeptAsRead) {
    using swf::BitmapFormat;
    using swf::SoundFormat;
    const std::map<uint8_t, SoundFormat> sounds = {
        {0, SoundFormat::UncompressedNativeEndian},
        {1, SoundFormat::Adpcm},
        {2, SoundFormat::Mp3},
        {3, SoundFormat::UncompressedLittleEndian},
        {4, SoundFormat::Nellymoser16kHz},
        {5, SoundFormat::Nellymoser8kHz},
        {6, SoundFormat::Nellymoser},
        {11, SoundFormat::Speex},
    };
    const std::map<uint8_t, BitmapFormat> bitmaps = {
        {3, BitmapFormat::ColourMapped}, {4, BitmapFormat::Rgb15}, {5, BitmapFormat::Rgb32}};
    const auto named = [](const auto& table, uint8_t number) {
        const auto found = table.find(number);
        return found == table.end() ? std::nullopt : std::optional(found->second);
    };
    for (uint8_t number = 0; number < 16; ++number) {
        SCOPED_TRACE(number);
        const ByteBuffer original = movie(concat({
            record(14, soundBody(7, static_cast<uint8_t>(number << 4 | 0x0E), 1, {})),
            record(20, losslessBody(8, number, 1, 1, 0, {})),
        }));
        swf::SWF loaded(original);
        EXPECT_EQ(tagAt<swf::Tag_DefineSound>(loaded, 0).soundFormat(), named(sounds, number));
        EXPECT_EQ(tagAt<swf::Tag_DefineBitsLossless>(loaded, 1).bitmapFormat(), named(bitmaps, number));
        EXPECT_EQ(loaded.toBytes(), original);
    }
}

TEST(SwfTags, ColourTableSizeByteOnlyForFormat3) {
    swf::SWF loaded(sampleMovie());
    EXPECT_EQ(loaded.tags[4]->toBytes().size(), 6u + 7 + 8) << "long form, no table size byte";
    EXPECT_EQ(loaded.tags[5]->toBytes().size(), 2u + 8 + 4) << "short form with table size byte";
}

TEST(SwfTags, LongRecordLengthFollowsItsContents) {
    swf::SWF loaded(movie(record(87, binaryDataBody(5, ByteBuffer(100, 1)))));
    const size_t before = loaded.toBytes().size();
    loaded.tags[0]->data.resize(1100, 2);
    const ByteBuffer after = loaded.toBytes();
    EXPECT_EQ(after.size(), before + 1000);
    EXPECT_EQ(loadU32le(after.data() + 4), after.size());
    EXPECT_EQ(loadU32le(after.data() + 21 + 2), 1106u);
    EXPECT_EQ(swf::SWF(after).tags[0]->data, loaded.tags[0]->data);
}

TEST(SwfTags, ShortRecordThatChangesSizeGetsAMatchingHeader) {
    const struct {
        size_t newSize;
        size_t recordSize;
        bool longForm;
    } cases[] = {{3, 2 + 9, false}, {56, 2 + 62, false}, {57, 6 + 63, true}, {4000, 6 + 4006, true}};
    for (const auto& c : cases) {
        swf::SWF loaded(movie(record(87, binaryDataBody(5, ByteBuffer(10, 1)))));
        loaded.tags[0]->data.assign(c.newSize, 9);
        const ByteBuffer rec = loaded.tags[0]->toBytes();
        EXPECT_EQ(rec.size(), c.recordSize) << c.newSize;
        EXPECT_EQ(loadU16le(rec.data()) >> 6, 87);
        const swf::SWF reloaded(loaded.toBytes());
        ASSERT_EQ(reloaded.tags.size(), 1u);
        EXPECT_EQ(reloaded.tags[0]->isLong, c.longForm);
        EXPECT_EQ(reloaded.tags[0]->data, loaded.tags[0]->data);
        EXPECT_EQ(reloaded.tags[0]->characterId, 5u);
    }
}

TEST(SwfTags, SymbolClassWrittenFromItsPairs) {
    swf::SWF loaded(movie(record(76, symbolClassBody({{1, "A"}}))));
    auto& symbols = tagAt<swf::Tag_SymbolClass>(loaded, 0);
    symbols.symbols.emplace_back(2, std::string("Second\0", 7));
    const swf::SWF reloaded(loaded.toBytes());
    EXPECT_EQ(reloaded.symbolNames(), (std::map<uint64_t, std::string>{{1, "A"}, {2, "Second"}}));
}

TEST(SwfTags, TruncatedRecordsAreRefused) {
    const struct {
        const char* name;
        ByteBuffer records;
        const char* message;
    } cases[] = {
        {"one header byte",
         {0x40},
         "Invalid SWF file. Truncated tag record: tag header at offset 21 needs 2 bytes, 1 left."},
        {"long length cut",
         {0x3F, 0x02, 1, 0},
         "Invalid SWF file. Truncated tag record: long tag length at offset 23 needs 4 bytes, 2 left."},
        {"body past the end",
         {0x45, 0x00, 1, 2},
         "Invalid SWF file. Truncated tag record: tag body at offset 23 needs 5 bytes, 2 left."},
        {"binary data of 5 bytes", record(87, {1, 0, 0, 0, 0}),
         "Invalid SWF file. Truncated tag record: DefineBinaryData reserved field at offset 25 needs 4 bytes, 3 left."},
        {"sound of 6 bytes", record(14, {1, 0, 0x2E, 0, 0, 0}),
         "Invalid SWF file. Truncated tag record: DefineSound sample count at offset 26 needs 4 bytes, 3 left."},
        {"bitmap of 6 bytes", record(20, {1, 0, 5, 1, 0, 1}),
         "Invalid SWF file. Truncated tag record: DefineBitsLossless height at offset 28 needs 2 bytes, 1 left."},
        {"format 3 bitmap without table size", record(36, {1, 0, 3, 1, 0, 1, 0}),
         "Invalid SWF file. Truncated tag record: DefineBitsLossless colour table size at offset 30 needs 1 bytes, 0 "
         "left."},
        {"symbol name without 0 byte",
         {0x06, 0x13, 1, 0, 5, 0, 'A', 'B'},
         "Invalid SWF file. Truncated tag record: SymbolClass name at offset 27 has no terminating 0 byte."},
        {"symbol count beyond entries",
         {0x06, 0x13, 2, 0, 5, 0, 'A', 0},
         "Invalid SWF file. Truncated tag record: SymbolClass character id at offset 29 needs 2 bytes, 0 left."},
    };
    for (const auto& c : cases) EXPECT_EQ(loadError(movie(c.records)), c.message) << c.name;
}

}  // namespace
