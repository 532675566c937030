// What applying a folder does with each of its files.

#include "app/mod_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/app_test_support.h"
#include "swf/image_tools.h"
#include "swf/movie_builder.h"

using namespace vorlune_forge;

namespace {

void write(const imagetools::TempDir& dir, const std::string& name, const std::string& text) {
    const std::filesystem::path path = dir.file(name);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ModFolder, EveryFileIsJudged) {
    const struct {
        const char* name;
        const char* text;
        std::optional<Verdict> verdict;  // nothing: not met
    } rows[] = {
        {"stages/234 - StageMeadow.xml", "<stage name=\"StageMeadow\"/>", Verdict::Unchanged},
        {"stages/398.xml", "<stage/>", Verdict::Changed},
        {"deep/down/305.xml", "<marsh/>", Verdict::Changed},
        {"999.xml", "<stage/>", Verdict::NotMatched},
        {"13.png", "whatever", Verdict::NotMatched},
        {"226.xml", "<a/>", Verdict::Conflict},
        {"226 - StageHarbour.xml", "<b/>", Verdict::Conflict},
        {"9.png", "not a picture", Verdict::Failed},
        {"notes.txt", "", Verdict::Ignored},
        {"texts/tutorial.txt", "<tutorial/>", Verdict::Ignored},
        {"sounds/12 - S_aac.m4a", "", Verdict::Ignored},
        {".170.xml", "<hidden/>", Verdict::Ignored},
        {".hidden/299.xml", "<hidden/>", std::nullopt},
    };
    // Links and other entries that are no plain files.
    const struct {
        const char* name;
        std::optional<std::string> linkTo;  // nothing: a named pipe
        Verdict verdict;
    } entries[] = {
        {".hidden", "", Verdict::Ignored},  // made above: a folder, not a link
        {"170.xml", "texts/tutorial.txt", Verdict::Changed},
        {"454.xml", "/etc/hostname", Verdict::Ignored},
        {"299.xml", "missing.xml", Verdict::Failed},
        {"stagelinks", "stages", Verdict::Ignored},
        {"226 - pipe.xml", std::nullopt, Verdict::Ignored},
    };
    imagetools::TempDir dir;
    for (const auto& row : rows) write(dir, row.name, row.text);
    for (const auto& entry : entries) {
        const std::string path = dir.file(entry.name);
        if (!entry.linkTo) {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        } else if (!entry.linkTo->empty()) {
            std::filesystem::create_symlink(*entry.linkTo, path);
        }
    }
    const auto game = apptest::stageGame();
    FolderApply apply(resourceKinds(), *game);
    apply.sortClaims(scanFolder(dir.file(""), resourceKinds()));
    apply.prepare();

    std::map<std::string, Verdict> judged;
    for (const FileVerdict& verdict : apply.verdicts()) {
        for (const std::string& path : verdict.paths) judged[path] = verdict.verdict;
    }
    std::map<Verdict, size_t> expected;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto found = judged.find(dir.file(row.name));
        ASSERT_EQ(found != judged.end(), row.verdict.has_value());
        if (row.verdict) {
            EXPECT_EQ(found->second, *row.verdict);
            ++expected[*row.verdict];
        }
    }
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        const auto found = judged.find(dir.file(entry.name));
        ASSERT_NE(found, judged.end());
        EXPECT_EQ(found->second, entry.verdict);
        ++expected[entry.verdict];
    }
    for (const Verdict verdict : {Verdict::Changed, Verdict::Unchanged, Verdict::Failed, Verdict::Conflict,
                                  Verdict::NotMatched, Verdict::Ignored}) {
        EXPECT_EQ(apply.count(verdict), expected[verdict]);
    }

    // The changed resources go in; the others stay as they were.
    ChangeLog log(resourceKinds());
    apply.putInto(*game, log);
    EXPECT_EQ(game->tagWithId<swf::Tag_DefineBinaryData>(398).data, testmovie::bytesOf("<stage/>"));
    EXPECT_EQ(game->tagWithId<swf::Tag_DefineBinaryData>(226).data,
              testmovie::bytesOf("<stage name=\"StageHarbour\"/>"));
    EXPECT_EQ(game->tagWithId<swf::Tag_DefineBinaryData>(170).data, testmovie::bytesOf("<tutorial/>"));
    EXPECT_EQ(log.differences().size(), 3u);
}

}  // namespace
