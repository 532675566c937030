#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "swf/movie_builder.h"
#include "swf/swf_test_support.h"
#include "util/address_space.h"

using namespace testmovie;

namespace {

// What a movie cut short or damaged says before the decoder's own reason.
constexpr const char* kCutShort = "Invalid SWF file: the file is truncated or damaged: ";

ByteBuffer withByte(ByteBuffer bytes, size_t offset, uint8_t value) {
    bytes.at(offset) = value;
    return bytes;
}

ByteBuffer compressedForm(const ByteBuffer& fws, swf::Compression form) { return swf::SWF(fws).exportSwf(form); }

TEST(SwfHeader, UnchangedMovieIsWrittenBackByteForByte) {
    const ByteBuffer original = sampleMovie();
    const swf::SWF movie(original);
    EXPECT_EQ(movie.exportSwf(swf::Compression::Uncompressed), original);
    EXPECT_EQ(movie.version, 10);
    EXPECT_EQ(movie.frameSize, frameRect());
    EXPECT_EQ(movie.frameRate, 0x1800);
    EXPECT_EQ(movie.frameCount, 1);
}

TEST(SwfHeader, HeaderOnlyMovieHasNoTags) {
    const ByteBuffer original = movie({});
    ASSERT_EQ(original.size(), 21u);
    const swf::SWF loaded(original);
    EXPECT_TRUE(loaded.tags.empty());
    EXPECT_EQ(loaded.exportSwf(swf::Compression::Uncompressed), original);
}

TEST(SwfHeader, CompressedFormsRaiseTheVersionOnlyInTheFile) {
    const ByteBuffer original = sampleMovie(5);
    const swf::SWF loaded(original);
    const ByteBuffer cws = loaded.exportSwf(swf::Compression::Zlib);
    const ByteBuffer zws = loaded.exportSwf(swf::Compression::Lzma);
    EXPECT_EQ(std::string(cws.begin(), cws.begin() + 3), "CWS");
    EXPECT_EQ(cws[3], 6);
    EXPECT_EQ(std::string(zws.begin(), zws.begin() + 3), "ZWS");
    EXPECT_EQ(zws[3], 13);
    EXPECT_EQ(loaded.version, 5);
    for (const ByteBuffer& packed : {cws, zws}) {
        EXPECT_EQ(ByteBuffer(packed.begin() + 4, packed.begin() + 8),
                  ByteBuffer(original.begin() + 4, original.begin() + 8))
            << "the file length counts the uncompressed file";
        const swf::SWF reloaded(packed);
        EXPECT_EQ(reloaded.exportSwf(swf::Compression::Uncompressed)[3], packed[3])
            << "a reloaded file keeps the raised version";
        ByteBuffer expected = original;
        expected[3] = packed[3];
        EXPECT_EQ(reloaded.exportSwf(swf::Compression::Uncompressed), expected);
    }
}

TEST(SwfHeader, RecordByRecordCompressionEqualsWholeFileCompression) {
    // Several output blocks' worth of records, so that the pieces cross the
    // codecs' buffer boundaries, and records whose length changed since they
    // were read: one outgrows its short header, one is written without the
    // name it lost.
    ByteBuffer records = concat(
        {record(87, binaryDataBody(41, ByteBuffer(10, 1))), record(76, symbolClassBody({{1, "One"}, {2, "Two"}}))});
    for (uint16_t id = 1; id <= 40; ++id) {
        appendBytes(records, record(87, binaryDataBody(id, ByteBuffer(9000, uint8_t(id * 37)))));
    }
    swf::SWF loaded(movie(records));
    loaded.tags[0]->data.resize(100, 2);
    dynamic_cast<swf::Tag_SymbolClass&>(*loaded.tags[1]).symbols.pop_back();
    for (const auto& tag : loaded.tags) EXPECT_EQ(tag->recordSize(), tag->toBytes().size());
    const ByteBuffer whole = loaded.toBytes();
    const ByteView body = ByteView(whole).subspan(8);
    const ByteBuffer cws = loaded.exportSwf(swf::Compression::Zlib);
    EXPECT_EQ(ByteBuffer(cws.begin() + 8, cws.end()), zlib::zlib_compress(singleChunk(body), 9, body.size()));
    const ByteBuffer zws = loaded.exportSwf(swf::Compression::Lzma);
    EXPECT_EQ(ByteBuffer(zws.begin() + 12, zws.end()), lzmasdk::lzmasdk_compress(singleChunk(body), body.size()));
    EXPECT_EQ(loadU32le(cws.data() + 4), whole.size());
    EXPECT_EQ(loadU32le(zws.data() + 4), whole.size());
}

TEST(SwfHeader, ZwsLayout) {
    const ByteBuffer original = sampleMovie();
    const ByteBuffer zws = compressedForm(original, swf::Compression::Lzma);
    const ByteBuffer body(original.begin() + 8, original.end());
    const ByteBuffer lzma = lzmasdk::lzmasdk_compress(singleChunk(body), body.size());
    EXPECT_EQ(loadU32le(zws.data() + 8), lzma.size() - 5);
    EXPECT_EQ(zws.size(), 12 + lzma.size());
    EXPECT_EQ(ByteBuffer(zws.begin() + 12, zws.begin() + 17), (ByteBuffer{0x5D, 0x00, 0x00, 0x80, 0x00}));
}

TEST(SwfHeader, CwsBodyIsAPlainZlibStream) {
    const ByteBuffer original = sampleMovie();
    const ByteBuffer cws = compressedForm(original, swf::Compression::Zlib);
    EXPECT_EQ(zlib::zlib_decompress(ByteView(cws).subspan(8)), ByteBuffer(original.begin() + 8, original.end()));
}

TEST(SwfHeader, BytesAfterTheZlibStreamAreIgnored) {
    ByteBuffer cws = compressedForm(sampleMovie(), swf::Compression::Zlib);
    cws.insert(cws.end(), {0, 0, 0, 0, 0});
    EXPECT_EQ(swf::SWF(cws).exportSwf(swf::Compression::Uncompressed), sampleMovie());
}

TEST(SwfHeader, MalformedFilesAreRefusedWithTheirMessage) {
    const ByteBuffer good = sampleMovie();
    ByteBuffer longer = good;
    storeU32le(longer.data() + 4, static_cast<uint32_t>(good.size() + 1));
    ByteBuffer cwsLonger = compressedForm(good, swf::Compression::Zlib);
    storeU32le(cwsLonger.data() + 4, static_cast<uint32_t>(good.size() - 1));
    ByteBuffer zwsShorter = compressedForm(good, swf::Compression::Lzma);
    storeU32le(zwsShorter.data() + 4, static_cast<uint32_t>(good.size() + 1));
    ByteBuffer shortHeader = bytesOf("FWS");
    appendU8(shortHeader, 10);
    appendU32le(shortHeader, 12);
    shortHeader.insert(shortHeader.end(), {0x80, 0, 0, 0});
    const ByteBuffer cws = compressedForm(good, swf::Compression::Zlib);
    const ByteBuffer zws = compressedForm(good, swf::Compression::Lzma);
    const std::string cut = kCutShort;

    const struct {
        const char* name;
        ByteBuffer bytes;
        std::string message;
    } cases[] = {
        {"4 bytes", bytesOf("FWS\x0A"), "Invalid SWF file. File too small."},
        {"empty", {}, "Invalid SWF file. File too small."},
        {"unknown signature", withByte(good, 0, 'X'), "Invalid SWF file. Unrecognized header."},
        {"lower-case signature", withByte(good, 0, 'f'), "Invalid SWF file. Unrecognized header."},
        {"length one too large", longer, cut + "Bytes read and SWF size don't match."},
        {"CWS length one too small", cwsLonger, cut + "Bytes read and SWF size don't match."},
        {"ZWS length one too large", zwsShorter, cut + "Bytes read and SWF size don't match."},
        {"field size 15", withByte(good, 8, 15 << 3), "Frame size nbits is not 16."},
        {"FWS of 5 bytes", bytesOf("FWS\x0A\x05"),
         "Invalid SWF file. Header is truncated: file length at offset 4 needs 4 bytes, 1 left."},
        {"CWS of 7 bytes", bytesOf("CWS\x0A\x05\x00\x00"),
         "Invalid SWF file. Header is truncated: file length at offset 4 needs 4 bytes, 1 left."},
        {"ZWS of 16 bytes", ByteBuffer(zws.begin(), zws.begin() + 16),
         "Invalid SWF file. Header is truncated: LZMA properties at offset 12 needs 5 bytes, 4 left."},
        {"length matches 12 bytes", shortHeader,
         "Invalid SWF file. Header is truncated: frame size at offset 8 needs 9 bytes, 4 left."},
        {"corrupt deflate data", concat({bytesOf("CWS\x0A"), lengthBytes(30), {0x78, 0x9C, 0xFF, 0xFF, 0xFF}}),
         cut + "zlib: inflate() Invalid or incomplete deflate data."},
        {"truncated zlib stream", ByteBuffer(cws.begin(), cws.end() - 6), cut + "zlib: Stream is not complete."},
        {"truncated LZMA stream", ByteBuffer(zws.begin(), zws.end() - 6),
         cut + "lzma sdk: Data error during decompression."},
    };
    for (const auto& c : cases) EXPECT_EQ(loadError(c.bytes), c.message) << c.name;
}

TEST(SwfHeader, CompressionOptionNumbers) {
    for (int number = 0; number < 3; ++number) EXPECT_EQ(swf::compressionOf(number), kEveryCompression[number]);
    EXPECT_EQ(messageOf([] { swf::compressionOf(3); }), "Invalid compression option.");
    EXPECT_EQ(messageOf([] { swf::compressionOf(-1); }), "Invalid compression option.");
}

TEST(SwfHeader, ForgedLengthDoesNotInflateBeyondIt) {
    // A tiny stream of zeros that inflates to 8 MB, in a file that claims 100 bytes.
    const ByteBuffer zeros(8 << 20, 0);
    ByteBuffer cws = concat({bytesOf("CWS\x0A"), lengthBytes(100), zlib::zlib_compress(zeros, 9)});
    EXPECT_EQ(loadError(cws), kCutShort + std::string("Bytes read and SWF size don't match."));
}

// A ZWS file of a few hundred bytes whose length field and dictionary size
// both claim gigabytes: the decoder's dictionary must stay within what the
// stream can produce, so the load needs little memory and is refused like
// any file that promises more than its stream holds. (_Exit: the child ends
// without the leak check, which needs memory of its own.)
TEST(SwfHeaderDeathTest, ForgedLzmaLengthAndDictionaryReserveNoGigabytes) {
    ByteBuffer zws = compressedForm(sampleMovie(), swf::Compression::Lzma);
    storeU32le(zws.data() + 4, 0xE0000000);   // file length: 3.5 GiB
    storeU32le(zws.data() + 13, 0x80000000);  // dictionary size: 2 GiB
    EXPECT_EXIT(
        {
            testsupport::limitAddressSpace(rlim_t{1} << 30);
            const std::string error = loadError(zws);
            std::fprintf(stderr, "%s\n", error.c_str());
            std::_Exit(error == kCutShort + std::string("Bytes read and SWF size don't match.") ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
