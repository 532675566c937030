#include "data/data_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "codecs/zip_bombs.h"
#include "codecs/zlib.h"
#include "data/data_archive.h"
#include "data/data_samples.h"
#include "swf/image_tools.h"
#include "swf/swf_exception.h"
#include "swf/swf_test_support.h"
#include "util/address_space.h"
#include "util/message_of.h"

namespace {

using namespace datasamples;

using Entries = std::vector<std::pair<std::string, ByteBuffer>>;

Entries walk(const ByteBuffer& content) {
    Entries entries;
    data::walkDataFile(content,
                       [&](const std::string& name, const ByteBuffer& bytes) { entries.emplace_back(name, bytes); });
    return entries;
}

data::ArchiveReader readerOf(const Entries& entries) {
    data::ArchiveReader reader;
    for (const auto& [name, bytes] : entries) reader.names.push_back(name);
    reader.extract = [entries](const std::string& name) {
        for (const auto& [entryName, bytes] : entries) {
            if (entryName == name) return bytes;
        }
        throw std::runtime_error("missing " + name);
    };
    return reader;
}

ByteBuffer rebuilt(data::DataKind kind, const Entries& entries, std::vector<std::string>* warnings = nullptr) {
    const ByteBuffer content = data::buildDataContent(kind, readerOf(entries), [&](data::LimbWarning w, int p) {
        if (warnings)
            warnings->push_back((w == data::LimbWarning::SameFlags ? "same " : "missing ") + std::to_string(p));
    });
    return *data::inflateDataFile(data::wrapDataContent(content));
}

TEST(DataFiles, ExportThenReplaceGivesBackTheContent) {
    // Every kind has a sample, so that the walk and the build are held to
    // agree on each.
    const auto all = samples();
    for (const data::DataKind kind :
         {data::DataKind::LimbInfo, data::DataKind::Spt, data::DataKind::Bg, data::DataKind::Gdat}) {
        EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const Sample& s) { return s.kind == kind; }))
            << data::layoutOf(kind).tag;
    }
    for (const Sample& sample : samples()) {
        const ByteBuffer body = wrapped(sample.content);
        const std::optional<ByteBuffer> content = data::inflateDataFile(body);
        ASSERT_TRUE(content.has_value()) << sample.name;
        EXPECT_EQ(data::readDataKind(*content), sample.kind) << sample.name;
        const Entries entries = walk(*content);
        std::vector<std::string> names;
        for (const auto& entry : entries) names.push_back(entry.first);
        EXPECT_EQ(names, sample.entries) << sample.name;
        EXPECT_EQ(rebuilt(sample.kind, entries), sample.content) << sample.name;
    }
}

TEST(DataFiles, DocumentsArePrintedWithIndentAndRawUtf8) {
    const Entries entries = walk(samples()[0].content);
    const std::string text(entries[1].second.begin(), entries[1].second.end());
    EXPECT_NE(text.find("\n        \"name\": \"Épée de l'aube ✓\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"VLF_ArrayLenXXX\": 5"), std::string::npos) << text;
}

TEST(DataFiles, NegativeCountsReadAsEmpty) {
    ByteBuffer content = kindTag("gdat");
    appendU32be(content, 0x80000001u);
    appendU32be(content, 0xFFFFFFFFu);
    content.insert(content.end(), {9, 9, 9});  // ignored, as is anything after the lists
    EXPECT_TRUE(walk(content).empty());
}

TEST(DataFiles, BodiesThatAreNotDataFiles) {
    EXPECT_FALSE(data::inflateDataFile(ByteBuffer{0x01}).has_value()) << "AMF3 null";
    EXPECT_FALSE(data::readDataKind(kindTag("Unknown")).has_value());
    EXPECT_THROW(data::inflateDataFile(ByteBuffer{}), swf::swf_exception);
    EXPECT_THROW(data::readDataKind(ByteBuffer{0, 5, 'g'}), swf::swf_exception);
}

TEST(DataFiles, TruncatedContentIsRefusedAtEveryOffset) {
    for (const Sample& sample : samples()) {
        for (size_t size = 0; size < sample.content.size(); ++size) {
            const ByteBuffer cut(sample.content.begin(), sample.content.begin() + static_cast<std::ptrdiff_t>(size));
            try {
                walk(cut);
            } catch (const swf::swf_exception&) {
            } catch (const std::exception& e) {
                ADD_FAILURE() << sample.name << " cut to " << size << ": " << e.what();
            }
        }
    }
}

TEST(DataFiles, KindsBySymbolName) {
    EXPECT_EQ(data::kindOfSymbol("HeroLmi"), data::DataKind::LimbInfo);
    EXPECT_EQ(data::kindOfSymbol("Stage1Spt"), data::DataKind::Spt);
    EXPECT_EQ(data::kindOfSymbol("ForestBgi"), data::DataKind::Bg);
    EXPECT_EQ(data::kindOfSymbol("GameDat"), data::DataKind::Gdat);
    EXPECT_FALSE(data::kindOfSymbol("Stage1").has_value());
    EXPECT_FALSE(data::kindOfSymbol("").has_value());
}

