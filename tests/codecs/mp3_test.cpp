#include "codecs/mp3.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string_view>

#include "codecs/mp3_test_support.h"

namespace {

using testmp3::concat;
using testmp3::encodeMp3;
using testmp3::slice;

ByteBuffer text(std::string_view s) { return ByteBuffer(s.begin(), s.end()); }

ByteBuffer syncsafe(size_t n) {
    return {static_cast<uint8_t>((n >> 21) & 0x7F), static_cast<uint8_t>((n >> 14) & 0x7F),
            static_cast<uint8_t>((n >> 7) & 0x7F), static_cast<uint8_t>(n & 0x7F)};
}

ByteBuffer id3v2(uint8_t version, uint8_t flags, const ByteBuffer& body, bool footer = false) {
    ByteBuffer out = concat({text("ID3"), {version, 0, flags}, syncsafe(body.size()), body});
    if (footer) appendBytes(out, concat({text("3DI"), {version, 0, flags}, syncsafe(body.size())}));
    return out;
}

ByteBuffer id3v1() {
    ByteBuffer out = text("TAGSome title");
    out.resize(128, 0);
    return out;
}

ByteBuffer apeTag(const ByteBuffer& items, bool withHeader) {
    auto headerOrFooter = [&](uint32_t flags) {
        ByteBuffer out = text("APETAGEX");
        appendU32le(out, 2000);
        appendU32le(out, static_cast<uint32_t>(items.size() + 32));
        appendU32le(out, 1);
        appendU32le(out, flags);
        out.resize(out.size() + 8, 0);
        return out;
    };
    return concat(
        {withHeader ? headerOrFooter(0xA0000000) : ByteBuffer{}, items, headerOrFooter(withHeader ? 0x80000000 : 0)});
}

ByteBuffer lyrics3v2(const ByteBuffer& lyrics) {
    const std::string fieldSize = std::to_string(100000 + lyrics.size()).substr(1);
    const ByteBuffer content = concat({text("LYRICSBEGININD0000210LYR"), text(fieldSize), lyrics});
    const std::string size = std::to_string(1000000 + content.size()).substr(1);
    return concat({content, text(size), text("LYRICS200")});
}

ByteBuffer lyrics3v1(const ByteBuffer& lyrics) { return concat({text("LYRICSBEGIN"), lyrics, text("LYRICSEND")}); }

std::string messageOf(const ByteBuffer& bytes) {
    try {
        mp3::inspectMp3(bytes);
    } catch (const mp3::mp3_exception& e) {
        return e.what();
    }
    return "(no exception)";
}

TEST(SoundsInspector, ReportsTheFormatAndEveryStoredFrame) {
    const struct {
        unsigned rate;
        unsigned channels;
        uint64_t samplesPerFrame;
    } cases[] = {
        {44100, 2, 1152}, {44100, 1, 1152}, {48000, 2, 1152}, {22050, 2, 576}, {22050, 1, 576}, {11025, 1, 576},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.channels) + " channel(s)");
        const ByteBuffer& file = encodeMp3(c.rate, c.channels);
        const mp3::Mp3Info info = mp3::inspectMp3(file);
        EXPECT_EQ(info.sampleRate, c.rate);
        EXPECT_EQ(info.channels, c.channels);
        EXPECT_EQ(info.startOffset, 0u);
        EXPECT_EQ(info.trailingBytes, 0u);
        EXPECT_EQ(info.sampleCount, info.frameCount * c.samplesPerFrame);
        // The player decodes every stored frame, the information frame too.
        EXPECT_EQ(info.sampleCount, testmp3::decodedSampleCount(file));
    }
}

// The frames lame writes do not depend on the tags it adds around them.
TEST(SoundsInspector, EncoderTagsAreLeftOutOfTheFrames) {
    const struct {
        const char* options;
        bool leading;
        size_t trailing;
    } cases[] = {
        {"--id3v2-only --pad-id3v2-size 300 --tt Title", true, 0},
        {"--id3v1-only --tt Title", false, 128},
        {"--add-id3v2 --tt Title --ta Artist", true, 128},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const ByteBuffer& plain = encodeMp3(22050, 1);
        const ByteBuffer& tagged = encodeMp3(22050, 1, 0.3, c.options);
        const mp3::Mp3Info info = mp3::inspectMp3(tagged);
        EXPECT_EQ(info.startOffset > 0, c.leading);
        EXPECT_EQ(info.trailingBytes, c.trailing);
        EXPECT_EQ(slice(tagged, info.startOffset, tagged.size() - info.trailingBytes), plain);
        EXPECT_EQ(info.sampleCount, mp3::inspectMp3(plain).sampleCount);
    }
}

