// Prints what decoding a large JPEG picture costs against decoding a BMP
// file of the same pixels, and against the djpeg program and bare TurboJPEG
// calls on the same file. All of it runs on one processor.
//
//   picture_bench [side] [work folder]

#include <sched.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "bench_child.h"
#include "bench_timing.h"
#include "codecs/picture.h"

namespace {

constexpr int kRepeats = 5;

// Smooth shapes with grain, as a photograph has.
ByteBuffer photoLike(unsigned side) {
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

ByteBuffer jpegOf(const ByteBuffer& rgb, unsigned side) {
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
ByteBuffer bmpOf(const ByteBuffer& rgb, unsigned side) {
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

double best(const std::function<void()>& work) {
    double fastest = 1e30;
    for (int i = 0; i < kRepeats; ++i) fastest = std::min(fastest, seconds(work));
    return fastest;
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned side = argc > 1 ? unsigned(std::atoi(argv[1])) : 4000;
    const std::string folder = argc > 2 ? argv[2] : "/tmp";
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);

    const ByteBuffer rgb = photoLike(side);
    const ByteBuffer jpeg = jpegOf(rgb, side);
    const ByteBuffer bmp = bmpOf(rgb, side);
    const std::string path = folder + "/picture_bench.jpg";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));

    const double ourJpeg = best([&] { picture::decodePicture(jpeg); });
    const double ourBmp = best([&] { picture::decodePicture(bmp); });
    // Bare calls into a buffer used before, and into a new one, as a
    // decoder that hands its picture over needs.
    ByteBuffer pixels(size_t{side} * side * 4);
    const auto decodeInto = [&](ByteBuffer& out) {
        tjhandle handle = tjInitDecompress();
        tjDecompress2(handle, jpeg.data(), jpeg.size(), out.data(), int(side), 0, int(side), TJPF_RGBA, 0);
        tjDestroy(handle);
    };
    const double bare = best([&] { decodeInto(pixels); });
    const double bareNew = best([&] {
        ByteBuffer fresh(size_t{side} * side * 4);
        decodeInto(fresh);
    });
    double tool = 1e30;
    for (int i = 0; i < kRepeats; ++i) tool = std::min(tool, childSeconds({"djpeg", "-outfile", "/dev/null", path}));

    std::printf("%ux%u picture: JPEG file %zu bytes, BMP file %zu bytes\n", side, side, jpeg.size(), bmp.size());
    std::printf(
        "  decoding: JPEG %.3f s, BMP %.3f s; bare TurboJPEG %.3f s (into a new buffer %.3f s); djpeg program "
        "%.3f s\n",
        ourJpeg, ourBmp, bare, bareNew, tool);
    std::printf("  JPEG / BMP = %.2f, JPEG / bare TurboJPEG = %.2f (into a new buffer %.2f), JPEG / djpeg = %.2f\n",
                ourJpeg / ourBmp, ourJpeg / bare, ourJpeg / bareNew, ourJpeg / tool);
}
