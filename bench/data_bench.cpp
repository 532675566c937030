// Prints what exporting the game's data files costs.
//
// First, for a generated set of data files shaped like the game's (one per
// data id: limb data with embedded pictures, attack lists, sprite and
// background descriptions), the time to export every file the way the
// program does (inflate, walk, print each object as JSON, write a zip
// archive at level 9) against inflating the same bodies alone, and how that
// time splits between inflating, walking and printing, and the archive. The
// archive's share is set beside a bare raw deflate at level 9 of the same
// entries, which is what minizip runs underneath.
//
// Then the time to walk one data file of N items (and one object of N
// members) for doubling N: the time per item should stay about the same.
//
//   data_bench [megabytes] [work directory] [movie file]
//
// megabytes is the inflated size of the generated set (40 by default). With
// a movie file, the set is also written there as a game (a binary data tag
// and a symbol name for every file), for timing the program's own export of
// every data file.

#include <time.h>
#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "codecs/minizip.h"
#include "codecs/zlib.h"
#include "data/data_file.h"
#include "bench_data_files.h"
#include "bench_movie.h"
#include "bench_timing.h"

using namespace benchdata;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Medians of `runs` rounds of the operations, each round running them all in
// turn, so that noise falls on all of them alike.
std::vector<double> alternatingMedians(const std::vector<std::function<void()>>& operations, int runs) {
    std::vector<std::vector<double>> times(operations.size());
    for (int run = 0; run < runs; ++run) {
        for (size_t i = 0; i < operations.size(); ++i) times[i].push_back(seconds(operations[i]));
    }
    std::vector<double> medians;
    for (const auto& t : times) medians.push_back(median(t));
    return medians;
}

double megabytes(size_t bytes) { return static_cast<double>(bytes) / 1048576.0; }

// What the program does for one data file: inflate, check the kind, then
// walk it into an archive of level 9 entries.
void exportDataFile(const DataFile& file, const std::string& dir) {
    const std::optional<ByteBuffer> content = data::inflateDataFile(file.body);
    if (!content || !data::readDataKind(*content)) std::abort();
    minizip::Zipper zip(dir + "/" + std::to_string(file.id) + " - data.zip", "Created with Vorlune Forge.");
    data::walkDataFile(*content,
                       [&](const std::string& name, const ByteBuffer& bytes) { zip.add(name, "", 9, bytes); });
    zip.close();
}

// The same without the archive; the entries' sizes are summed so that
// nothing is optimised away.
size_t walkWithoutArchive(const DataFile& file) {
    const std::optional<ByteBuffer> content = data::inflateDataFile(file.body);
    if (!content || !data::readDataKind(*content)) std::abort();
    size_t bytes = 0;
    data::walkDataFile(*content, [&](const std::string&, const ByteBuffer& entry) { bytes += entry.size(); });
    return bytes;
}

// What minizip does for an entry's bytes: a raw deflate stream at level 9
// and the CRC-32.
size_t rawDeflate(const ByteBuffer& bytes, ByteBuffer& out) {
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
    out.resize(deflateBound(&stream, bytes.size()));
    stream.next_in = bytes.data();
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) std::abort();
    const size_t size = stream.total_out;
    deflateEnd(&stream);
    volatile uLong crc = crc32(0, bytes.data(), static_cast<uInt>(bytes.size()));
    (void)crc;
    return size;
}

size_t directorySize(const std::string& dir) {
    size_t size = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) size += entry.file_size();
    return size;
}