// Tag bodies carry a whole MP3 file: had a tag not been recognised, its
// frames would have been counted.
TEST(SoundsInspector, TagsAndJunkAroundTheFramesAreFound) {
    const ByteBuffer& frames = encodeMp3(22050, 1);
    const ByteBuffer lyrics = concat({text("Some lyrics "), frames});
    const ByteBuffer partialFrame = slice(frames, 0, 100);
    const struct {
        const char* name;
        ByteBuffer before;
        ByteBuffer after;
    } cases[] = {
        {"ID3v2.3", id3v2(3, 0, frames), {}},
        {"ID3v2.4 with a footer", id3v2(4, 0x10, frames, true), {}},
        {"two ID3v2 tags", concat({id3v2(3, 0, frames), id3v2(4, 0, text("second"))}), {}},
        {"junk", ByteBuffer(500, 'x'), {}},
        {"ID3v2 and junk", concat({id3v2(3, 0, text("tag")), ByteBuffer(300, 0)}), {}},
        {"ID3v1", {}, id3v1()},
        {"APE with header, ID3v1", {}, concat({apeTag(lyrics, true), id3v1()})},
        {"APE without header", {}, apeTag(lyrics, false)},
        {"Lyrics3 v2, ID3v1", {}, concat({lyrics3v2(lyrics), id3v1()})},
        {"Lyrics3 v1, ID3v1", {}, concat({lyrics3v1(lyrics), id3v1()})},
        {"Lyrics3 v2, APE, ID3v1", {}, concat({lyrics3v2(lyrics), apeTag(lyrics, true), id3v1()})},
        {"ID3v2.4 after the frames", {}, id3v2(4, 0x10, frames, true)},
        {"last frame cut short", {}, partialFrame},
        {"last frame cut short, ID3v1", {}, concat({partialFrame, id3v1()})},
    };
    const uint64_t samples = mp3::inspectMp3(frames).sampleCount;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const mp3::Mp3Info info = mp3::inspectMp3(concat({c.before, frames, c.after}));
        EXPECT_EQ(info.startOffset, c.before.size());
        EXPECT_EQ(info.trailingBytes, c.after.size());
        EXPECT_EQ(info.sampleCount, samples);
    }
}

TEST(SoundsInspector, FilesWithoutOneConsistentStreamAreRefused) {
    const ByteBuffer& stereo44 = encodeMp3(44100, 2);
    const ByteBuffer& stereo22 = encodeMp3(22050, 2);
    const ByteBuffer& mono22 = encodeMp3(22050, 1);
    ByteBuffer garbage(5000);
    std::mt19937 random(3);
    for (auto& byte : garbage) byte = static_cast<uint8_t>(random());
    const std::string noFrame = "No MPEG audio frame was found in the file.";
    const size_t framesOf22 = mp3::inspectMp3(mono22).frameCount;
    const struct {
        const char* name;
        ByteBuffer bytes;
        std::string reason;  // empty: any reason
    } cases[] = {
        {"empty", {}, noFrame},
        {"garbage", garbage, ""},
        {"tags only", concat({id3v2(3, 0, text("title")), id3v1()}), noFrame},
        {"first frame cut short", slice(stereo44, 0, 200), noFrame},
        {"ID3v2 larger than the file", concat({text("ID3"), {3, 0, 0}, syncsafe(100000), mono22}),
         "The ID3v2 tag at offset 0 claims 100010 bytes, more than the file holds."},
        {"sample rate changes", concat({stereo44, stereo22}),
         "The sample rate changes from 44100 Hz to 22050 Hz after frame " +
             std::to_string(mp3::inspectMp3(stereo44).frameCount) + "."},
        {"channel count changes", concat({mono22, stereo22}),
         "The channel count changes from 1 to 2 after frame " + std::to_string(framesOf22) + "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string message = messageOf(c.bytes);
        if (c.reason.empty()) {
            EXPECT_NE(message, "");
        } else {
            EXPECT_EQ(message, c.reason);
        }
    }
}

// Whatever the damage, the inspector either describes frames inside the
// file or refuses it with its own exception.
TEST(SoundsInspector, SurvivesEveryTruncationAndByteFlip) {
    const ByteBuffer& file = encodeMp3(11025, 1, 0.5);
    const uint64_t fullCount = mp3::inspectMp3(file).sampleCount;
    auto inspect = [](const ByteBuffer& bytes) -> std::optional<mp3::Mp3Info> {
        try {
            const mp3::Mp3Info info = mp3::inspectMp3(bytes);
            EXPECT_LE(info.startOffset + info.trailingBytes, bytes.size());
            EXPECT_GT(info.frameCount, 0u);
            return info;
        } catch (const mp3::mp3_exception& e) {
            EXPECT_STRNE(e.what(), "");
            return std::nullopt;
        }
    };

    // Each frame counts from the byte that completes it on, the first one
    // (confirmed by the end of the data alone) included.
    uint64_t previous = 0;
    for (size_t length = 0; length <= file.size(); ++length) {
        const auto info = inspect(slice(file, 0, length));
        const uint64_t count = info ? info->sampleCount : 0;
        EXPECT_TRUE(count == previous || count == previous + 576) << "length " << length << ": " << count;
        previous = count;
    }
    EXPECT_EQ(previous, fullCount);

    for (size_t at = 0; at < file.size(); ++at) {
        ByteBuffer damaged = file;
        damaged[at] ^= 0xFF;
        inspect(damaged);
    }
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        ByteBuffer damaged = file;
        for (int i = 0; i < 6; ++i) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
        inspect(damaged);
    }
}

}  // namespace
