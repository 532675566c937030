// Loading a movie: plain, zlib or LZMA compressed, or inside a PE or ELF
// projector. The loader may refuse the bytes with the exceptions of the SWF
// container and its two codecs; any other exception escapes and is a finding.
// A movie that loads must write out as a plain movie that loads back and
// writes the same bytes again; a small one must also survive its zlib form.

#include <algorithm>
#include <memory>

#include "codecs/lzmasdk.h"
#include "codecs/zlib.h"
#include "fuzz_check.h"
#include "swf/swf.h"

namespace {

// Compressing at level 9 is slow under the sanitizers; larger movies (from
// small compressed inputs) only take the plain round trip.
constexpr size_t kZlibRoundTripLimit = 64 * 1024;

std::unique_ptr<swf::SWF> load(const uint8_t* data, size_t size) {
    try {
        return std::make_unique<swf::SWF>(fuzz::bufferOf(data, size));
    } catch (const swf::swf_exception&) {
    } catch (const zlib::zlib_exception&) {
    } catch (const lzmasdk::lzmasdk_exception&) {
    }
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::unique_ptr<swf::SWF> movie = load(data, size);
    if (!movie) return 0;

    const ByteBuffer written = movie->exportSwf(swf::Compression::Uncompressed);
    const swf::SWF reloaded(written);
    fuzz::require(reloaded.exportSwf(swf::Compression::Uncompressed) == written,
                  "a loaded movie, written, reloaded and written again, is unchanged");
    fuzz::require(reloaded.tags.size() == movie->tags.size(), "a written movie reloads with as many tags");

    if (written.size() <= kZlibRoundTripLimit) {
        // The zlib form raises the version to at least 6 and is otherwise
        // the same movie.
        ByteBuffer expected = written;
        expected[3] = std::max<uint8_t>(expected[3], 6);
        const swf::SWF inflated(movie->exportSwf(swf::Compression::Zlib));
        fuzz::require(inflated.exportSwf(swf::Compression::Uncompressed) == expected,
                      "the zlib form of a loaded movie loads back to the same movie");
    }
    return 0;
}
