// The change log: what differs from the game as loaded, and whether the
// game differs from what was last loaded or written.

#include "app/change_log.h"

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "swf/movie_builder.h"

using namespace vorlune_forge;

namespace {

// The steps, one letter each: 'A' and 'B' replace stage 234 with the text
// of the letter, 'L' with the bytes it was loaded with, 'r' reverts it, 'w'
// writes the game.
struct Row {
    const char* steps;
    bool unsaved;
    bool differs;
    bool reverted;  // whether the last revert changed anything
};

TEST(ChangeLog, UnsavedAndDifferencesFollowEveryStep) {
    const Row rows[] = {
        {"", false, false, false},    {"A", true, true, false},   {"Aw", false, true, false},
        {"AB", true, true, false},    {"ABA", true, true, false}, {"AwB", true, true, false},
        {"AwBA", false, true, false}, {"L", false, false, false}, {"AL", false, false, false},
        {"AwL", true, false, false},  {"Ar", false, false, true}, {"Awr", true, false, true},
        {"Awrw", false, false, true}, {"r", false, false, false}, {"ALr", false, false, false},
    };
    const ResourceKind& stages = apptest::kind("stages");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.steps);
        const auto game = apptest::stageGame();
        const ByteBuffer loaded = game->exportSwf(swf::Compression::Uncompressed);
        ChangeLog log(resourceKinds());
        bool reverted = false;
        for (const char* step = row.steps; *step != '\0'; ++step) {
            const swf::Tag& current = game->tagWithId<swf::Tag_DefineBinaryData>(234);
            const auto& binary = dynamic_cast<const swf::Tag_DefineBinaryData&>(current);
            switch (*step) {
                case 'A':
                case 'B':
                    log.replace(*game, stages, current, swf::binaryWithPayload(ByteBuffer(1, *step), binary), nullptr);
                    break;
                case 'L':
                    log.replace(*game, stages, current,
                                swf::binaryWithPayload(testmovie::bytesOf("<stage name=\"StageMeadow\"/>"), binary),
                                nullptr);
                    break;
                case 'r':
                    reverted = log.revert(*game, stages, 234);
                    break;
                case 'w':
                    log.written();
                    break;
            }
        }
        EXPECT_EQ(log.unsaved(), row.unsaved);
        EXPECT_EQ(log.differences().size(), row.differs ? 1u : 0u);
        EXPECT_EQ(reverted, row.reverted);
        // What differs from the loaded game is the change alone.
        EXPECT_EQ(game->exportSwf(swf::Compression::Uncompressed) == loaded, !row.differs);
        // Whatever was done, the game as loaded is known by its first bytes.
        EXPECT_EQ(log.loadedMovieDigest(*game), sha256::digestOf(loaded));
    }
}

}  // namespace
