#include "codecs/zlib.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "codecs/sample_data.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"
#include "util/message_of.h"

namespace {

ByteBuffer sampleData(size_t size) { return testsupport::compressibleBytes(size, 7, 251, 200, 13); }

using testsupport::messageOf;

TEST(Zlib, RoundTripsAcrossOutputBlockBoundaries) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{131072}, size_t{131073}, size_t{700000}}) {
        const ByteBuffer data = sampleData(size);
        const ByteBuffer packed = zlib::zlib_compress(data, 9);
        ASSERT_GE(packed.size(), 2u);
        EXPECT_EQ(packed[0], 0x78) << "zlib format, not raw deflate";
        EXPECT_EQ(zlib::zlib_decompress(packed), data) << size;
    }
}

TEST(Zlib, OutputIsReadableByTheLibraryItself) {
    const ByteBuffer data = sampleData(300000);
    const ByteBuffer packed = zlib::zlib_compress(data, 9);
    ByteBuffer check(data.size());
    uLongf checkSize = check.size();
    ASSERT_EQ(uncompress(check.data(), &checkSize, packed.data(), packed.size()), Z_OK);
    EXPECT_EQ(checkSize, data.size());
    EXPECT_EQ(check, data);
}

TEST(Zlib, BytesAfterTheStreamAreIgnored) {
    const ByteBuffer data = sampleData(5000);
    ByteBuffer packed = zlib::zlib_compress(data, 9);
    packed.insert(packed.end(), {1, 2, 3, 4, 5});
    EXPECT_EQ(zlib::zlib_decompress(packed), data);
}

TEST(Zlib, BrokenStreamsAreRefused) {
    const ByteBuffer packed = zlib::zlib_compress(sampleData(5000), 9);
    const ByteBuffer truncated(packed.begin(), packed.end() - 10);
    EXPECT_EQ(messageOf([&] { zlib::zlib_decompress(truncated); }), "zlib: Stream is not complete.");
    EXPECT_EQ(messageOf([&] { zlib::zlib_decompress(ByteBuffer{}); }), "zlib: Stream is not complete.");
    const ByteBuffer garbage = {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(messageOf([&] { zlib::zlib_decompress(garbage); }),
              "zlib: inflate() Invalid or incomplete deflate data.");
}

TEST(Zlib, LimitStopsInflationAndPrefixLeadsTheResult) {
    const ByteBuffer data = sampleData(400000);
    const ByteBuffer packed = zlib::zlib_compress(data, 9);
    const ByteBuffer limited = zlib::zlib_decompress(packed, 0, 200001);
    EXPECT_EQ(limited, ByteBuffer(data.begin(), data.begin() + 200001));
    const ByteBuffer prefixed = zlib::zlib_decompress(packed, data.size(), data.size(), {'a', 'b'});
    ASSERT_EQ(prefixed.size(), data.size() + 2);
    EXPECT_EQ(prefixed[0], 'a');
    EXPECT_TRUE(std::equal(data.begin(), data.end(), prefixed.begin() + 2));
}

TEST(Zlib, ErrorCodesMapToMessages) {
    const struct {
        int code;
        const char* message;
    } cases[] = {
        {Z_VERSION_ERROR, "zlib: inflate() zlib version mismatch."},
        {Z_MEM_ERROR, "zlib: inflate() Out of memory."},
        {Z_DATA_ERROR, "zlib: inflate() Invalid or incomplete deflate data."},
        {Z_STREAM_ERROR, "zlib: inflate() Invalid compression level."},
        {Z_ERRNO, "zlib: inflate() I/O Error."},
        {Z_BUF_ERROR, "zlib: inflate() Unknown error, possibly a bug. Error code: -5"},
        {Z_NEED_DICT, "zlib: inflate() Unknown error, possibly a bug. Error code: 2"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { zlib::zerr(c.code, "inflate()"); }), c.message);
}

TEST(Zlib, BadLevelIsReportedByInit) {
    EXPECT_EQ(messageOf([] {
                  zlib::zlib_compress(ByteBuffer{1, 2, 3}, 42);
              }),
              "zlib: deflateInit() failed with code: -2");
}

}  // namespace

namespace {

TEST(Zlib, ProgressFollowsTheInputConsumed) {
    for (size_t size : {size_t{1} << 20, 3 * zlib::kParallelChunk}) {
        const ByteBuffer data = sampleData(size);
        std::vector<uint64_t> reports;
        const ByteBuffer packed =
            zlib::zlib_compress(singleChunk(data), 9, data.size(), {}, [&](uint64_t done, uint64_t total) {
                EXPECT_EQ(total, data.size());
                reports.push_back(done);
            });
        ASSERT_FALSE(reports.empty());
        EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
        EXPECT_EQ(reports.back(), data.size());
        EXPECT_EQ(packed, zlib::zlib_compress(data, 9)) << "reporting changes nothing";
    }
}

// Hands the input out in pieces of uneven sizes, as a movie's records are.
ChunkSource unevenPieces(const ByteBuffer& data) {
    return [&data, at = size_t{0}, n = size_t{0}]() mutable {
        const size_t size = std::min(data.size() - at, 1 + (n++ * 7919) % 300000);
        at += size;
        return ByteView(data).subspan(at - size, size);
    };
}

TEST(ZlibParallel, OutputDependsOnlyOnTheInputAndInflatesToIt) {
    const size_t chunk = zlib::kParallelChunk;
    const struct {
        size_t size;
        size_t hint;
    } cases[] = {
        {2 * chunk, 2 * chunk},                  // whole chunks only
        {3 * chunk + 12345, 3 * chunk + 12345},  // a short last chunk
        {3 * chunk + 5, 2 * chunk},              // more input than announced
        {2 * chunk + 5, 4 * chunk},              // less input than announced
    };
    for (const auto& c : cases) {
        const ByteBuffer data = sampleData(c.size);
        const ByteBuffer packed = zlib::zlib_compress(singleChunk(data), 9, c.hint, {}, {}, 1);
        for (size_t threads : {2, 8}) {
            EXPECT_EQ(zlib::zlib_compress(unevenPieces(data), 9, c.hint, {}, {}, threads), packed)
                << c.size << " bytes, " << threads << " threads";
        }
        EXPECT_EQ(zlib::zlib_decompress(packed), data) << c.size;
        ByteBuffer check(data.size());
        uLongf checkSize = check.size();
        ASSERT_EQ(uncompress(check.data(), &checkSize, packed.data(), packed.size()), Z_OK) << c.size;
        EXPECT_EQ(check, data) << c.size;
    }
}

TEST(ZlibParallel, CwsOfALargeMovieLoadsAgain) {
    ByteBuffer records;
    const ByteBuffer content = sampleData(300000);
    for (uint16_t id = 1; id <= 12; ++id) {
        appendBytes(records, testmovie::record(87, testmovie::binaryDataBody(id, content)));
    }
    appendBytes(records, testmovie::record(0, {}));
    const ByteBuffer original = testmovie::movie(records);
    ASSERT_GE(original.size(), zlib::kParallelMinimum + 8);
    const ByteBuffer cws = swf::SWF(original).exportSwf(swf::Compression::Zlib);
    EXPECT_EQ(swf::SWF(cws).exportSwf(swf::Compression::Uncompressed), original);
}

}  // namespace
