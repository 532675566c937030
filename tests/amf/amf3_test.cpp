#include "amf/amf3.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "amf_test_support.h"

using amftest::bytes;
using amftest::outcomeOf;
using swf::AMF3;

namespace {

struct LengthHeader {
    size_t length;
    const char* header;
};

const LengthHeader kLengthHeaders[] = {
    {0, "01"},           {63, "7F"},          {64, "81 01"},       {8191, "FF 7F"},
    {8192, "81 80 01"},  {1048575, "FF FF 7F"}, {1048576, "80 C0 80 01"}, {268435455, "FF FF FF FF"},
};

TEST(AmfThree, LengthHeadersEncodeAndDecode) {
    for (const auto& [length, header] : kLengthHeaders) {
        const ByteBuffer expected = bytes(header);
        EXPECT_EQ(AMF3::Uint29BAToVec(length), expected) << length;
        size_t pos = 0;
        EXPECT_EQ(AMF3::readUInt29(expected, pos), 2 * length + 1) << length;
        EXPECT_EQ(pos, expected.size()) << length;
    }
}

TEST(AmfThree, LengthsBeyondTwentyNineBitsAreRefused) {
    EXPECT_EQ(outcomeOf([] { AMF3::Uint29BAToVec(268435456); }), "swf: Number '268435456' has more than 29 bits.");
    const size_t huge = std::numeric_limits<size_t>::max();
    EXPECT_EQ(outcomeOf([&] { AMF3::Uint29BAToVec(huge); }),
              "swf: Number '" + std::to_string(huge) + "' has more than 29 bits.");
}

TEST(AmfThree, ByteArrayBuiltFromItsHeaderReadsBack) {
    for (const size_t length : {size_t{3}, size_t{64}, size_t{8192}, size_t{1048576}}) {
        ByteBuffer value{0x0C};
        appendBytes(value, AMF3::Uint29BAToVec(length));
        const size_t headerSize = value.size() - 1;
        value.resize(value.size() + length, 0xAB);
        value.push_back(0x01);  // the next value of a run

        const AMF3 decoded(value);
        ASSERT_EQ(decoded.values.size(), 1u);
        EXPECT_EQ(decoded.values[0].lengthSize, headerSize);
        EXPECT_EQ(decoded.values[0].payload, ByteBuffer(length, 0xAB));
    }
}

struct Decoding {
    const char* input;
    const char* outcome;  // "ok" or the failure
    uint8_t marker;
    uint32_t lengthSize;
    const char* payload;
};

TEST(AmfThree, DecodesOneValueOrRefuses) {
    const Decoding cases[] = {
        {"0C 07 41 42 43", "ok", 0x0C, 1, "41 42 43"},
        {"0C 07 41 42 43 FF FF", "ok", 0x0C, 1, "41 42 43"},
        {"0C 06 41 42 43", "ok", 0x0C, 1, "41 42 43"},  // inline bit clear: still length 3
        {"0C 81 01 'abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijkl'", "ok", 0x0C, 2,
         "'abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijkl'"},
        {"01", "ok", 0x01, 0, ""},
        {"01 0C 07 41 42 43", "ok", 0x01, 0, ""},
        {"0C 05 41 42", "swf: Cannot interpret this AFM3 file.", 0, 0, ""},
        {"0C 01", "swf: Cannot interpret this AFM3 file.", 0, 0, ""},
        {"0C", "swf: Cannot interpret this AFM3 file.", 0, 0, ""},
        {"0A 07 41 42 43", "swf: Position: 0. Marker '0x0a' not valid or not implemented.", 0, 0, ""},
        {"FF", "swf: Position: 0. Marker '0xff' not valid or not implemented.", 0, 0, ""},
        {"", "swf: Invalid AMF data: an AMF3 marker at offset 0 needs 1 bytes, 0 left.", 0, 0, ""},
        {"0C 0B 41 42 43", "swf: Invalid AMF data: a ByteArray payload at offset 2 needs 5 bytes, 3 left.",
         0, 0, ""},
        {"0C 81 80 80 80", "swf: Invalid AMF data: a ByteArray payload at offset 5 needs 2097216 bytes, 0 left.",
         0, 0, ""},
    };
    for (const auto& c : cases) {
        const ByteBuffer input = bytes(c.input);
        EXPECT_EQ(outcomeOf([&] { AMF3{input}; }), c.outcome) << c.input;
        if (std::string(c.outcome) != "ok") continue;
        const AMF3 decoded(input);
        ASSERT_EQ(decoded.values.size(), 1u);
        EXPECT_EQ(decoded.values[0].marker, c.marker) << c.input;
        EXPECT_EQ(decoded.values[0].lengthSize, c.lengthSize) << c.input;
        EXPECT_EQ(decoded.values[0].payload, bytes(c.payload)) << c.input;
    }
}

TEST(AmfThree, ReadUInt29StaysInsideTheBuffer) {
    const ByteBuffer cut = bytes("81 80");
    size_t pos = 0;
    EXPECT_EQ(outcomeOf([&] { AMF3::readUInt29(cut, pos); }),
              "swf: Invalid AMF data: a U29 integer at offset 2 needs 1 bytes, 0 left.");
    size_t past = 7;
    EXPECT_EQ(outcomeOf([&] { AMF3::readUInt29(cut, past); }),
              "swf: Invalid AMF data: a U29 integer at offset 7 needs 1 bytes, 0 left.");
}

// A run of values, walked the way data files are: each value starts where the
// previous one ended, by the size its record gives.
TEST(AmfThree, RunOfValuesIsWalkedByRecordSizes) {
    ByteBuffer run = bytes("0C 07 'abc' 01");
    run.push_back(0x0C);
    appendBytes(run, AMF3::Uint29BAToVec(200));
    run.resize(run.size() + 200, 0x5A);
    appendBytes(run, bytes("0C 09 'wxyz'"));

    std::vector<size_t> payloadSizes;
    for (size_t offset = 0; offset < run.size();) {
        const AMF3 value(ByteView(run).subspan(offset));
        const auto& record = value.values.front();
        payloadSizes.push_back(record.payload.size());
        offset += 1 + record.lengthSize + record.payload.size();
    }
    EXPECT_EQ(payloadSizes, (std::vector<size_t>{3, 0, 200, 4}));
}

TEST(AmfThree, EveryTruncationIsRefused) {
    ByteBuffer value{0x0C};
    appendBytes(value, AMF3::Uint29BAToVec(20000));
    value.resize(value.size() + 20000, 0x11);
    for (size_t size = 0; size < value.size(); ++size) {
        const std::string outcome = outcomeOf([&] { AMF3{ByteView(value).first(size)}; });
        EXPECT_EQ(outcome.rfind("swf: ", 0), 0u) << "cut to " << size << ": " << outcome;
    }
}

}  // namespace