void gameSetBenchmark(size_t total, const std::string& workDir, const char* moviePath) {
    const std::vector<DataFile> files = generateGameSet(total);
    if (moviePath != nullptr) writeFile(moviePath, gameOf(files));
    size_t inflated = 0, deflated = 0;
    int perKind[4] = {};
    for (const DataFile& file : files) {
        inflated += file.inflatedSize;
        deflated += file.body.size();
        ++perKind[static_cast<int>(file.kind)];
    }
    // The entries, once, for the bare deflate and the entry statistics.
    std::vector<ByteBuffer> entries;
    size_t jsonCount = 0, jsonBytes = 0, pngCount = 0, pngBytes = 0;
    for (const DataFile& file : files) {
        const ByteBuffer content = *data::inflateDataFile(file.body);
        data::walkDataFile(content, [&](const std::string& name, const ByteBuffer& bytes) {
            const bool png = name.ends_with(".png");
            (png ? pngCount : jsonCount) += 1;
            (png ? pngBytes : jsonBytes) += bytes.size();
            entries.push_back(bytes);
        });
    }
    std::printf("data set: %zu files (%d limbInfo, %d gdat, %d Spt, %d Bg), %.1f MB inflated, %.1f MB as stored\n",
                files.size(), perKind[0], perKind[3], perKind[1], perKind[2], megabytes(inflated), megabytes(deflated));
    std::printf("entries:  %zu JSON documents (%.1f MB), %zu PNG files (%.1f MB)\n", jsonCount, megabytes(jsonBytes),
                pngCount, megabytes(pngBytes));

    const std::string dir = workDir + "/data_bench_out";
    std::filesystem::create_directories(dir);
    size_t sink = 0;
    const auto inflateAll = [&] {
        for (const DataFile& file : files) sink += zlib::zlib_decompress(file.deflated).size();
    };
    const auto walkAll = [&] {
        for (const DataFile& file : files) sink += walkWithoutArchive(file);
    };
    const auto exportAll = [&] {
        for (const DataFile& file : files) exportDataFile(file, dir);
    };
    const auto deflateEntries = [&] {
        ByteBuffer out;
        for (const ByteBuffer& entry : entries) sink += rawDeflate(entry, out);
    };
    const std::vector<double> t = alternatingMedians({inflateAll, walkAll, exportAll, deflateEntries}, 3);
    const double inflate = t[0], walk = t[1], exported = t[2], bareDeflate = t[3];
    std::printf("zip archives: %.1f MB\n", megabytes(directorySize(dir)));
    std::filesystem::remove_all(dir);

    std::printf("%-52s %8.3f s  vs %8.3f s  ratio %.2f\n", "export all (inflate, walk, dump, zip) vs inflate", exported,
                inflate, exported / inflate);
    std::printf("time split (processor time, medians of 3):\n");
    std::printf("  %-50s %8.3f s\n", "inflate (zlib_decompress)", inflate);
    std::printf("  %-50s %8.3f s\n", "inflate + walk + dump, no zip", walk);
    std::printf("  %-50s %8.3f s\n", "inflate + walk + dump + zip (the export)", exported);
    std::printf("  %-50s %8.3f s\n", "  walk + dump without zip", walk - inflate);
    std::printf("  %-50s %8.3f s\n", "  walk + dump with zip", exported - inflate);
    std::printf("  %-50s %8.3f s  vs %8.3f s  ratio %.2f\n", "  zip alone vs bare raw deflate 9 + CRC of entries",
                exported - walk, bareDeflate, (exported - walk) / bareDeflate);
    if (sink == 0) std::abort();  // keeps the work from being optimised away
}

// ------------------------------------------------------------ growth with N

// A gdat file of n attacks of the same shape.
ByteBuffer gdatOf(size_t n) {
    Content c(11);
    ByteBuffer out;
    appendKindTag(out, "gdat");
    appendU32be(out, static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i) appendByteArray(out, c.attack(4));
    appendU32be(out, 0);
    return out;
}

// A limbInfo file of n pictures, each with a small embedded image.
ByteBuffer limbInfoOf(size_t n) {
    Content c(13);
    ByteBuffer out;
    appendKindTag(out, "limbInfo");
    appendU32be(out, static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i) appendByteArray(out, c.limbPicture(true));
    for (size_t i = 0; i < n; ++i) appendByteArray(out, c.png(256));
    appendU32be(out, 0);
    return out;
}