TEST(DataFiles, LimbPicturesAreRenumberedByPosition) {
    // Pictures 1 and 5 become positions 0 and 1; position 1 embeds the image
    // numbered 1, whatever the picture's own number.
    Entries entries = {
        {"LimbPic_5.json", limbPictureJson(false, true)},
        {"LimbPic_1.json", limbPictureJson(true, false)},
        {"7.png", kPng},  // no picture embeds it: ignored
        {"0.png", kPng},  // picture 0 does not embed: ignored
    };
    std::vector<std::string> warnings;
    Entries walked = walk(rebuilt(data::DataKind::LimbInfo, entries, &warnings));
    EXPECT_EQ(warnings, (std::vector<std::string>{"missing 1"}));
    ASSERT_EQ(walked.size(), 2u);
    EXPECT_EQ(walked[0].first, "LimbPic_0.json");
    EXPECT_NE(std::string(walked[0].second.begin(), walked[0].second.end()).find("\"disabled\": true"),
              std::string::npos);

    entries.push_back({"1.png", kPng});
    warnings.clear();
    walked = walk(rebuilt(data::DataKind::LimbInfo, entries, &warnings));
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(walked.size(), 3u);
    EXPECT_EQ(walked[2].first, "1.png");
    EXPECT_EQ(walked[2].second, kPng);
}

TEST(DataFiles, SameFlagsAreWarnedAbout) {
    std::vector<std::string> warnings;
    rebuilt(data::DataKind::LimbInfo, {{"LimbPic_0.json", limbPictureJson(true, true)}, {"0.png", kPng}}, &warnings);
    EXPECT_EQ(warnings, (std::vector<std::string>{"same 0"}));
}

TEST(DataFiles, EntryNamesOutsideTheKindsNamingAreRefused) {
    const struct {
        const char* name;
        data::DataKind kind;
        Entries entries;
    } cases[] = {
        {"readme in limb data", data::DataKind::LimbInfo, {{"readme.txt", {}}}},
        {"numbered text in limb data", data::DataKind::LimbInfo, {{"notes2.txt", {}}}},
        {"picture of an attack", data::DataKind::Gdat, {{"Attack_3.png", kPng}}},
        {"attack without number", data::DataKind::Gdat, {{"Attack_.json", {}}}},
        {"Spt under another name", data::DataKind::Spt, {{"spt.json", {}}}},
        {"empty Spt archive", data::DataKind::Spt, {}},
        {"empty Bg archive", data::DataKind::Bg, {}},
    };
    for (const auto& c : cases) {
        try {
            rebuilt(c.kind, c.entries);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const data::entry_name_error& e) {
            EXPECT_STREQ(e.what(), data::layoutOf(c.kind).namingMessage) << c.name;
        }
    }
}

TEST(DataFiles, RefusedArchivesNameTheEntryAndWhere) {
    const std::string folder = "' is inside a folder; put every file at the top of the archive, without folders.";
    // Where the JSON library's own reason follows, only what comes before it
    // is ours: the library words it differently from one version to the next.
    const struct {
        const char* name;
        data::DataKind kind;
        Entries entries;
        std::string message;  // the whole message, or its start before the library's reason
    } cases[] = {
        {"attack in a folder",
         data::DataKind::Gdat,
         {{"Attack_0.json", bytesOf("{}")}, {"old/Attack_1.json", {}}},
         "The archive entry 'old/Attack_1.json" + folder},
        {"Spt in a folder",
         data::DataKind::Spt,
         {{"Stage1Spt/Spt.json", {}}},
         "The archive entry 'Stage1Spt/Spt.json" + folder},
        {"folder of its own",
         data::DataKind::Bg,
         {{"Forest/", {}}, {"BgInfoFile.json", {}}},
         "The archive entry 'Forest/" + folder},
        {"syntax error on the third line",
         data::DataKind::Spt,
         {{"Spt.json", bytesOf("{\n  \"Data.Spt\": {\n    \"a\": tru\n}}")}},
         "Invalid JSON in 'Spt.json' at line 3, column 13: "},
        {"empty document",
         data::DataKind::Bg,
         {{"BgInfoFile.json", {}}},
         "Invalid JSON in 'BgInfoFile.json' at line 1, column 1: "},
        {"JSON that AMF0 cannot hold",
         data::DataKind::Spt,
         {{"Spt.json", bytesOf("[1, 2]")}},
         "Cannot convert the archive entry 'Spt.json' to the game's data: A data document must be a JSON object whose "
         "first member is named after its class."},
        {"flag of the wrong type",
         data::DataKind::LimbInfo,
         {{"LimbPic_0.json", bytesOf(R"({"Data.LimbPic": {"disabled": 1, "embeded": true}})")}},
         "Invalid JSON in 'LimbPic_0.json': "},
        {"two entries of one name",
         data::DataKind::Spt,
         {{"Spt.json", bytesOf("{}")}, {"Spt.json", bytesOf("{}")}},
         "The archive holds two entries named 'Spt.json'; keep only one of them."},
        {"two names for one attack",
         data::DataKind::Gdat,
         {{"Attack_0.json", bytesOf("{}")}, {"PtWithName_0.json", {}}, {"Attack_00.json", bytesOf("{}")}},
         "The archive entries 'Attack_0.json' and 'Attack_00.json' both stand for number 0; keep only one of them."},
        {"two names for one picture",
         data::DataKind::LimbInfo,
         {{"LimbPic_0.json", limbPictureJson(false, true)}, {"0.png", kPng}, {"00.png", kPng}},
         "The archive entries '0.png' and '00.png' both stand for number 0; keep only one of them."},
        {"limb picture of random bytes",
         data::DataKind::LimbInfo,
         {{"LimbPic_0.json", limbPictureJson(false, true)}, {"0.png", noise(8192)}},
         "The archive entry '0.png' is no PNG picture the game can show: PNG decoder error (28): "},
        {"limb picture larger than the player draws",
         data::DataKind::LimbInfo,
         {{"LimbPic_0.json", limbPictureJson(false, true)}, {"0.png", testmovie::pngClaiming(20000, 20000)}},
         "The archive entry '0.png' is no PNG picture the game can show: The picture is 20000 × 20000 pixels; a "
         "picture can have at most 8191 pixels a side and 16777215 pixels in all."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            rebuilt(c.kind, c.entries);
            ADD_FAILURE() << "accepted";
        } catch (const forge_exception& e) {
            const std::string what = e.what();
            // A library's reason follows the colon and is not empty.
            const bool reasonFollows = c.message.back() == ' ';
            EXPECT_EQ(reasonFollows ? what.substr(0, c.message.size()) : what, c.message);
            if (reasonFollows) {
                EXPECT_GT(what.size(), c.message.size());
            }
        }
    }
}

