#include "codecs/picture.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <turbojpeg.h>
#include <webp/encode.h>
#include <zlib.h>

#include <cstdlib>
#include <future>

namespace {

using namespace picture;

Picture sample(unsigned width, unsigned height, bool alpha) {
    Picture p{width, height, {}};
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            p.rgba.insert(p.rgba.end(), {uint8_t(x * 255 / width), uint8_t(y * 255 / height), uint8_t((x + y) * 4),
                                         uint8_t(alpha ? (x * 37 + y * 11) % 256 : 255)});
        }
    }
    return p;
}

ByteBuffer jpegOf(const Picture& p) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, p.rgba.data(), int(p.width), 0, int(p.height), TJPF_RGBA, &out, &size, TJSAMP_444, 95, 0);
    ByteBuffer file(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return file;
}

ByteBuffer webpOf(const Picture& p) {
    uint8_t* out = nullptr;
    const size_t size = WebPEncodeLosslessRGBA(p.rgba.data(), int(p.width), int(p.height), int(p.width * 4), &out);
    ByteBuffer file(out, out + size);
    WebPFree(out);
    return file;
}

ByteBuffer pngOf(const Picture& p) {
    ByteBuffer file;
    lodepng::encode(file, p.rgba, p.width, p.height);
    return file;
}

// A BMP of 24 bits a pixel stored from the bottom, or of 32 with alpha
// stored from the top; rows are padded to 4 bytes.
ByteBuffer bmpOf(const Picture& p, bool withAlpha) {
    const uint32_t bytesPerPixel = withAlpha ? 4 : 3;
    const uint32_t rowSize = (p.width * bytesPerPixel + 3) / 4 * 4;
    ByteBuffer file = {'B', 'M'};
    appendU32le(file, 54 + rowSize * p.height);
    appendU32le(file, 0);
    appendU32le(file, 54);
    for (uint32_t field : {40u, p.width, withAlpha ? uint32_t(-int32_t(p.height)) : p.height}) appendU32le(file, field);
    appendU16le(file, 1);
    appendU16le(file, uint16_t(bytesPerPixel * 8));
    for (int i = 0; i < 6; ++i) appendU32le(file, 0);
    for (unsigned row = 0; row < p.height; ++row) {
        const unsigned y = withAlpha ? row : p.height - 1 - row;
        for (unsigned x = 0; x < p.width; ++x) {
            const uint8_t* px = &p.rgba[(y * p.width + x) * 4];
            file.insert(file.end(), {px[2], px[1], px[0]});
            if (withAlpha) file.push_back(px[3]);
        }
        file.resize(file.size() + rowSize - p.width * bytesPerPixel, 0);
    }
    return file;
}

int appendGif(GifFileType* gif, const GifByteType* bytes, int count) {
    static_cast<ByteBuffer*>(gif->UserData)
        ->insert(static_cast<ByteBuffer*>(gif->UserData)->end(), bytes, bytes + count);
    return count;
}

// A 16x10 screen whose one 13x7 frame at (2, 1) has four colours, the last
// transparent; `expected` becomes what it shows.
ByteBuffer gifWithTransparency(bool interlaced, Picture& expected) {
    const GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    ByteBuffer file;
    int error = 0;
    GifFileType* gif = EGifOpen(&file, appendGif, &error);
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, 16, 10, 2, 0, map);
    GraphicsControlBlock control{0, false, 0, 3};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    EGifPutImageDesc(gif, 2, 1, 13, 7, interlaced, nullptr);
    const auto index = [](int x, int y) { return GifPixelType((x + 2 * y) % 4); };
    const int order[] = {0, 2, 4, 6, 1, 3, 5};  // the passes of an interlaced image of 7 rows
    for (int row = 0; row < 7; ++row) {
        const int y = interlaced ? order[row] : row;
        GifPixelType line[13];
        for (int x = 0; x < 13; ++x) line[x] = index(x, y);
        EGifPutLine(gif, line, 13);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    expected = Picture{16, 10, ByteBuffer(16 * 10 * 4, 0)};
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (index(x, y) == 3) continue;
            const GifColorType& c = colours[index(x, y)];
            uint8_t* out = &expected.rgba[((y + 1) * 16 + x + 2) * 4];
            out[0] = c.Red, out[1] = c.Green, out[2] = c.Blue, out[3] = 255;
        }
    }
    return file;
}

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
