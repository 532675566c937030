#pragma once
// Generated photographs for the benchmarks, and the JPEG and BMP files of
// the same pixels.

#include <turbojpeg.h>

#include <random>

#include "util/bytes.h"

// Smooth shapes with grain, as a photograph has: RGB, rows from the top.
inline ByteBuffer photoLike(unsigned side) {
    ByteBuffer rgb(size_t{side} * side * 3);
    std::mt19937 random(3);
    for (unsigned y = 0; y < side; ++y) {
        for (unsigned x = 0; x < side; ++x) {
            uint8_t* p = &rgb[(size_t{y} * side + x) * 3];
            const unsigned grain = random() % 16;
            p[0] = uint8_t((x * 255 / side + grain) & 0xFF);
            p[1] = uint8_t(((x ^ y) / 16 + grain) & 0xFF);
            p[2] = uint8_t((y * 255 / side + grain) & 0xFF);
        }
    }
    return rgb;
}

// At quality 90 with the colours sampled at half the size, as cameras and
// editors save.
inline ByteBuffer jpegOf(const ByteBuffer& rgb, unsigned side) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, rgb.data(), int(side), 0, int(side), TJPF_RGB, &out, &size, TJSAMP_420, 90, 0);
    ByteBuffer file(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return file;
}

// 24 bits a pixel, rows from the bottom.
inline ByteBuffer bmpOf(const ByteBuffer& rgb, unsigned side) {
    const uint32_t rowSize = (side * 3 + 3) / 4 * 4;
    ByteBuffer file = {'B', 'M'};
    for (uint32_t field : {54 + rowSize * side, 0u, 54u, 40u, side, side}) appendU32le(file, field);
    appendU16le(file, 1);
    appendU16le(file, 24);
    for (int i = 0; i < 6; ++i) appendU32le(file, 0);
    for (unsigned row = side; row-- > 0;) {
        for (unsigned x = 0; x < side; ++x) {
            const uint8_t* p = &rgb[(size_t{row} * side + x) * 3];
            file.insert(file.end(), {p[2], p[1], p[0]});
        }
        file.resize(file.size() + rowSize - side * 3, 0);
    }
    return file;
}