TEST(DataFiles, EmptyLimbArchiveRemovesEverything) {
    ByteBuffer expected = kindTag("limbInfo");
    appendU32be(expected, 0);
    appendU32be(expected, 0);
    EXPECT_EQ(rebuilt(data::DataKind::LimbInfo, {}), expected);
}

// Archives that inflate to gigabytes are refused before they take more than
// a little memory: each is read as the program reads a replacement, in a
// child that has 512 MiB of address space to spare. (_Exit: the child ends
// without the leak check, which needs memory of its own.)
TEST(DataFilesDeathTest, ArchiveBombsAreRefusedWithinTheirLimits) {
    const std::string limits =
        " more are allowed: the entries of an archive may inflate to at most 67108864 bytes in all, and to at most "
        "256 times the archive's size.";
    const ByteBuffer shared = zipbombs::sharedStreamBomb();
    const struct {
        const char* name;
        data::DataKind kind;
        ByteBuffer archive;
        std::string message;
    } cases[] = {
        {"400 attacks of one stream", data::DataKind::Gdat, shared,
         "File 'Attack_000.json' inside 'bomb.zip' would inflate to 10485760 bytes, but only " +
             std::to_string(shared.size() * 256) + limits},
        {"Spt.json of 4 GiB", data::DataKind::Spt, zipbombs::hugeEntryBomb("Spt.json"),
         "File 'Spt.json' inside 'bomb.zip' would inflate to 4294967294 bytes, but only 67108864" + limits},
        {"Spt.json of 64 MiB that declares 1000 bytes", data::DataKind::Spt,
         zipbombs::sharedStream(zipbombs::zerosStream(64), {"Spt.json"}, 1000, 0),
         "File 'Spt.json' inside 'bomb.zip' inflates to more than the 1000 bytes it declares."},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                testsupport::limitAddressSpace(rlim_t{512} << 20);
                const std::string error = testsupport::messageOf([&] {
                    data::DataArchive archive("bomb.zip", std::make_shared<const ByteBuffer>(c.archive));
                    data::buildDataContent(c.kind, archive.reader(), [](data::LimbWarning, int) {});
                });
                std::fprintf(stderr, "%s\n", error.c_str());
                std::_Exit(error == c.message ? 0 : 1);
            },
            testing::ExitedWithCode(0), "")
            << c.name;
    }
}

// A data file's folder is held to the same bound by the sizes of its files,
// before any is read (in a child with 256 MiB of address space to spare): a
// sparse file of 400 MiB costs neither disk nor memory.
TEST(DataFilesDeathTest, AFolderOfLargeFilesIsRefusedByTheirSizes) {
    const imagetools::TempDir dir;
    std::filesystem::create_directory(dir.file("140"));
    std::ofstream(dir.file("140/Spt.json")).put('{');
    std::filesystem::resize_file(dir.file("140/Spt.json"), uintmax_t{400} << 20);
    EXPECT_EXIT(
        {
            testsupport::limitAddressSpace(rlim_t{256} << 20);
            const std::string error = testsupport::messageOf([&] { data::DataFolder folder(dir.file("140")); });
            std::fprintf(stderr, "%s\n", error.c_str());
            std::_Exit(error == "The files of '" + dir.file("140") +
                                    "' hold more than the 67108864 bytes a data file may hold."
                           ? 0
                           : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
