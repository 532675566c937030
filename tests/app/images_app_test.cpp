// The image section of the real program: what export and replacement tell
// the user, which files they write, and when the game counts as changed.

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/resource_names.h"
#include "codecs/mp3_test_support.h"
#include "codecs/picture_test_support.h"
#include "codecs/zlib.h"
#include "session/session_harness.h"
#include "swf/image_tools.h"
#include "swf/movie_builder.h"

using namespace session;
using namespace testmovie;
using namespace vorlune_forge;

namespace {

ByteBuffer bitmap(uint16_t code, uint16_t id, uint8_t format, uint16_t width, uint16_t height,
                  const ByteBuffer& stream) {
    return record(code, losslessBody(id, format, width, height, 0, stream), true);
}

// Two good images and two that cannot be exported, the two kinds
// alternating in the stream: 36 (id 9), 20 (id 8), 36 (id 10), 20 (id 12).
ByteBuffer imageGame() {
    return movie(concat({
        bitmap(36, 9, 5, 1, 1, zlib::zlib_compress(ByteBuffer{128, 64, 0, 128}, 9)),
        bitmap(20, 8, 5, 2, 1, zlib::zlib_compress(ByteBuffer{0, 1, 2, 3, 0, 4, 5, 6}, 9)),
        bitmap(36, 10, 5, 1, 1, {0x78, 0x9C, 0xFF, 0xFF}),
        bitmap(20, 12, 4, 2, 2, zlib::zlib_compress(ByteBuffer(8, 0), 9)),
        record(76, symbolClassBody({{8, "Hero"}, {9, "Sky"}})),
        record(0, {}),
    }));
}

const std::string kImagesMenu = menu({"List images", "Export image(s)", "Replace image", "Back"});
const std::string kCorrupt = "Error for image with ID=10: zlib: inflate() Invalid or incomplete deflate data.\n";
// Readline scrolls the long question sideways; its end shows.
const std::string kUnsavedQuestion = "exit without exporting SWF/EXE? [y/n]";

Result runImages(const Session& s, std::initializer_list<std::string> answers, bool merge = false) {
    std::string input = script({"game.swf", "4"});
    for (const auto& answer : answers) input += answer + "\n";
    Options options;
    options.mergeStreams = merge;
    return s.run(input, options);
}

TEST(ImagesSession, ExportGoesOnPastImagesThatFail) {
    Session s;
    s.writeFile("game.swf", imageGame());
    const Result r = runImages(s, {"2", "all", "0", "0"});
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out, "Exporting: 8 - Hero.png\nExporting: 12.png\n"));
    EXPECT_TRUE(contains(r.out, "Exporting: 9 - Sky.png\nExporting: 10.png\n"));
    EXPECT_TRUE(contains(r.out, yellow("Exported 3 image(s).\n")));
    EXPECT_EQ(r.err, kCorrupt);
    EXPECT_EQ(s.files(), (std::set<std::string>{"game.swf", "8 - Hero.png", "9 - Sky.png", "12.png"}));

    imagetools::TempDir dir;
    EXPECT_EQ(imagetools::pilRead(dir, s.readFile("9 - Sky.png")).rgba, (ByteBuffer{127, 0, 254, 128}));
    // A 15-bit image of black pixels, which its file, put back, leaves as
    // it is.
    EXPECT_EQ(imagetools::pilRead(dir, s.readFile("12.png")).rgba,
              (ByteBuffer{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
    const Result again = runImages(s, {"3", "12", "12.png", "0", "0"});
    EXPECT_TRUE(contains(again.out, "The file holds what the game already holds: image 12 12.png is unchanged.\n"));
}

TEST(ImagesSession, ExportOfListedIdsGoesOnPastAFileThatCannotBeWritten) {
    Session s;
    s.writeFile("game.swf", imageGame());
    s.makeDirectory("8 - Hero.png");
    const Result r = runImages(s, {"2", "10, 42, 9, 8, 8, 7", "0", "0"});
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    // Unknown ids first, then the images in the game's order, each once.
    EXPECT_EQ(r.err, "No image with ID=7.\nNo image with ID=42.\nError for image with ID=8: " +
                         cannot("write", "8 - Hero.png", EISDIR) + "\n" + kCorrupt);
    EXPECT_TRUE(
        contains(r.out, "Exporting: 8 - Hero.png\n" + errorMark() + "Exporting: 9 - Sky.png\nExporting: 10.png\n"));
    EXPECT_TRUE(contains(r.out, yellow("Exported 1 image(s).\n")));
    EXPECT_EQ(s.files(), (std::set<std::string>{"game.swf", "8 - Hero.png", "9 - Sky.png"}));
}

TEST(ImagesSession, FailedReplacementsEndTheirLineAndChangeNothing) {
    struct Case {
        const char* name;
        std::string id;
        std::string path;
        std::string shown;  // as a terminal shows it: the message and its line end
        bool replacing;     // the file was read and the replacement begun
    };
    const std::vector<Case> cases = {
        {"no picture", "8", "notes.txt", red("The file is no PNG, JPEG, GIF, WebP or BMP picture.\n"), true},
        {"broken PNG", "8", "broken.png",
         red("The PNG file cannot be decoded. PNG decoder error (27): the file is truncated or damaged: PNG file is "
             "smaller than a PNG header\n"),
         true},
        {"no image with the id", "42", "notes.txt", red("No image with ID=42.\n"), false},
        {"no such file", "8", "missing.png", red(cannot("read", "missing.png", ENOENT) + "\n"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile("game.swf", imageGame());
        s.writeFile("notes.txt", std::string("hello"));
        s.writeFile("broken.png", ByteBuffer{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0});
        const Result r = runImages(s, {"3", c.id, c.path, "0", "0"}, true);
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_TRUE(contains(r.out, c.shown + kImagesMenu));
        EXPECT_EQ(r.out.find("Replacing 'Hero.png' with file '" + c.path + "'...") != std::string::npos, c.replacing);
        // Nothing to save: the program leaves without asking.
        EXPECT_FALSE(contains(r.out, kUnsavedQuestion));
    }
}

TEST(ImagesSession, AReplacedImageIsExportedAndCountsAsAChange) {
    Session s;
    s.writeFile("game.swf", imageGame());
    imagetools::TempDir dir;
    const ByteBuffer straight = {200, 100, 50, 255, 1, 2, 3, 255, 9, 8, 7, 255};
    s.writeFile("new.png", imagetools::pilWrite(dir, straight, 3, 1, "RGB"));
    // The format 4 image is replaced, and exported as it is now.
    const Result r = runImages(s, {"3", "12", "new.png", "2", "12", "0", "0", "y"});
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(contains(r.out, yellow("Replacing '12.png' with file 'new.png'...\n")));
    EXPECT_TRUE(contains(r.out, kUnsavedQuestion));
    EXPECT_EQ(imagetools::pilRead(dir, s.readFile("12.png")).rgba,
              (ByteBuffer{200, 100, 50, 255, 1, 2, 3, 255, 9, 8, 7, 255}));
}

TEST(ImagesSession, TransparencyLostToABitmapWithoutAlphaIsWarnedAbout) {
    const std::string warning = yellow(
        "WARNING: This image cannot be transparent, so the transparency of the PNG file was dropped: its "
        "transparent parts show dark.\n");
    const struct {
        const char* name;
        std::string id;
        ByteBuffer rgba;
        bool warned;
    } cases[] = {
        {"half transparent into code 20", "8", {10, 20, 30, 255, 10, 20, 30, 128}, true},
        {"fully transparent into code 20", "8", {10, 20, 30, 0, 10, 20, 30, 255}, true},
        {"opaque into code 20", "8", {10, 20, 30, 255, 10, 20, 30, 255}, false},
        {"transparent into code 36", "9", {10, 20, 30, 255, 10, 20, 30, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.writeFile("game.swf", imageGame());
        imagetools::TempDir dir;
        s.writeFile("new.png", imagetools::pilWrite(dir, c.rgba, 2, 1, "RGBA"));
        const Result r = runImages(s, {"3", c.id, "new.png", "0", "0", "y"});
        ASSERT_TRUE(r.endedNormally()) << r.describe();
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(contains(r.out, warning), c.warned);
        EXPECT_TRUE(contains(r.out, kUnsavedQuestion));
    }
}

// A picture of any of the formats replaces an image through the same
// conversion as a PNG of its pixels: the record is the one the PNG makes
// (for JPEG, whose pixels are not exact, the pixels shown are near the
// source's). The content decides the format, whatever the name says.
TEST(ImagesReplacement, PicturesOfEveryFormatMakeTheRecordTheirPixelsMake) {
    using namespace testpicture;
    const auto game = apptest::stageGame();
    const auto& tree = game->tagWithId<swf::Tag_DefineBitsLossless>(9);  // with alpha
    const Picture translucent = sample(13, 7, true);
    const Picture opaque = sample(16, 8, false);
    Picture screen;
    const ByteBuffer gif = gifWithTransparency(false, screen);
    const struct {
        const char* name;
        ByteBuffer file;
        const Picture& pixels;
        const char* format;  // in the summary; nullptr for a PNG
        int tolerance;
    } cases[] = {
        {"GIF with transparency", gif, screen, "GIF", 0},
        {"WebP with alpha", webpOf(translucent), translucent, "WebP", 0},
        {"BMP with alpha", bmpOf(translucent, true), translucent, "BMP", 0},
        {"JPEG", jpegOf(opaque), opaque, "JPEG", 12},
    };
    imagetools::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Named .png, whatever it is.
        testmp3::writeFile(dir.file("new.png"), c.file);
        testmp3::writeFile(dir.file("same.png"), pngOf(c.pixels));
        const ResourceKind& images = apptest::kind("images");
        const auto ignore = [](const Message&) {};
        const MadeTag made = replacementTag(images.readReplacement(dir.file("new.png")), tree, "Tree", ignore);
        const MadeTag fromPng = replacementTag(images.readReplacement(dir.file("same.png")), tree, "Tree", ignore);
        ASSERT_TRUE(made.tag && fromPng.tag);
        const auto english = [](const char* id) { return id; };
        EXPECT_TRUE(
            contains(changeSummary(images, tree, made).render(english), std::string(", from a ") + c.format + " file"));
        if (c.tolerance == 0) {
            EXPECT_EQ(made.tag->toBytes(), fromPng.tag->toBytes());
            continue;
        }
        const ByteBuffer shown = swf::imagePixels(dynamic_cast<const swf::Tag_DefineBitsLossless&>(*made.tag));
        ASSERT_EQ(shown.size(), c.pixels.rgba.size());
        for (size_t i = 0; i < shown.size(); ++i) EXPECT_NEAR(shown[i], c.pixels.rgba[i], c.tolerance) << i;
    }
}

}  // namespace