// A Spt file whose one object has n members of mixed types.
ByteBuffer membersOf(size_t n) {
    Content c(17);
    Amf0Writer w("vorlune.data.SpriteInfo");
    for (size_t i = 0; i < n; ++i) {
        const std::string name = "member" + std::to_string(i);
        switch (i % 4) {
            case 0:
                w.number(name, c.fraction(-100, 100));
                break;
            case 1:
                w.string(name, c.name());
                break;
            case 2:
                w.boolean(name, c.chance(0.5));
                break;
            default:
                w.typed(name, "flash.geom.Point").number("x", c.whole(0, 99)).number("y", c.whole(0, 99)).end();
        }
    }
    ByteBuffer out;
    appendKindTag(out, "Spt");
    appendByteArray(out, w.finish());
    return out;
}

// A Bg file whose object holds one ECMA array of n tiles.
ByteBuffer ecmaArrayOf(size_t n) {
    Content c(19);
    Amf0Writer w("vorlune.data.BgInfo");
    w.ecmaArray("tiles", static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i) {
        w.typed(std::to_string(i), "vorlune.data.Tile").number("x", c.whole(0, 12000)).number("y", c.whole(0, 2400));
        w.number("tile", c.whole(0, 900)).boolean("flip", c.chance(0.2)).end();
    }
    w.end();
    ByteBuffer out;
    appendKindTag(out, "Bg");
    appendByteArray(out, w.finish());
    return out;
}

// The median of at least three walks, and of as many as fit in half a
// second, so that the small cases are not lost in the clock's noise.
double walkSeconds(const ByteBuffer& content) {
    size_t bytes = 0;
    std::vector<double> runs;
    double spent = 0;
    while (runs.size() < 3 || spent < 0.5) {
        runs.push_back(seconds([&] {
            data::walkDataFile(content, [&](const std::string&, const ByteBuffer& entry) { bytes += entry.size(); });
        }));
        spent += runs.back();
    }
    if (bytes == 0) std::abort();
    return median(runs);
}

double archiveSeconds(const ByteBuffer& content, const std::string& path) {
    const double s = seconds([&] {
        minizip::Zipper zip(path, "Created with Vorlune Forge.");
        data::walkDataFile(content,
                           [&](const std::string& name, const ByteBuffer& bytes) { zip.add(name, "", 9, bytes); });
        zip.close();
    });
    std::remove(path.c_str());
    return s;
}

void growthBenchmark(const std::string& workDir) {
    struct Shape {
        const char* what;
        ByteBuffer (*build)(size_t);
        bool archive;
    };
    const Shape shapes[] = {
        {"gdat, N attacks: walk", gdatOf, false},
        {"gdat, N attacks: walk + zip", gdatOf, true},
        {"limbInfo, N pictures + N PNGs: walk", limbInfoOf, false},
        {"Spt, one object of N members: walk", membersOf, false},
        {"Bg, one ECMA array of N tiles: walk", ecmaArrayOf, false},
    };
    const size_t sizes[] = {12500, 25000, 50000, 100000};
    std::printf("\nwalking one data file of N items (AMF3 + AMF0 -> JSON + dump), processor time, medians:\n");
    std::printf("%-40s %8s %10s %11s %12s %8s\n", "", "N", "content", "total", "per item", "vs first");
    for (const Shape& shape : shapes) {
        double first = 0;
        for (const size_t n : sizes) {
            const ByteBuffer content = shape.build(n);
            const double s =
                shape.archive ? archiveSeconds(content, workDir + "/data_bench_growth.zip") : walkSeconds(content);
            const double perItem = s / static_cast<double>(n);
            if (first == 0) first = perItem;
            std::printf("%-40s %8zu %7.1f MB %9.3f s %9.2f us %7.2fx\n", shape.what, n, megabytes(content.size()), s,
                        perItem * 1e6, perItem / first);
            std::fflush(stdout);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const size_t total = (argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 40) << 20;
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    gameSetBenchmark(total, dir, argc > 3 ? argv[3] : nullptr);
    growthBenchmark(dir);
    return 0;
}
