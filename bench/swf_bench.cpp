// Prints how loading and writing a large generated movie compares with the
// bare operations underneath: plain file input and output, and bare zlib
// and liblzma encodes with the export's own settings. Also prints the peak
// memory of each export against the movie's size.
//
//   swf_bench [megabytes] [work directory] [--no-codecs]

#include <lzma.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench_movie.h"
#include "codecs/lzmasdk.h"
#include "codecs/zlib.h"
#include "console/l18n_files.h"
#include "swf/swf.h"
#include "util/thread_pool.h"

namespace {

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Game-like content: stage XML and data that compress well, interleaved with
// bitmaps and sounds that are already compressed.
ByteBuffer generateMovie(size_t targetSize) {
    std::mt19937 random(1);
    ByteBuffer records;
    records.reserve(targetSize + (1 << 20));
    uint16_t id = 1;
    const std::string xml =
        "<stage><tile x=\"12\" y=\"40\" kind=\"grass\"/><enemy type=\"slime\" hp=\"30\"/></stage>\n";
    while (records.size() < targetSize) {
        ByteBuffer body;
        appendU16le(body, id++);
        if (id % 2 == 0) {
            appendU32le(body, 0);
            for (size_t n = 0; n < (256 << 10); n += xml.size()) {
                body.insert(body.end(), xml.begin(), xml.end());
                body.push_back(static_cast<uint8_t>('0' + random() % 10));
            }
            appendRecord(records, 87, body);
        } else {
            body.insert(body.end(), {5, 0, 2, 0, 2});
            for (size_t n = 0; n < (256 << 10); ++n) body.push_back(static_cast<uint8_t>(random()));
            appendRecord(records, 36, body);
        }
    }
    return finishMovie(std::move(records));
}

ByteBuffer bareZlib(ByteView body) {
    uLongf size = compressBound(body.size());
    ByteBuffer out(size);
    if (compress2(out.data(), &size, body.data(), body.size(), swf::kMovieZlibLevel) != Z_OK) std::abort();
    out.resize(size);
    return out;
}

// One raw LZMA1 encode of the whole body with liblzma, the properties
// bytes first, with the settings the export uses, and the end marker.
ByteBuffer bareLzma(ByteView body) {
    lzma_options_lzma options = lzmasdk::encoderOptions();
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    ByteBuffer out(body.size() + body.size() / 16 + 4096);
    size_t size = 5;
    if (lzma_properties_encode(filters, out.data()) != LZMA_OK ||
        lzma_raw_buffer_encode(filters, nullptr, body.data(), body.size(), out.data(), &size, out.size()) != LZMA_OK) {
        std::abort();
    }
    out.resize(size);
    return out;
}

// Loads `file` and writes it with `compression`; run in a fresh process so
// that its peak memory is its own.
int loadAndExport(const std::string& file, int compression, const std::string& output) {
    ByteBuffer in;
    l18n::readBinaryFile(file, in);
    const swf::SWF loaded(std::move(in));
    l18n::writeBinaryFile(output, loaded.exportSwf(swf::compressionOf(compression)));
    return 0;
}

// Peak resident memory, in bytes, of a fresh process that loads and exports.
size_t peakMemory(const std::string& file, int compression, const std::string& output) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        const std::string mode = std::to_string(compression);
        execl("/proc/self/exe", "swf_bench", "--load-and-export", file.c_str(), mode.c_str(), output.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    return static_cast<size_t>(usage.ru_maxrss) * 1024;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Medians of five alternating runs of two operations, so that page cache
// write-back and other machine noise fall on both alike.
std::pair<double, double> alternatingMedians(const std::function<void()>& first, const std::function<void()>& second) {
    std::vector<double> a, b;
    for (int i = 0; i < 5; ++i) {
        a.push_back(seconds(first));
        b.push_back(seconds(second));
    }
    return {median(a), median(b)};
}

void report(const char* what, double ours, double bare) {
    std::printf("%-44s %8.3f s  vs %8.3f s  ratio %.3f\n", what, ours, bare, ours / bare);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--load-and-export")
        return loadAndExport(argv[2], std::atoi(argv[3]), argv[4]);
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    const std::string input = dir + "/swf_bench_in.swf";
    const std::string output = dir + "/swf_bench_out.swf";

    size_t movieSize = 0;
    {
        const ByteBuffer movie = generateMovie(megabytes << 20);
        movieSize = movie.size();
        l18n::writeBinaryFile(input, movie);
    }
    std::printf("movie: %zu bytes\n", movieSize);

    const auto [plain, ours] = alternatingMedians(
        [&] {
            ByteBuffer bytes;
            l18n::readBinaryFile(input, bytes);
            l18n::writeBinaryFile(output, bytes);
        },
        [&] {
            ByteBuffer bytes;
            l18n::readBinaryFile(input, bytes);
            const swf::SWF movie(std::move(bytes));
            l18n::writeBinaryFile(output, movie.exportSwf(swf::Compression::Uncompressed));
        });
    report("load + exportSwf(FWS) vs read + write", ours, plain);
    const bool codecs = !(argc > 3 && std::string(argv[3]) == "--no-codecs");
    if (codecs) {
        {
            ByteBuffer bytes;
            l18n::readBinaryFile(input, bytes);
            const ByteView body = ByteView(bytes).subspan(8);
            const swf::SWF movie(bytes);
            ByteBuffer cws, zws;
            // The export deflates on every processor it may use; the bare codec
            // runs on one thread. Both are wall-clock times.
            ByteBuffer bareCws;
            const auto [zlibOurs, zlibBare] = alternatingMedians([&] { cws = movie.exportSwf(swf::Compression::Zlib); },
                                                                 [&] { bareCws = bareZlib(body); });
            std::printf("processors: %zu\n", processorCount());
            report("exportSwf(CWS) vs bare zlib on one thread", zlibOurs, zlibBare);
            std::printf("%-44s %8zu B   vs %8zu B   ratio %.4f\n", "CWS body size vs bare zlib", cws.size() - 8,
                        bareCws.size(), double(cws.size() - 8) / double(bareCws.size()));
            const double lzmaOurs = seconds([&] { zws = movie.exportSwf(swf::Compression::Lzma); });
            const double lzmaBare = seconds([&] { bareLzma(body); });
            report("exportSwf(ZWS) vs LZMA encode", lzmaOurs, lzmaBare);
            std::printf("compressed sizes: CWS %zu, ZWS %zu\n", cws.size(), zws.size());
            l18n::writeBinaryFile(dir + "/swf_bench_in.cws", cws);
            l18n::writeBinaryFile(dir + "/swf_bench_in.zws", zws);
        }

        const auto peak = [&](const char* what, const std::string& file, int compression) {
            const size_t used = peakMemory(file, compression, output);
            std::printf("%-44s %8.1f MB  = %.2f x movie\n", what, used / 1048576.0, double(used) / double(movieSize));
        };
        peak("peak memory: load FWS, export FWS", input, 0);
        peak("peak memory: load CWS, export CWS", dir + "/swf_bench_in.cws", 1);
        peak("peak memory: load ZWS, export ZWS", dir + "/swf_bench_in.zws", 2);
    }

    for (const char* suffix : {".swf", ".cws", ".zws"}) std::remove((dir + "/swf_bench_in" + suffix).c_str());
    std::remove(output.c_str());
    return 0;
}
