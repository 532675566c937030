// Exporting many resources at once: they are converted on several threads,
// and the files and messages come out as a single thread writes them.

#include "codecs/zlib.h"
#include "session/session_harness.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"

using namespace session;
using namespace testmovie;

namespace {

// 40 bitmaps of both codes in turn, each a different picture; every seventh
// holds a stream that does not inflate.
ByteBuffer manyImages() {
    ByteBuffer records;
    for (uint16_t id = 1; id <= 40; ++id) {
        ByteBuffer pixels(size_t{16} * 16 * 4);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * id + (i % 4 == 0 ? 255 : 0));
        const ByteBuffer stream = id % 7 == 0 ? ByteBuffer{0x78, 0x9C, 0xFF, 0xFF} : zlib::zlib_compress(pixels, 9);
        appendBytes(records, record(id % 2 == 0 ? 36 : 20, losslessBody(id, 5, 16, 16, 0, stream), true));
    }
    appendBytes(records, record(0, {}));
    return movie(records);
}

TEST(BulkExportSession, ImagesComeOutInOrderAndWhole) {
    Session s;
    const ByteBuffer game = manyImages();
    s.writeFile("game.swf", game);
    const Result r = s.run(script({"game.swf", "4", "2", "all", "0", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();

    swf::SWF loaded(game);
    std::string exporting;
    std::string errors;
    std::set<std::string> files = {"game.swf"};
    int count = 0;
    for (const auto* image : loaded.tagsOfKind<swf::Tag_DefineBitsLossless>()) {
        const std::string name = std::to_string(image->characterId) + ".png";
        exporting += "Exporting: " + name + "\n";
        if (image->characterId % 7 == 0) {
            errors += "Error for image with ID=" + std::to_string(image->characterId) +
                      ": zlib: inflate() Invalid or incomplete deflate data.\n";
            exporting += errorMark();
            continue;
        }
        files.insert(name);
        ++count;
        EXPECT_EQ(s.readFile(name), swf::imageToPng(*image)) << name;
    }
    EXPECT_TRUE(contains(r.out, "all\n" + exporting + yellow("Exported " + std::to_string(count) + " image(s).\n")));
    EXPECT_EQ(r.err, errors);
    EXPECT_EQ(s.files(), files);
}

}  // namespace
