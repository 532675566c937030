// Damaged, unusual and large AMF0 data: every reading either succeeds or is
// refused with swf_exception (the sanitizer build runs these too), and what
// is read survives printing and writing.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "amf_test_support.h"

using amftest::bytes;
using amftest::outcomeOf;
using swf::AMF0;
using swf::JsonDocument;

namespace {

const char* const kSample =
    "10 0004 'Root' "
    "0001 'n' 00 400921FB54442D18 "
    "0001 'b' 01 01 "
    "0001 's' 02 0003 'abc' "
    "0001 'z' 05 "
    "0001 'u' 06 "
    "0001 'o' 03 0001 'k' 00 7FF8000000000000 0000 09 "
    "0001 't' 10 0001 'T' 0001 'e' 08 00000001 0001 '0' 02 0000 0000 09 0000 09 "
    "0000 09";

// Empty when the bytes were refused with swf_exception, or were read and
// their document is written back and read again unchanged; otherwise what
// went wrong.
std::string readAndRewrite(ByteView data) {
    try {
        const JsonDocument first = AMF0(data).json;
        std::string printed;
        try {
            printed = first.dump(4);
        } catch (const JsonDocument::type_error&) {
            return "";  // a damaged text that is not UTF-8 cannot be printed
        }
        const JsonDocument second = AMF0(AMF0::fromJSON(printed)).json;
        return second == first ? "" : "rewritten as " + second.dump();
    } catch (const swf::swf_exception&) {
        return "";
    } catch (const std::exception& e) {
        return std::string("unexpected exception: ") + e.what();
    }
}

TEST(AmfZeroRobustness, EveryTruncationIsReadOrRefused) {
    const ByteBuffer sample = bytes(kSample);
    for (size_t size = 0; size < sample.size(); ++size) {
        EXPECT_EQ(readAndRewrite(ByteView(sample).first(size)), "") << "cut to " << size;
    }
}

TEST(AmfZeroRobustness, EveryChangedByteIsReadOrRefused) {
    const ByteBuffer sample = bytes(kSample);
    for (size_t offset = 0; offset < sample.size(); ++offset) {
        for (const uint8_t mask : {0x01, 0x10, 0x80, 0xFF}) {
            ByteBuffer changed = sample;
            changed[offset] ^= mask;
            EXPECT_EQ(readAndRewrite(changed), "") << "byte " << offset << " ^ " << int(mask);
        }
    }
}

// The sample wrapped as the ByteArray value a data file holds it in.
TEST(AmfZeroRobustness, TruncatedByteArrayIsRefusedBeforeItsContentIsRead) {
    const ByteBuffer sample = bytes(kSample);
    ByteBuffer value{0x0C};
    appendBytes(value, swf::AMF3::Uint29BAToVec(sample.size()));
    appendBytes(value, sample);
    EXPECT_EQ(AMF0(swf::AMF3(value).values[0].payload).json, AMF0(sample).json);
    for (size_t size = 0; size < value.size(); ++size) {
        const std::string outcome = outcomeOf([&] { swf::AMF3{ByteView(value).first(size)}; });
        EXPECT_EQ(outcome.rfind("swf: ", 0), 0u) << "cut to " << size << ": " << outcome;
    }
}

ByteBuffer documentWithNumber(uint64_t bits) {
    ByteBuffer data = bytes("10 0001 'A' 0001 'd' 00");
    for (int shift = 56; shift >= 0; shift -= 8) data.push_back(static_cast<uint8_t>(bits >> shift));
    appendBytes(data, bytes("0000 09"));
    return data;
}

// Finite numbers are printed as the shortest text that reads back to the
// same double; the others travel as their bytes.
TEST(AmfZeroRobustness, NumbersSurviveThePrintedDocumentBitForBit) {
    std::vector<uint64_t> patterns = {
        0x0000000000000000, 0x8000000000000000, 0x0000000000000001, 0x000FFFFFFFFFFFFF, 0x0010000000000000,
        0x7FEFFFFFFFFFFFFF, 0xFFEFFFFFFFFFFFFF, 0x4340000000000001, 0x44B52D02C7E14AF6, 0x3FB999999999999A,
        0x7FF0000000000000, 0xFFF0000000000000, 0x7FF8000000000000, 0xFFF8000000000001, 0x7FF0000000000001,
    };
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 5000; ++i) patterns.push_back(random());
    for (const uint64_t bits : patterns) {
        const ByteBuffer data = documentWithNumber(bits);
        ASSERT_EQ(AMF0::fromJSON(AMF0(data).json.dump(4)), data) << std::hex << bits;
    }
}

// `depth` objects nested below the top-level object, each holding the next.
ByteBuffer nestedTypedObjects(unsigned depth) {
    ByteBuffer data = bytes("10 0001 'A'");
    for (unsigned i = 0; i < depth; ++i) appendBytes(data, bytes("0001 'o' 10 0001 'C'"));
    for (unsigned i = 0; i <= depth; ++i) appendBytes(data, bytes("0000 09"));
    return data;
}

TEST(AmfZeroRobustness, NestingAndSizeAreLimitedInBothDirections) {
    const ByteBuffer deepest = nestedTypedObjects(AMF0::kMaxNesting);
    const std::string printed = AMF0(deepest).json.dump(4);
    EXPECT_EQ(AMF0::fromJSON(printed), deepest);

    EXPECT_EQ(outcomeOf([] { AMF0{nestedTypedObjects(AMF0::kMaxNesting + 1)}; }),
              "swf: Position: 7007. Objects are nested more than 1000 levels deep.");

    std::string tooDeep = R"({"A":)";
    for (unsigned i = 0; i <= AMF0::kMaxNesting + 1; ++i) tooDeep += R"({"o":)";
    tooDeep += "null" + std::string(AMF0::kMaxNesting + 3, '}');
    EXPECT_EQ(outcomeOf([&] { AMF0::fromJSON(tooDeep); }), "swf: JSON objects are nested more than 1000 levels deep.");

    // So is the number of values, which a short text can make large.
    std::string tooMany = R"({"A": [0)";
    for (size_t i = 1; i < AMF0::kMaxValues; ++i) tooMany += ",0";
    tooMany += "]}";
    EXPECT_EQ(outcomeOf([&] { AMF0::fromJSON(tooMany); }),
              "swf: The document holds more than 2000000 values, more than a data file can hold.");
}

// Members are found through an index, not one by one, so a large object is
// read and written in linear time.
TEST(AmfZeroRobustness, HundredThousandMembersAreReadAndWritten) {
    constexpr int kMembers = 100000;
    ByteBuffer data = bytes("10 0001 'A'");
    for (int i = 0; i < kMembers; ++i) {
        std::string name = "m";
        name += std::to_string(i);
        AMF0::writeStringWithLenPrefixU16(data, name);
        data.push_back(i % 2 ? 0x05 : 0x06);
    }
    appendBytes(data, bytes("0000 09"));

    const AMF0 read(data);
    const JsonDocument& members = read.json["A"];
    ASSERT_EQ(members.size(), size_t{kMembers});
    EXPECT_EQ(members.begin().key(), "m0");
    EXPECT_EQ((--members.end()).key(), "m99999");
    EXPECT_EQ(AMF0::fromJSON(read.json.dump(4)), data);
}

}  // namespace
