#pragma once
// Pictures for the tests, encoded by the formats' own libraries: JPEG by
// TurboJPEG, GIF by giflib, WebP by libwebp, PNG by lodepng, and BMP as its
// header and rows are laid out.

#include <gif_lib.h>
#include <lodepng.h>
#include <turbojpeg.h>
#include <webp/encode.h>

#include "codecs/picture.h"
#include "util/bytes.h"

namespace testpicture {

using picture::Picture;

inline Picture sample(unsigned width, unsigned height, bool alpha) {
    Picture p{width, height, {}};
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            p.rgba.insert(p.rgba.end(), {uint8_t(x * 255 / width), uint8_t(y * 255 / height), uint8_t((x + y) * 4),
                                         uint8_t(alpha ? (x * 37 + y * 11) % 256 : 255)});
        }
    }
    return p;
}

inline ByteBuffer jpegOf(const Picture& p) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, p.rgba.data(), int(p.width), 0, int(p.height), TJPF_RGBA, &out, &size, TJSAMP_444, 95, 0);
    ByteBuffer file(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return file;
}

inline ByteBuffer webpOf(const Picture& p) {
    uint8_t* out = nullptr;
    const size_t size = WebPEncodeLosslessRGBA(p.rgba.data(), int(p.width), int(p.height), int(p.width * 4), &out);
    ByteBuffer file(out, out + size);
    WebPFree(out);
    return file;
}

inline ByteBuffer pngOf(const Picture& p) {
    ByteBuffer file;
    lodepng::encode(file, p.rgba, p.width, p.height);
    return file;
}

// A BMP of 24 bits a pixel stored from the bottom, or of 32 with alpha
// stored from the top; rows are padded to 4 bytes.
inline ByteBuffer bmpOf(const Picture& p, bool withAlpha) {
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

inline int appendGif(GifFileType* gif, const GifByteType* bytes, int count) {
    static_cast<ByteBuffer*>(gif->UserData)
        ->insert(static_cast<ByteBuffer*>(gif->UserData)->end(), bytes, bytes + count);
    return count;
}

// A 16x10 screen whose one 13x7 frame at (2, 1) has four colours, the last
// transparent; `expected` becomes what it shows.
inline ByteBuffer gifWithTransparency(bool interlaced, Picture& expected) {
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

}  // namespace testpicture
