#include "codecs/lzmasdk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "codecs/sample_data.h"
#include "util/message_of.h"

namespace {

ByteBuffer sampleData(size_t size) { return testsupport::compressibleBytes(size, 3, 97, 60, 7); }

using testsupport::messageOf;

ByteBuffer concat(ByteBuffer head, std::initializer_list<uint8_t> tail) {
    head.insert(head.end(), tail);
    return head;
}

// The input of the two streams below: runs of letters with a few scattered
// bytes between them.
ByteBuffer fixtureInput() {
    ByteBuffer out;
    for (int i = 0; i < 400; ++i)
        out.push_back(static_cast<uint8_t>(i % 40 < 32 ? (i % 80) * 3 % 26 + 97 : i * 7919 % 251));
    return out;
}

// The properties and the coded input that the two streams below share: the
// encoder the program used before it moved to liblzma wrote them, with the
// same properties as in the movies it wrote.
const ByteBuffer kCodedInput = {
    0x5D, 0x00, 0x00, 0x80, 0x00, 0x00, 0x30, 0x99, 0x09, 0x2A, 0x58, 0xD3, 0xE2, 0xD3, 0x0B, 0xAE, 0x33,
    0x30, 0x4E, 0xAD, 0xED, 0x7D, 0x4C, 0x7E, 0x9B, 0x0C, 0x56, 0x72, 0xF9, 0x0B, 0xAD, 0xDA, 0xE2, 0x22,
    0x7D, 0xBD, 0x1A, 0x14, 0xDC, 0x17, 0x8E, 0x21, 0xE0, 0x6D, 0x0B, 0x0E, 0x3B, 0xAC, 0xB6, 0xF7, 0x00,
    0x99, 0x97, 0x39, 0xD6, 0xCA, 0x23, 0x65, 0xA5, 0x3C, 0xEA, 0x79, 0xA4, 0x0A, 0x32, 0x8C, 0xD2, 0x65,
    0x88, 0x55, 0xF8, 0xCA, 0x61, 0x31, 0xEE, 0x69, 0xEC, 0x20, 0xA7, 0x2B, 0xA0, 0x3B, 0xB1, 0x12, 0x2F,
    0x1E, 0x1D, 0x65, 0x90, 0x8F, 0xC8, 0xB0, 0x26, 0x69, 0x42, 0xFB, 0x05, 0x39, 0x50, 0x13, 0xF6, 0xE9,
    0x3F, 0x6F, 0xA1, 0x79, 0x69, 0x26, 0x58, 0x20, 0xA7, 0x91, 0x2C, 0x4E, 0xDC, 0xA8, 0x10, 0x5A, 0x00,
    0x15, 0x4E, 0x1B, 0x48, 0x97, 0x6B, 0x2A, 0x1F, 0xB7, 0xDC, 0x94, 0x8F, 0xCA, 0x08, 0x0B,
};

// The stream as that encoder ended it, with the end marker.
const ByteBuffer kOldEncoderStream = concat(kCodedInput, {0x9F, 0x15, 0xE7, 0x1F, 0xFF, 0xF8, 0x67, 0xA0, 0x00});

// The same properties and input, but no end marker.
const ByteBuffer kStreamWithoutEndMarker = concat(kCodedInput, {0x85, 0xD8, 0x86, 0x00});

// A whole input compressed at once.
ByteBuffer compressedWhole(const ByteBuffer& data) { return lzmasdk::lzmasdk_compress(singleChunk(data), data.size()); }

TEST(LzmaSdk, WritesFixedPropertiesAndRoundTrips) {
    for (size_t size : {size_t{0}, size_t{1000}, size_t{300000}}) {
        const ByteBuffer data = sampleData(size);
        const ByteBuffer packed = compressedWhole(data);
        ASSERT_GE(packed.size(), 5u);
        EXPECT_EQ(ByteBuffer(packed.begin(), packed.begin() + 5), (ByteBuffer{0x5D, 0x00, 0x00, 0x80, 0x00}));
        EXPECT_EQ(lzmasdk::lzmasdk_decompress(packed), data) << size;
    }
}

TEST(LzmaSdk, OldStreamsLoad) { EXPECT_EQ(lzmasdk::lzmasdk_decompress(kOldEncoderStream), fixtureInput()); }

TEST(LzmaSdk, EndMarkerIsRequired) {
    EXPECT_EQ(messageOf([] { lzmasdk::lzmasdk_decompress(kStreamWithoutEndMarker); }),
              "lzma sdk: Data error during decompression.");
    const ByteBuffer data = sampleData(20000);
    const ByteBuffer packed = compressedWhole(data);
    const ByteBuffer truncated(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packed.size() / 2));
    EXPECT_EQ(messageOf([&] { lzmasdk::lzmasdk_decompress(truncated); }), "lzma sdk: Data error during decompression.");
}

TEST(LzmaSdk, BadPropertiesAndDataAreRefused) {
    EXPECT_EQ(messageOf([] {
                  lzmasdk::lzmasdk_decompress(ByteBuffer{0xE1, 0, 0, 0x80, 0});
              }),
              "lzma sdk: Incorrect stream properties: 4");
    EXPECT_EQ(messageOf([] {
                  lzmasdk::lzmasdk_decompress(ByteBuffer{0x5D, 0});
              }),
              "lzma sdk: Incorrect stream properties: 4");
    ByteBuffer corrupt = compressedWhole(sampleData(20000));
    for (size_t i = 10; i < corrupt.size(); i += 7) corrupt[i] ^= 0x55;
    const std::string message = messageOf([&] { lzmasdk::lzmasdk_decompress(corrupt); });
    EXPECT_TRUE(message == "lzma sdk: Error while decompressing: 1" ||
                message == "lzma sdk: Data error during decompression.")
        << message;
}

TEST(LzmaSdk, ForgedDictionarySizeIsBoundedByTheLimit) {
    const ByteBuffer data = sampleData(5000);
    ByteBuffer packed = compressedWhole(data);
    storeU32le(packed.data() + 1, 0xFFFFFFFF);
    EXPECT_EQ(lzmasdk::lzmasdk_decompress(packed, data.size(), data.size() + 1), data);
    EXPECT_EQ(lzmasdk::lzmasdk_decompress(packed, 0, 100), ByteBuffer(data.begin(), data.begin() + 100));
}

TEST(LzmaSdk, ProgressFollowsTheInputConsumed) {
    const ByteBuffer data = sampleData(1 << 20);
    std::vector<uint64_t> reports;
    const ByteBuffer packed =
        lzmasdk::lzmasdk_compress(singleChunk(data), data.size(), {}, [&](uint64_t done, uint64_t total) {
            EXPECT_EQ(total, data.size());
            reports.push_back(done);
        });
    ASSERT_GT(reports.size(), 1u);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_LE(reports.back(), data.size());
    EXPECT_EQ(packed, compressedWhole(data)) << "reporting changes nothing";
}

}  // namespace
