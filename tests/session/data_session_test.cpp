// The data menu with the real program: data files exported as zip archives
// that other tools read, and put back from them.

#include <cstdio>
#include <cstring>

#include "codecs/minizip.h"
#include "codecs/zip_bombs.h"
#include "data/data_samples.h"
#include "session/session_harness.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"

using namespace session;

namespace {

struct DataFile {
    uint16_t id;
    const char* symbol;
    ByteBuffer body;
};

// A Spt file whose object holds a value of a marker AMF0 does not have.
ByteBuffer brokenSpt() {
    ByteBuffer spt = datasamples::kindTag("Spt");
    datasamples::appendValue(spt, {0x10, 0x00, 0x01, 'S', 0x00, 0x01, 'x', 0x0C});
    return spt;
}

// One data file of each kind, an AMF3 null, an unknown kind, a data id
// whose symbol has no known ending and a document that cannot be read.
std::vector<DataFile> dataFiles() {
    const auto samples = datasamples::samples();
    return {
        {136, "ItemsDat", datasamples::wrapped(samples[0].content)},
        {140, "HeroLmi", datasamples::wrapped(samples[2].content)},
        {141, "Stage1Spt", datasamples::wrapped(samples[3].content)},
        {142, "ForestBgi", datasamples::wrapped(samples[4].content)},
        {144, "NothingDat", {0x01}},
        {149, "StrangeDat", datasamples::wrapped(datasamples::kindTag("xyz"))},
        {150, "Unknown", datasamples::wrapped(samples[3].content)},
        {156, "BrokenSpt", datasamples::wrapped(brokenSpt())},
    };
}

ByteBuffer dataGame() {
    ByteBuffer records;
    std::vector<std::pair<uint16_t, std::string>> symbols;
    for (const DataFile& file : dataFiles()) {
        records = testmovie::concat({records, testmovie::record(87, testmovie::binaryDataBody(file.id, file.body))});
        symbols.emplace_back(file.id, file.symbol);
    }
    records = testmovie::concat(
        {records, testmovie::record(76, testmovie::symbolClassBody(symbols)), testmovie::record(0, {})});
    return testmovie::movie(records);
}

std::string withExit(std::initializer_list<std::string> answers) { return script(answers) + script({"0"}); }

// Runs a shell command in the session's directory; its output, or a marker
// when it failed.
std::string shell(const Session& s, const std::string& command) {
    const std::string full = "cd '" + s.dir() + "' && " + command + " 2>&1";
    FILE* pipe = popen(full.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    if (pclose(pipe) != 0) out += "\n[command failed]";
    return out;
}

ByteBuffer inflatedBody(const ByteBuffer& game, uint16_t id) {
    swf::SWF movie(game);
    return *data::inflateDataFile(movie.tagWithId<swf::Tag_DefineBinaryData>(id).data);
}

TEST(SessionData, ExportAllWritesArchivesOtherToolsRead) {
    Session s;
    s.writeFile("game.swf", dataGame());
    const Result r = s.run(withExit({"game.swf", "5", "2", "all", "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_TRUE(contains(r.out, yellow("Exported 5 data file(s).\n")));
    EXPECT_TRUE(contains(r.err, "Error for data file with ID=144: Not an AMF3 ByteArray.\n"));
    EXPECT_TRUE(contains(r.err, "Error for data file with ID=149: File type unrecognized.\n"));
    // The reader's message comes first, as it is; the entry follows.
    EXPECT_TRUE(contains(r.err,
                         "Error for data file with ID=156: Position: 7. Marker '0x0c' not valid or not implemented. "
                         "(In the entry 'Spt.json'.)\n"));
    EXPECT_TRUE(contains(r.err, "Data file with ID=163 not found inside the game.\n"));
    EXPECT_FALSE(s.exists("149 - StrangeDat.zip")) << "no archive for an unknown kind";

    const std::string listing =
        shell(s,
              "/usr/bin/python3 -c 'import sys, zipfile\n"
              "z = zipfile.ZipFile(sys.argv[1])\n"
              "assert z.testzip() is None\n"
              "print(z.comment.decode(), [i.filename for i in z.infolist()])' '140 - HeroLmi.zip'");
    EXPECT_EQ(listing,
              "Created with Vorlune Forge. ['LimbPic_0.json', 'LimbPic_1.json', 'LimbPic_2.json', '0.png', '2.png', "
              "'Limb_0.json']\n");
    for (const char* archive : {"136 - ItemsDat.zip", "141 - Stage1Spt.zip", "142 - ForestBgi.zip"}) {
        EXPECT_FALSE(contains(shell(s, std::string("/usr/bin/unzip -tq '") + archive + "'"), "[command failed]"))
            << archive;
    }
}

TEST(SessionData, UneditedArchivesPutBackGiveTheSameContent) {
    Session s;
    const ByteBuffer game = dataGame();
    s.writeFile("game.swf", game);
    const Result r = s.run(withExit({"game.swf",
                                     "5",
                                     "2",
                                     "136 140 141 142",  //
                                     "3",
                                     "136",
                                     "136 - ItemsDat.zip",  //
                                     "3",
                                     "140",
                                     "140 - HeroLmi.zip",  //
                                     "3",
                                     "141",
                                     "141 - Stage1Spt.zip",  //
                                     "3",
                                     "142",
                                     "142 - ForestBgi.zip",  //
                                     "0",
                                     "6",
                                     "0",
                                     "out.swf"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(contains(r.out, yellow("Replacing 'HeroLmi' with contents of file '140 - HeroLmi.zip'...\n")));
    const ByteBuffer written = s.readFile("out.swf");
    for (uint16_t id : {136, 140, 141, 142}) EXPECT_EQ(inflatedBody(written, id), inflatedBody(game, id)) << id;
    EXPECT_FALSE(contains(r.out, "You have unsaved changes")) << "the export cleared the flag";
}

TEST(SessionData, FailedReplacementsLeaveTheGameUnchanged) {
    Session s;
    s.writeFile("game.swf", dataGame());
    // A Spt archive whose entry has another name, made by another tool.
    shell(s,
          "/usr/bin/python3 -c 'import zipfile\nz = zipfile.ZipFile(\"bad.zip\", \"w\")\nz.writestr(\"spt.json\", "
          "\"{}\")'");
    s.writeFile("notazip.zip", std::string("plain text"));
    // The right entry, whose CRC (in the local and the central header) is
    // wrong.
    shell(s,
          "/usr/bin/python3 -c 'import zipfile\nz = zipfile.ZipFile(\"crc.zip\", \"w\")\nz.writestr(\"Spt.json\", "
          "\"{}\")\nz.close()\nb = bytearray(open(\"crc.zip\", \"rb\").read())\nc = b.find(b\"PK\\x01\\x02\")\n"
          "b[14] ^= 1\nb[c + 16] ^= 1\nopen(\"crc.zip\", \"wb\").write(b)'");
    // An archive of 34 KB that would inflate to 4 GB, and a limb picture of
    // random bytes.
    const ByteBuffer shared = zipbombs::sharedStreamBomb();
    s.writeFile("shared.zip", shared);
    minizip::Zipper noise(s.path("noise.zip"), "");
    noise.add("LimbPic_0.json", "", 9, datasamples::limbPictureJson(false, true));
    noise.add("0.png", "", 9, datasamples::noise(65536));
    noise.close();
    const Result r = s.run(withExit({"game.swf", "5",                   //
                                     "3",        "136", "shared.zip",   //
                                     "3",        "140", "noise.zip",    //
                                     "3",        "141", "crc.zip",      //
                                     "3",        "141", "bad.zip",      //
                                     "3",        "141", "missing.zip",  //
                                     "3",        "141", "notazip.zip",  //
                                     "3",        "141", ".",            //
                                     "3",        "150", "bad.zip",      //
                                     "3",        "5",   "bad.zip",      //
                                     "0"}));
    ASSERT_TRUE(r.endedNormally()) << r.describe();
    EXPECT_EQ(
        r.err,
        "File 'Attack_000.json' inside 'shared.zip' would inflate to 10485760 bytes, but only " +
            std::to_string(shared.size() * 256) +
            " more are allowed: the entries of an archive may inflate to at most 67108864 bytes in all, and to at "
            "most 256 times the archive's size.\n"
            "The archive entry '0.png' is no PNG picture the game can show: PNG decoder error (28): incorrect PNG "
            "signature, it's no PNG or corrupted\n"
            "File 'Spt.json' was read but the CRC is not good.\n"
            "Please do not change the format of the file name. It should be \"Spt.json\".\n"
            "Cannot read 'missing.zip': No such file or directory.\n"
            "Could not open file 'notazip.zip'. The file is not a zip archive.\n"
            // A folder is read as the data file's entries.
            "Please do not change the format of the file name. It should be \"Spt.json\".\n"
            "Unrecognized data file extension.\n"
            "No data file with ID=5.\n");
    EXPECT_FALSE(contains(r.out, "You have unsaved changes")) << "nothing was replaced";
    EXPECT_TRUE(endsWith(r.out, "Good bye. o/\n"));
}

}  // namespace
