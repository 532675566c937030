// Lossless bitmaps to PNG files and back, checked through other programs'
// PNG readers and writers.

#include <gtest/gtest.h>
#include <lodepng.h>

#include "swf/bitmap_pixels.h"
#include "swf/image_tools.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"
#include "swf/swf_test_support.h"

using namespace testmovie;
using imagetools::PilImage;
using imagetools::TempDir;

namespace {

// A lossless bitmap record holding `inflated` as its zlib stream.
ByteBuffer bitmap(uint16_t code, uint16_t id, uint8_t format, uint16_t width, uint16_t height,
                  const ByteBuffer& inflated, uint8_t tableSize = 0) {
    return record(code, losslessBody(id, format, width, height, tableSize, zlib::zlib_compress(inflated, 9)), true);
}

ByteBuffer gameWith(std::initializer_list<ByteBuffer> records) {
    ByteBuffer all = concat(records);
    appendBytes(all, record(0, {}));
    return movie(all);
}

ByteBuffer inflatedData(const swf::SWF& movie, uint64_t id) {
    return zlib::zlib_decompress(movie.tagWithId<swf::Tag_DefineBitsLossless>(id).data);
}

ByteBuffer pixelAt(const ByteBuffer& pixels, size_t i) {
    return ByteBuffer(pixels.begin() + 4 * i, pixels.begin() + 4 * i + 4);
}

// ---------------------------------------------------------------- export

struct DirectCase {
    const char* name;
    uint16_t code;
    uint8_t format;
    ByteBuffer stored;    // as kept in the game, 3 x 2 pixels
    ByteBuffer expected;  // straight RGBA as other decoders read the PNG
};

TEST(ImagesExport, DirectColourPixelsAsOtherDecodersReadThem) {
    const std::vector<DirectCase> cases = {
        {"opaque bitmap: reserved bytes do not matter, alpha is 255",
         20,
         5,
         {0x00, 1, 2, 3, 0x7F, 4, 5, 6, 0xFF, 7, 8, 9, 0x12, 250, 251, 252, 0x00, 0, 0, 0, 0x80, 255, 255, 255},
         {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 250, 251, 252, 255, 0, 0, 0, 255, 255, 255, 255, 255}},
        {"opaque bitmap of an unknown format reads as 32-bit pixels",
         20,
         7,
         {0, 10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3},
         {10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255, 1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255}},
        // Single-precision division truncated: 64 and 128 at alpha 128 give
        // 127 and 254, colour 1 at alpha 1 gives 254; alpha 0 keeps the
        // stored colours.
        {"semi-transparent bitmap is un-premultiplied",
         36,
         5,
         {128, 64, 0, 128, 0, 12, 34, 56, 255, 1, 2, 3, 1, 1, 0, 1, 200, 200, 100, 0, 255, 255, 255, 255},
         {127, 0, 254, 128, 12, 34, 56, 0, 1, 2, 3, 255, 254, 0, 254, 1, 255, 127, 0, 200, 255, 255, 255, 255}},
        // Each 5-bit channel widened: 31 gives 255, 16 gives 132. Rows of
        // three 16-bit pixels are padded to 8 bytes.
        {"15-bit bitmap",
         20,
         4,
         {0x7F, 0xFF, 0x00, 0x00, 0x7C, 0x00, 0, 0, 0x03, 0xE0, 0x00, 0x1F, 0x42, 0x10, 0, 0},
         {255, 255, 255, 255, 0, 0, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 132, 132, 132, 255}},
        {"DefineBitsLossless2 reads format 4 as 32-bit pixels too",
         36,
         4,
         {255, 9, 8, 7, 255, 6, 5, 4, 255, 3, 2, 1, 0, 0, 0, 0, 255, 0, 0, 0, 255, 1, 1, 1},
         {9, 8, 7, 255, 6, 5, 4, 255, 3, 2, 1, 255, 0, 0, 0, 0, 0, 0, 0, 255, 1, 1, 1, 255}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        swf::SWF game(gameWith({bitmap(c.code, 5, c.format, 3, 2, c.stored)}));
        const PilImage seen = imagetools::pilRead(dir, exportedImage(game, 5));
        EXPECT_EQ(seen.width, 3u);
        EXPECT_EQ(seen.height, 2u);
        EXPECT_EQ(seen.rgba, c.expected);
    }
}

TEST(ImagesExport, ColourMappedRowsKeepTheirPaletteAndIndices) {
    // Six table colours; code 36 adds an alpha to each. Padding bytes hold
    // an index outside the table, so reading one would show.
    const ByteBuffer rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    const ByteBuffer alphas = {255, 128, 0, 1, 254, 255};
    const uint16_t height = 3;
    TempDir dir;
    for (const uint16_t code : {20, 36}) {
        for (const uint16_t width : {5, 6, 7, 8}) {
            SCOPED_TRACE("code " + std::to_string(code) + ", width " + std::to_string(width));
            ByteBuffer inflated;
            for (size_t i = 0; i < 6; ++i) {
                appendBytes(inflated, ByteView(rgb).subspan(3 * i, 3));
                if (code == 36) inflated.push_back(alphas[i]);
            }
            ByteBuffer indices;
            for (uint16_t y = 0; y < height; ++y) {
                for (uint16_t x = 0; x < width; ++x) {
                    indices.push_back(static_cast<uint8_t>((x + 2 * y) % 6));
                    inflated.push_back(indices.back());
                }
                // The last row of width 5 goes without its padding.
                const bool lastRow = y + 1 == height;
                if (!(lastRow && width == 5)) inflated.insert(inflated.end(), (4 - width % 4) % 4, 0xEE);
            }
            swf::SWF game(gameWith({bitmap(code, 5, 3, width, height, inflated, 5)}));
            const PilImage seen = imagetools::pilRead(dir, exportedImage(game, 5));
            EXPECT_EQ(seen.mode, "P");
            EXPECT_EQ(seen.width, width);
            EXPECT_EQ(seen.palette, rgb);
            EXPECT_EQ(seen.indices, indices);
            // The table's alpha is kept as stored, not un-premultiplied;
            // entries past the end of the transparency chunk are opaque.
            ByteBuffer seenAlphas = seen.transparency;
            seenAlphas.resize(6, 255);
            EXPECT_EQ(seenAlphas, code == 36 ? alphas : ByteBuffer(6, 255));
        }
    }
}

TEST(ImagesExport, DataBeyondThePictureIsIgnored) {
    ByteBuffer stored = {0, 1, 2, 3};
    stored.resize(1 << 20, 0xAB);  // a 1 x 1 picture followed by a megabyte
    swf::SWF game(gameWith({bitmap(20, 5, 5, 1, 1, stored)}));
    TempDir dir;
    EXPECT_EQ(imagetools::pilRead(dir, exportedImage(game, 5)).rgba, (ByteBuffer{1, 2, 3, 255}));
}

struct Refusal {
    const char* name;
    ByteBuffer record;
    std::string message;
};

TEST(ImagesExport, MalformedBitmapsAreRefused) {
    const std::string tooSmall = "PNG encoder error (84): given image too small to contain all pixels to be encoded";
    ByteBuffer zlibGarbage = {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    ByteBuffer truncatedStream = zlib::zlib_compress(ByteBuffer(64, 7), 9);
    truncatedStream.resize(truncatedStream.size() / 2);
    const std::vector<Refusal> cases = {
        {"15-bit pixels cut short", bitmap(20, 5, 4, 2, 2, ByteBuffer(6, 0)), tooSmall},
        {"colour table cut short", bitmap(36, 5, 3, 2, 2, ByteBuffer(10, 0), 3),
         "Bitmap data of 10 bytes is shorter than its colour table of 4 colours."},
        {"no room for the rows after the table", bitmap(20, 5, 3, 5, 3, ByteBuffer(3 + 8 + 8, 0), 0), tooSmall},
        {"rows of colour indices cut short", bitmap(36, 5, 3, 5, 3, ByteBuffer(8 + 8 + 8 + 4, 0), 1), tooSmall},
        {"partial pixel", bitmap(36, 5, 5, 2, 1, ByteBuffer(7, 0)),
         "Bitmap data of 7 bytes is not a whole number of 4-byte pixels."},
        {"pixels cut short", bitmap(20, 5, 5, 4, 4, ByteBuffer(60, 0)), tooSmall},
        {"empty stream", bitmap(36, 5, 5, 1, 1, {}), tooSmall},
        {"no columns", bitmap(20, 5, 3, 0, 4, ByteBuffer(3, 0)), "Bitmap of 0x4 pixels has no picture."},
        {"no rows", bitmap(36, 5, 5, 4, 0, ByteBuffer(16, 0)), "Bitmap of 4x0 pixels has no picture."},
        {"no zlib stream", record(20, losslessBody(5, 5, 1, 1, 0, zlibGarbage)),
         "zlib: inflate() Invalid or incomplete deflate data."},
        {"truncated zlib stream", record(20, losslessBody(5, 5, 4, 4, 0, truncatedStream)),
         "zlib: Stream is not complete."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        swf::SWF game(gameWith({c.record}));
        EXPECT_EQ(messageOf([&] { exportedImage(game, 5); }), c.message);
    }
}

TEST(ImagesExport, CorruptStreamsFailAsZlibErrors) {
    swf::SWF game(gameWith({record(36, losslessBody(5, 5, 1, 1, 0, {0x78, 0x9C, 0xFF}))}));
    EXPECT_THROW(exportedImage(game, 5), zlib::zlib_exception);
}

TEST(ImagesExport, ImagesAreFoundInTheirOrderOfKinds) {
    // Code 20 tags come before code 36 tags whatever their place in the
    // stream; of two tags with the same id the first of that order wins.
    swf::SWF game(gameWith({
        bitmap(36, 7, 5, 1, 1, {255, 1, 1, 1}),
        record(87, binaryDataBody(42, {1, 2, 3})),
        bitmap(20, 3, 5, 1, 1, {0, 2, 2, 2}),
        bitmap(20, 7, 5, 1, 1, {0, 3, 3, 3}),
    }));
    std::vector<uint64_t> order;
    for (const auto* image : game.tagsOfKind<swf::Tag_DefineBitsLossless>()) order.push_back(image->characterId);
    EXPECT_EQ(order, (std::vector<uint64_t>{3, 7, 7}));
    EXPECT_FALSE(game.tagWithId<swf::Tag_DefineBitsLossless>(7).isLossless2);
    EXPECT_EQ(messageOf([&] { game.tagWithId<swf::Tag_DefineBitsLossless>(42); }), "No such Image ID: 42");
}

// ---------------------------------------------------------------- replacement

// 9 x 7 pixels (enough for every pass of an interlaced file) of 12
// distinct colours, among them the examples whose stored bytes are known.
constexpr unsigned kWidth = 9;
constexpr unsigned kHeight = 7;

ByteBuffer testPicture(bool grey, bool opaque) {
    const std::vector<ByteBuffer> colours = {
        {200, 100, 50, 128}, {10, 20, 30, 255}, {0, 0, 0, 0},         {255, 255, 255, 255},
        {1, 2, 3, 1},        {90, 80, 70, 200}, {255, 0, 0, 255},     {0, 255, 0, 64},
        {0, 0, 255, 255},    {33, 66, 99, 254}, {128, 128, 128, 128}, {77, 77, 77, 0},
    };
    ByteBuffer pixels;
    for (unsigned i = 0; i < kWidth * kHeight; ++i) {
        ByteBuffer c = colours[(i * 5 + i / kWidth) % colours.size()];
        if (grey) c[1] = c[2] = c[0];
        if (opaque) c[3] = 255;
        appendBytes(pixels, c);
    }
    return pixels;
}

struct ToolCase {
    const char* name;
    bool grey;
    bool opaque;
    const char* pilMode;
    const char* imOptions;  // nullptr: PIL's file is used as it is
    const char* imPrefix;
    imagetools::PngHeader header;  // what the tool must have made
};

TEST(ImagesReplace, PngsOfEveryKindStorePremultipliedPixels) {
    const std::vector<ToolCase> cases = {
        {"RGBA", false, false, "RGBA", nullptr, "", {8, 6, 0}},
        {"RGB", false, true, "RGB", nullptr, "", {8, 2, 0}},
        {"palette with alpha", false, false, "P", nullptr, "", {4, 3, 0}},
        {"greyscale", true, true, "L", nullptr, "", {8, 0, 0}},
        {"greyscale with alpha", true, false, "LA", nullptr, "", {8, 4, 0}},
        {"16-bit RGBA", false, false, "RGBA", "-depth 16", "PNG64:", {16, 6, 0}},
        {"16-bit RGB", false, true, "RGB", "-depth 16", "PNG48:", {16, 2, 0}},
        {"16-bit greyscale", true, true, "L", "-define png:bit-depth=16", "", {16, 0, 0}},
        {"interlaced RGBA", false, false, "RGBA", "-interlace PNG", "PNG32:", {8, 6, 1}},
        {"interlaced palette", false, true, "RGB", "-interlace PNG", "PNG8:", {8, 3, 1}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteBuffer picture = testPicture(c.grey, c.opaque);
        ByteBuffer png = imagetools::pilWrite(dir, picture, kWidth, kHeight, c.pilMode);
        if (c.imOptions != nullptr) png = imagetools::imConvert(dir, png, c.imOptions, c.imPrefix);
        const imagetools::PngHeader header = imagetools::pngHeader(png);
        ASSERT_EQ(header.bitDepth, c.header.bitDepth);
        ASSERT_EQ(header.colourType, c.header.colourType);
        ASSERT_EQ(header.interlace, c.header.interlace);

        swf::SWF game(gameWith({bitmap(20, 1, 3, 2, 1, {1, 2, 3, 0, 0}), bitmap(36, 2, 5, 1, 1, {1, 1, 1, 1})}));
        replaceImage(game, png, 1);
        replaceImage(game, png, 2);
        for (const uint64_t id : {1, 2}) {
            const auto* image = &game.tagWithId<swf::Tag_DefineBitsLossless>(id);
            EXPECT_EQ(image->bitmapFormat(), swf::BitmapFormat::Rgb32);
            EXPECT_EQ(image->bitmapWidth, kWidth);
            EXPECT_EQ(image->bitmapHeight, kHeight);
            ByteBuffer expected = picture;
            swf::premultiply(expected, image->isLossless2);
            EXPECT_EQ(inflatedData(game, id), expected) << "id " << id;
        }
        // Fully transparent pixels are stored as zeros, whatever colour the
        // tool kept for them.
        for (size_t i = 0; i < kWidth * kHeight; ++i) {
            if (picture[4 * i + 3] == 0) {
                EXPECT_EQ(pixelAt(inflatedData(game, 2), i), (ByteBuffer{0, 0, 0, 0}));
            }
        }
    }
}

TEST(ImagesReplace, StoredBytesOfKnownPixels) {
    TempDir dir;
    const ByteBuffer png = imagetools::pilWrite(dir, {200, 100, 50, 128, 10, 20, 30, 255}, 2, 1, "RGBA");
    swf::SWF game(gameWith({bitmap(20, 1, 5, 1, 1, {0, 0, 0, 0}), bitmap(36, 2, 5, 1, 1, {0, 0, 0, 0})}));
    replaceImage(game, png, 1);
    replaceImage(game, png, 2);
    EXPECT_EQ(inflatedData(game, 1), (ByteBuffer{0, 100, 50, 25, 0, 10, 20, 30}));
    EXPECT_EQ(inflatedData(game, 2), (ByteBuffer{128, 100, 50, 25, 255, 10, 20, 30}));
    // Exported again the semi-transparent colours come back slightly darker,
    // the opaque ones unchanged.
    EXPECT_EQ(imagetools::pilRead(dir, exportedImage(game, 2)).rgba, (ByteBuffer{199, 99, 49, 128, 10, 20, 30, 255}));
}

TEST(ImagesReplace, TheSavedGameLoadsWithTheNewPixels) {
    TempDir dir;
    const ByteBuffer picture = testPicture(false, false);
    const ByteBuffer png = imagetools::pilWrite(dir, picture, kWidth, kHeight, "RGBA");
    // A short-form colour-mapped record: the new body no longer fits its
    // 6-bit length, and the format no longer has a table size byte.
    const ByteBuffer stream = zlib::zlib_compress(ByteBuffer{9, 9, 9, 0}, 9);
    const ByteBuffer colourMapped = record(20, losslessBody(8, 3, 1, 1, 0, stream));
    swf::SWF game(gameWith({colourMapped, record(76, symbolClassBody({{8, "Hero"}}))}));
    replaceImage(game, png, 8);
    ByteBuffer stored = picture;
    swf::premultiply(stored, false);
    for (const swf::Compression form : kEveryCompression) {
        SCOPED_TRACE(swf::signatureLetter(form));
        swf::SWF reloaded(game.exportSwf(form));
        const auto* image = &reloaded.tagWithId<swf::Tag_DefineBitsLossless>(8);
        EXPECT_EQ(image->bitmapFormat(), swf::BitmapFormat::Rgb32);
        EXPECT_EQ(image->bitmapWidth, kWidth);
        EXPECT_EQ(image->bitmapHeight, kHeight);
        EXPECT_EQ(inflatedData(reloaded, 8), stored);
        EXPECT_EQ(reloaded.symbolNames().at(8), "Hero");
        // The body is the 7 fixed bytes and the stream: no table size byte.
        const ByteBuffer written = image->toBytes();
        EXPECT_EQ(loadU32le(written.data() + 2), 7 + image->data.size());
    }
}

ByteBuffer lodepngFile(unsigned width, unsigned height) {
    ByteBuffer png;
    if (lodepng::encode(png, ByteBuffer(size_t{width} * height * 4, 0x80), width, height) != 0) {
        throw std::runtime_error("encode failed");
    }
    return png;
}

TEST(ImagesReplace, UnusableFilesAreRefusedAndChangeNothing) {
    const ByteBuffer png = lodepngFile(2, 2);
    ByteBuffer truncated = png;
    truncated.resize(png.size() - 20);
    ByteBuffer badCrc = png;
    badCrc[30] ^= 0xFF;  // inside the header chunk
    const ByteBuffer signatureOnly(png.begin(), png.begin() + 8);
    const std::string tooLarge = " pixels; a picture can have at most 8191 pixels a side and 16777215 pixels in all.";
    const std::string cut = "): the file is truncated or damaged: ";
    const std::string undecodable = "The PNG file cannot be decoded. ";
    const std::vector<std::pair<ByteBuffer, std::string>> cases = {
        // Other formats are decoded by their own libraries, which refuse these.
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0, 0xFF, 0xD9},
         "The picture is 0 × 0 pixels and has nothing to show."},
        {bytesOf("GIF89a\x01\x00\x01\x00\x00\x00\x00;"), "The GIF file cannot be decoded."},
        {{}, "The file is no PNG, JPEG, GIF, WebP or BMP picture."},
        {signatureOnly, undecodable + "PNG decoder error (27" + cut + "PNG file is smaller than a PNG header"},
        {badCrc, undecodable + "PNG decoder error (57): invalid CRC"},
        {truncated,
         undecodable + "PNG decoder error (64" + cut + "the length of the END symbol 256 in the Huffman tree is 0"},
        {concat({signatureOnly, ByteBuffer(40, 0)}), undecodable + "PNG decoder error ("},
        {lodepngFile(65536, 1), "The picture is 65536 × 1" + tooLarge},
        {lodepngFile(1, 70000), "The picture is 1 × 70000" + tooLarge},
        {lodepngFile(8192, 1), "The picture is 8192 × 1" + tooLarge},
        {pngClaiming(4097, 4096), "The picture is 4097 × 4096" + tooLarge},
        // Refused from the header alone: decoding it would take 1.6 GB.
        {pngClaiming(20000, 20000), "The picture is 20000 × 20000" + tooLarge},
    };
    const ByteBuffer original = gameWith({bitmap(20, 5, 3, 3, 1, {1, 2, 3, 0, 0, 0, 0}, 0)});
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        swf::SWF game(original);
        const std::string message = messageOf([&] { replaceImage(game, cases[i].first, 5); });
        EXPECT_EQ(message.substr(0, cases[i].second.size()), cases[i].second);
        EXPECT_EQ(game.exportSwf(swf::Compression::Uncompressed), original);
    }
}

TEST(ImagesReplace, LargestPictureFits) {
    swf::SWF game(gameWith({bitmap(36, 5, 5, 1, 1, {0, 0, 0, 0})}));
    replaceImage(game, lodepngFile(8191, 2), 5);
    EXPECT_EQ(game.tagWithId<swf::Tag_DefineBitsLossless>(5).bitmapWidth, 8191);
}

TEST(ImagesReplace, AnIdWithoutImageChangesNothing) {
    const ByteBuffer original = gameWith({bitmap(20, 5, 5, 1, 1, {0, 1, 2, 3}), record(87, binaryDataBody(42, {1}))});
    swf::SWF game(original);
    for (const auto& [bytes, id] : {std::pair{lodepngFile(2, 2), 42}, std::pair{bytesOf("not even a PNG"), 43}}) {
        try {
            replaceImage(game, bytes, id);
            ADD_FAILURE() << "replaced image " << id;
        } catch (const swf::swf_exception& e) {
            EXPECT_EQ(std::string(e.what()), "No such Image ID: " + std::to_string(id));
        }
    }
    EXPECT_EQ(game.exportSwf(swf::Compression::Uncompressed), original);
}

}  // namespace
