#include "codecs/lzmasdk.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <algorithm>
#include <functional>
#include <random>

#include "LzmaEnc.h"

namespace {

ByteBuffer sampleData(size_t size) {
    ByteBuffer out(size);
    std::mt19937 random(3);
    for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(i % 97 < 60 ? i % 7 : random());
    return out;
}

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const lzmasdk::lzmasdk_exception& e) {
        return e.what();
    }
    return "(no exception)";
}

void* allocate(void*, size_t size) { return malloc(size); }
void release(void*, void* p) { free(p); }

// An LZMA stream with the same properties but no end marker, made with the
// SDK's one-call encoder.
ByteBuffer lzmaWithoutEndMarker(const ByteBuffer& data) {
    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    props.dictSize = 1 << 23;
    ByteBuffer out(LZMA_PROPS_SIZE + data.size() * 2 + 1024);
    SizeT outSize = out.size() - LZMA_PROPS_SIZE;
    SizeT propsSize = LZMA_PROPS_SIZE;
    ISzAlloc alloc = {allocate, release};
    EXPECT_EQ(LzmaEncode(out.data() + LZMA_PROPS_SIZE, &outSize, data.data(), data.size(), &props, out.data(),
                         &propsSize, 0, nullptr, &alloc, &alloc),
              SZ_OK);
    out.resize(LZMA_PROPS_SIZE + outSize);
    return out;
}

// A raw LZMA2 stream led by its properties byte, made with liblzma.
ByteBuffer lzma2Stream(const ByteBuffer& data) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = 1 << 20;  // properties byte 16
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    ByteBuffer out(data.size() + data.size() / 2 + 1024);
    size_t outPos = 1;
    out[0] = 16;
    EXPECT_EQ(lzma_raw_buffer_encode(filters, nullptr, data.data(), data.size(), out.data(), &outPos, out.size()),
              LZMA_OK);
    out.resize(outPos);
    return out;
}

TEST(LzmaSdk, WritesFixedPropertiesAndRoundTrips) {
    for (size_t size : {size_t{0}, size_t{1000}, size_t{300000}}) {
        const ByteBuffer data = sampleData(size);
        const ByteBuffer packed = lzmasdk::lzmasdk_compress(data);
        ASSERT_GE(packed.size(), 5u);
        EXPECT_EQ(ByteBuffer(packed.begin(), packed.begin() + 5), (ByteBuffer{0x5D, 0x00, 0x00, 0x80, 0x00}));
        EXPECT_EQ(lzmasdk::lzmasdk_decompress(packed, 0), data) << size;
    }
}

TEST(LzmaSdk, EndMarkerIsRequired) {
    const ByteBuffer data = sampleData(20000);
    const ByteBuffer unmarked = lzmaWithoutEndMarker(data);
    EXPECT_EQ(messageOf([&] { lzmasdk::lzmasdk_decompress(unmarked, 0); }),
              "lzma sdk: Data error during decompression.");
    const ByteBuffer packed = lzmasdk::lzmasdk_compress(data);
    const ByteBuffer truncated(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packed.size() / 2));
    EXPECT_EQ(messageOf([&] { lzmasdk::lzmasdk_decompress(truncated, 0); }),
              "lzma sdk: Data error during decompression.");
}

TEST(LzmaSdk, BadPropertiesAndDataAreRefused) {
    EXPECT_EQ(messageOf([] { lzmasdk::lzmasdk_decompress(ByteBuffer{0xE1, 0, 0, 0x80, 0}, 0); }),
              "lzma sdk: Incorrect stream properties: 4");
    EXPECT_EQ(messageOf([] { lzmasdk::lzmasdk_decompress(ByteBuffer{0x5D, 0}, 0); }),
              "lzma sdk: Incorrect stream properties: 4");
    ByteBuffer corrupt = lzmasdk::lzmasdk_compress(sampleData(20000));
    for (size_t i = 10; i < corrupt.size(); i += 7) corrupt[i] ^= 0x55;
    const std::string message = messageOf([&] { lzmasdk::lzmasdk_decompress(corrupt, 0); });
    EXPECT_TRUE(message == "lzma sdk: Error while decompressing: 1" ||
                message == "lzma sdk: Data error during decompression.")
        << message;
}

TEST(LzmaSdk, ForgedDictionarySizeIsBoundedByTheLimit) {
    const ByteBuffer data = sampleData(5000);
    ByteBuffer packed = lzmasdk::lzmasdk_compress(data);
    storeU32le(packed.data() + 1, 0xFFFFFFFF);
    EXPECT_EQ(lzmasdk::lzmasdk_decompress(packed, 0, data.size(), data.size() + 1), data);
    EXPECT_EQ(lzmasdk::lzmasdk_decompress(packed, 0, 0, 100), ByteBuffer(data.begin(), data.begin() + 100));
}

TEST(LzmaSdk, Lzma2ModeDecodesRawLzma2) {
    const ByteBuffer data = sampleData(250000);
    const ByteBuffer packed = lzma2Stream(data);
    EXPECT_EQ(lzmasdk::lzmasdk_decompress(packed, 1), data);
    const ByteBuffer truncated(packed.begin(), packed.end() - 20);
    EXPECT_EQ(messageOf([&] { lzmasdk::lzmasdk_decompress(truncated, 1); }),
              "lzma sdk: Data error during decompression.");
    EXPECT_EQ(messageOf([] { lzmasdk::lzmasdk_decompress(ByteBuffer{41, 0}, 1); }),
              "lzma sdk: Incorrect stream properties: 4");
}

}  // namespace

namespace {

TEST(LzmaSdk, ProgressFollowsTheInputConsumed) {
    const ByteBuffer data = sampleData(1 << 20);
    std::vector<uint64_t> reports;
    const ByteBuffer packed = lzmasdk::lzmasdk_compress(singleChunk(data), data.size(), {},
                                                        [&](uint64_t done, uint64_t total) {
                                                            EXPECT_EQ(total, data.size());
                                                            reports.push_back(done);
                                                        });
    ASSERT_GT(reports.size(), 1u);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_LE(reports.back(), data.size());
    EXPECT_EQ(packed, lzmasdk::lzmasdk_compress(data)) << "reporting changes nothing";
}

}  // namespace
