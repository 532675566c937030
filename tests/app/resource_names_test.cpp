// How resources are named: which resource a file's name stands for, and
// what a replacement is said to change.

#include "app/resource_names.h"

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "swf/movie_builder.h"

using namespace vorlune_forge;
using namespace testmovie;

namespace {

TEST(ResourceNames, FileNamesStandForTheirResources) {
    const struct {
        const char* name;
        const char* folder;  // nullptr: no resource
        uint64_t id;
    } rows[] = {
        {"600.png", "images", 600},
        {"600 - HeroSprite.PNG", "images", 600},
        {"234 - StageMeadow.xml", "stages", 234},
        {"136 - ItemTable.zip", "data", 136},
        {"7.mp3", "sounds", 7},
        {"65535.mp3", "sounds", 65535},
        {"65536.mp3", nullptr, 0},
        {"000600.png", "images", 600},
        {"600-HeroSprite.png", nullptr, 0},
        {"HeroSprite.png", nullptr, 0},
        {".png", nullptr, 0},
        {"600.png.txt", nullptr, 0},
        {"600.JPG", "images", 600},
        {"12 - Hit.wav", "sounds", 12},
        {"12 - Hit.m4a", nullptr, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<NamedResource> named = resourceOfFileName(row.name, resourceKinds());
        ASSERT_EQ(named.has_value(), row.folder != nullptr);
        if (!named) continue;
        EXPECT_STREQ(named->kind->folder, row.folder);
        EXPECT_EQ(named->id, row.id);
    }
}

// A replacement names each fact that changed as "before → after", and the
// others once.
TEST(ResourceNames, ChangeSummariesNameWhatChanged) {
    const swf::SWF game(movie(concat({
        record(87, binaryDataBody(1, ByteBuffer(10, 'a'))),
        record(87, binaryDataBody(2, ByteBuffer(12, 'a'))),
        record(87, binaryDataBody(3, ByteBuffer(10, 'b'))),
        // 44100 Hz stereo, 44100 and 88200 samples; 22050 Hz mono.
        record(14, soundBody(4, 0x2F, 44100, {0, 0})),
        record(14, soundBody(5, 0x2F, 88200, {0, 0})),
        record(14, soundBody(6, 0x28, 22050, {0, 0})),
        record(36, losslessBody(7, 5, 2, 2, 0, {})),
        record(36, losslessBody(8, 5, 4, 4, 0, {})),
        record(20, losslessBody(9, 5, 2, 2, 0, {})),
        record(0, {}),
    })));
    const auto tag = [&](uint64_t id) -> const swf::Tag& {
        for (const auto& each : game.tags) {
            if (each->characterId == id) return *each;
        }
        throw std::runtime_error("no tag " + std::to_string(id));
    };
    const auto english = [](const char* id) { return id; };
    const struct {
        const char* folder;
        uint64_t before;
        uint64_t after;
        const char* summary;
    } rows[] = {
        {"stages", 1, 2, "10 bytes → 12 bytes"},
        {"stages", 1, 3, "10 bytes"},
        {"sounds", 4, 5, "44100 Hz, stereo, 1.0 s → 2.0 s"},
        {"sounds", 4, 6, "44100 Hz → 22050 Hz, stereo → mono, 1.0 s"},
        {"images", 7, 8, "2×2 → 4×4, alpha"},
        {"images", 7, 9, "2×2, alpha → no alpha"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.summary);
        EXPECT_EQ(changeSummary(apptest::kind(row.folder), tag(row.before), tag(row.after)).render(english),
                  row.summary);
    }
}

}  // namespace
