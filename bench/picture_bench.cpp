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
#include <string>

#include "bench_child.h"
#include "bench_pictures.h"
#include "bench_timing.h"
#include "codecs/picture.h"

constexpr int kRepeats = 5;

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

    const double ourJpeg = best(kRepeats, [&] { picture::decodePicture(jpeg); });
    const double ourBmp = best(kRepeats, [&] { picture::decodePicture(bmp); });
    // Bare calls into a buffer used before, and into a new one, as a
    // decoder that hands its picture over needs.
    ByteBuffer pixels(size_t{side} * side * 4);
    const auto decodeInto = [&](ByteBuffer& out) {
        tjhandle handle = tjInitDecompress();
        tjDecompress2(handle, jpeg.data(), jpeg.size(), out.data(), int(side), 0, int(side), TJPF_RGBA, 0);
        tjDestroy(handle);
    };
    const double bare = best(kRepeats, [&] { decodeInto(pixels); });
    const double bareNew = best(kRepeats, [&] {
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
