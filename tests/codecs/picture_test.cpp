#include "codecs/picture.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <turbojpeg.h>
#include <webp/encode.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <future>

#include "codecs/picture_test_support.h"

namespace {

using namespace picture;
using namespace testpicture;

TEST(Pictures, EachFormatDecodesToItsPixels) {
    const Picture opaque = sample(64, 48, false);
    const Picture translucent = sample(13, 7, true);
    Picture gifScreen;
    Picture interlacedScreen;
    const struct {
        const char* name;
        PictureFormat format;
        ByteBuffer file;
        const Picture& expected;
        int tolerance;
    } cases[] = {
        {"JPEG", PictureFormat::Jpeg, jpegOf(opaque), opaque, 12},
        {"GIF", PictureFormat::Gif, gifWithTransparency(false, gifScreen), gifScreen, 0},
        {"GIF interlaced", PictureFormat::Gif, gifWithTransparency(true, interlacedScreen), interlacedScreen, 0},
        {"WebP lossless", PictureFormat::WebP, webpOf(translucent), translucent, 0},
        {"BMP 24-bit", PictureFormat::Bmp, bmpOf(opaque, false), opaque, 0},
        {"BMP 32-bit from the top", PictureFormat::Bmp, bmpOf(translucent, true), translucent, 0},
        {"PNG", PictureFormat::Png, pngOf(translucent), translucent, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(recognisePicture(c.file), c.format);
        const Picture picture = decodePicture(c.file);
        ASSERT_EQ(picture.width, c.expected.width);
        ASSERT_EQ(picture.height, c.expected.height);
        ASSERT_EQ(picture.rgba.size(), c.expected.rgba.size());
        int worst = 0;
        for (size_t i = 0; i < picture.rgba.size(); ++i) {
            worst = std::max(worst, std::abs(picture.rgba[i] - c.expected.rgba[i]));
        }
        EXPECT_LE(worst, c.tolerance);
    }
}

ByteBuffer patched(ByteBuffer file, size_t at, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + ptrdiff_t(at));
    return file;
}

ByteBuffer half(const ByteBuffer& file) { return ByteBuffer(file.begin(), file.begin() + ptrdiff_t(file.size() / 2)); }

// The sizes of the header of a 20000x20000 picture, in each format's order.
ByteBuffer huge(PictureFormat format, const ByteBuffer& file) {
    switch (format) {
        case PictureFormat::Png: {
            ByteBuffer png = patched(file, 16, {0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20});
            const uLong crc = crc32(0, png.data() + 12, 17);
            return patched(png, 29, {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
        }
        case PictureFormat::Jpeg: {
            const uint8_t marker[] = {0xFF, 0xC0};
            const size_t sof = size_t(std::search(file.begin(), file.end(), marker, marker + 2) - file.begin());
            return patched(file, sof + 5, {0x4E, 0x20, 0x4E, 0x20});
        }
        case PictureFormat::Gif:
            return patched(file, 6, {0x20, 0x4E, 0x20, 0x4E});
        case PictureFormat::WebP:
            break;
        case PictureFormat::Bmp:
            return patched(file, 18, {0x20, 0x4E, 0, 0, 0x20, 0x4E, 0, 0});
    }
    return file;
}

TEST(Pictures, PicturesThatCannotBeShownAreRefused) {
    const Picture picture = sample(16, 16, true);
    Picture unused;
    const ByteBuffer png = pngOf(picture), jpeg = jpegOf(picture), gif = gifWithTransparency(false, unused),
                     webp = webpOf(picture), bmp = bmpOf(picture, true);
    const std::string huge20000 =
        "The picture is 20000 × 20000 pixels; a picture can have at most 8191 pixels a side and 16777215 pixels in "
        "all.";
    // 14 bits each of width and height less one, after the lossless
    // stream's signature byte.
    const uint32_t webpSize = (4999u) | (4999u << 14) | (1u << 28);
    const struct {
        const char* name;
        ByteBuffer file;
        std::string message;
    } cases[] = {
        {"PNG 20000", huge(PictureFormat::Png, png), huge20000},
        {"JPEG 20000", huge(PictureFormat::Jpeg, jpeg), huge20000},
        {"GIF 20000", huge(PictureFormat::Gif, gif), huge20000},
        {"BMP 20000", huge(PictureFormat::Bmp, bmp), huge20000},
        {"BMP 8192 wide", patched(bmp, 18, {0, 0x20, 0, 0, 1, 0, 0, 0}),
         "The picture is 8192 × 1 pixels; a picture can have at most 8191 pixels a side"},
        {"WebP 5000",
         patched(webp, 21,
                 {uint8_t(webpSize), uint8_t(webpSize >> 8), uint8_t(webpSize >> 16), uint8_t(webpSize >> 24)}),
         "The picture is 5000 × 5000 pixels; a picture can have at most 8191 pixels a side and 16777215 pixels in "
         "all."},
        {"PNG cut", half(png), "The PNG file cannot be decoded. "},
        {"JPEG cut", half(jpeg), "The JPEG file cannot be decoded. "},
        {"GIF cut", half(gif), "The GIF file cannot be decoded. "},
        {"WebP cut", half(webp), "The WebP file cannot be decoded. "},
        {"BMP cut", half(bmp),
         "The BMP file cannot be decoded. Its rows need 1024 bytes from offset 54, but the file has 539 bytes."},
        {"GIF without image", patched(ByteBuffer(gif.begin(), gif.begin() + 26), 25, {0x3B}),
         "The GIF file cannot be decoded. It holds no image."},
        {"garbage", ByteBuffer(100, 'x'), "The file is no PNG, JPEG, GIF, WebP or BMP picture."},
        {"garbage after a signature", patched(ByteBuffer(100, 'x'), 0, {'G', 'I', 'F', '8', '9', 'a'}),
         "The GIF file cannot be decoded. "},
    };
    for (const auto& c : cases) {
        try {
            decodePicture(c.file);
            ADD_FAILURE() << c.name;
        } catch (const picture_exception& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message) << c.name;
        }
    }
}

TEST(Pictures, PicturesAreDecodedOnSeveralThreadsAtOnce) {
    const ByteBuffer files[] = {jpegOf(sample(300, 200, false)), webpOf(sample(300, 200, true)),
                                bmpOf(sample(300, 200, true), true)};
    for (const ByteBuffer& file : files) {
        const ByteBuffer alone = decodePicture(file).rgba;
        std::vector<std::future<ByteBuffer>> runs;
        for (int i = 0; i < 4; ++i)
            runs.push_back(std::async(std::launch::async, [&] { return decodePicture(file).rgba; }));
        for (auto& run : runs) EXPECT_EQ(run.get(), alone);
    }
}

}  // namespace
