// Damaged movies and projectors: every truncation and many single-byte
// changes must either load or be refused with one of the program's own
// exceptions, never crash or read outside a buffer (the sanitizer build runs
// these too). Whatever loads must survive a write and a reload unchanged.

#include <gtest/gtest.h>

#include "swf/movie_builder.h"
#include "swf/swf_test_support.h"

using namespace testmovie;

namespace {

struct Variant {
    const char* name;
    ByteBuffer bytes;
};

std::vector<Variant> variants() {
    const ByteBuffer fws = sampleMovie();
    const swf::SWF loaded(fws);
    const ByteBuffer cws = loaded.exportSwf(swf::Compression::Zlib);
    const ByteBuffer zws = loaded.exportSwf(swf::Compression::Lzma);
    return {
        {"FWS", fws},
        {"CWS", cws},
        {"ZWS", zws},
        {"PE with FWS", peProjector(fakePePlayer(96), fws)},
        {"PE with ZWS", peProjector(fakePePlayer(96), zws)},
        {"ELF with FWS", elfProjector(fakeElfPlayer(16), fws)},
        {"ELF with CWS", elfProjector(fakeElfPlayer(16), cws)},
    };
}

// Loads the bytes; returns an empty string when they loaded and wrote back
// consistently, "refused" for one of the program's own exceptions, and a
// description of anything else.
std::string tryLoad(const ByteBuffer& bytes) {
    try {
        const swf::SWF first(bytes);
        const ByteBuffer written = first.exportSwf(swf::Compression::Uncompressed);
        const swf::SWF second(written);
        if (second.exportSwf(swf::Compression::Uncompressed) != written) return "write and reload differ";
        if (second.tags.size() != first.tags.size()) return "tag count changed on reload";
        return "";
    } catch (const swf::swf_exception&) {
        return "refused";
    } catch (const zlib::zlib_exception&) {
        return "refused";
    } catch (const lzmasdk::lzmasdk_exception&) {
        return "refused";
    } catch (const std::exception& e) {
        return std::string("unexpected exception: ") + e.what();
    }
}

bool acceptable(const std::string& outcome) { return outcome.empty() || outcome == "refused"; }

TEST(SwfRobustness, EveryTruncationIsLoadedOrRefused) {
    for (const auto& variant : variants()) {
        for (size_t size = 0; size < variant.bytes.size(); ++size) {
            const ByteBuffer cut(variant.bytes.begin(), variant.bytes.begin() + static_cast<std::ptrdiff_t>(size));
            const std::string outcome = tryLoad(cut);
            EXPECT_TRUE(acceptable(outcome)) << variant.name << " cut to " << size << ": " << outcome;
        }
    }
}

TEST(SwfRobustness, EveryChangedByteIsLoadedOrRefused) {
    for (const auto& variant : variants()) {
        for (size_t offset = 0; offset < variant.bytes.size(); ++offset) {
            for (uint8_t mask : {0x01, 0x80, 0xFF}) {
                ByteBuffer changed = variant.bytes;
                changed[offset] ^= mask;
                const std::string outcome = tryLoad(changed);
                EXPECT_TRUE(acceptable(outcome))
                    << variant.name << " byte " << offset << " ^ " << int(mask) << ": " << outcome;
            }
        }
    }
}

TEST(SwfRobustness, UndamagedVariantsLoad) {
    for (const auto& variant : variants()) EXPECT_EQ(tryLoad(variant.bytes), "") << variant.name;
}

}  // namespace
