#include "codecs/minizip.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "util/bytes.h"
#include "util/message_of.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

using testsupport::messageOf;

Bytes randomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(size);
    for (auto& b : out) b = static_cast<uint8_t>(random());
    return out;
}

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Runs a shell command; returns its exit status and standard output.
std::pair<int, std::string> run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, ""};
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string hex(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) out += {digits[b >> 4], digits[b & 15]};
    return out;
}

using Contents = std::vector<std::pair<std::string, Bytes>>;

// An archive's file read whole, and the Unzipper over its bytes.
struct OpenedArchive {
    Bytes bytes;
    minizip::Unzipper unzipper;
    explicit OpenedArchive(const std::string& path) : bytes(readFile(path)), unzipper(path, bytes) {}
};

// Everything an archive holds, as read back through Unzipper.
Contents readArchive(const std::string& path, std::string* comment = nullptr) {
    OpenedArchive opened(path);
    minizip::Unzipper& unzipper = opened.unzipper;
    if (comment != nullptr) *comment = unzipper.getGlobalComment();
    Contents contents;
    for (const minizip::ZipEntry& entry : unzipper.getEntries()) {
        Bytes bytes;
        unzipper.extractEntryToMemory(entry.name, bytes);
        EXPECT_EQ(entry.uncompressedSize, bytes.size()) << entry.name;
        contents.emplace_back(entry.name, std::move(bytes));
    }
    return contents;
}

// Position of the n-th central directory record of an archive.
size_t centralRecord(const Bytes& archive, int n) {
    const uint8_t signature[] = {'P', 'K', 1, 2};
    auto at = archive.begin();
    for (int i = 0; i <= n; ++i) at = std::search(i == 0 ? at : at + 1, archive.end(), signature, signature + 4);
    return static_cast<size_t>(at - archive.begin());
}

class ZipTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vlf-zip-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // A small archive of one deflated and one stored (level 0) entry.
    std::string smallArchive(const Contents& contents) {
        const std::string archive = path("small.zip");
        minizip::Zipper zipper(archive, "small");
        for (size_t i = 0; i < contents.size(); ++i)
            zipper.add(contents[i].first, "", i == 0 ? 9 : 0, contents[i].second);
        zipper.close();
        return archive;
    }

    fs::path dir_;
};

const Contents kSmall = {{"a.txt", Bytes(300, 'a')}, {"b.bin", randomBytes(64, 3)}};

TEST_F(ZipTest, RoundTripKeepsCommentOrderAndContentOfEveryOverload) {
    const std::string archive = path("out.zip");
    const std::string comment = "Vorlune data, \xc3\xa4\xc3\xb6\xc3\xbc";
    const std::string longName = "deep/" + std::string(300, 'x') + ".json";
    const Bytes bigRandom = randomBytes(400000, 1);
    const std::time_t before = std::time(nullptr);
    {
        minizip::Zipper zipper(archive, comment);
        zipper.add("z-first.json", "", 9, std::string("{\"a\": 1}"));
        zipper.add("images/1.png", "an entry comment", 9, bigRandom);
        const char raw[] = {'r', 'a', 'w', '\0', 'x'};
        zipper.add("a-raw.bin", "", 1, raw, sizeof raw);
        zipper.add("empty", "", 9, std::string());
        zipper.add(longName, "", 9, Bytes(70000, 'L'));
        // The destructor writes the central directory and the comment.
    }
    const std::time_t after = std::time(nullptr);

    std::string readComment;
    const Contents expected = {{"z-first.json", Bytes{'{', '"', 'a', '"', ':', ' ', '1', '}'}},
                               {"images/1.png", bigRandom},
                               {"a-raw.bin", Bytes{'r', 'a', 'w', 0, 'x'}},
                               {"empty", {}},
                               {longName, Bytes(70000, 'L')}};
    EXPECT_EQ(readArchive(archive, &readComment), expected);
    EXPECT_EQ(readComment, comment);

    OpenedArchive opened(archive);
    minizip::Unzipper& unzipper = opened.unzipper;
    const auto& entries = unzipper.getEntries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[1].comment, "an entry comment");
    EXPECT_LT(entries[4].compressedSize, 1000u);
    for (const minizip::ZipEntry& entry : entries) {
        const std::time_t written = minizip::dos2unixtime(entry.dosdate);
        EXPECT_GE(written, before - 2);
        EXPECT_LE(written, after + 2);
        EXPECT_TRUE(std::regex_match(entry.timeText, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
    }
    // Listing again after extractions starts over from the first entry.
    Bytes ignored;
    unzipper.extractEntryToMemory("empty", ignored);
    EXPECT_EQ(unzipper.getEntries().front().name, "z-first.json");
}

TEST_F(ZipTest, NamesAreMatchedExactlyAndAMissOnlyReportsTheName) {
    const std::string archive = smallArchive(kSmall);
    OpenedArchive opened(archive);
    minizip::Unzipper& unzipper = opened.unzipper;
    Bytes out{1, 2, 3};
    for (const std::string name : {"A.txt", "a.TXT", "a.tx", "a.txt ", "/a.txt"}) {
        EXPECT_EQ(messageOf([&] { unzipper.extractEntryToMemory(name, out); }),
                  "File '" + name + "' not found inside '" + archive + "'.");
    }
    EXPECT_EQ(out, (Bytes{1, 2, 3}));
    unzipper.extractEntryToMemory("a.txt", out);
    EXPECT_EQ(out, kSmall[0].second);
}

TEST_F(ZipTest, FailuresCarryTheirMessages) {
    const std::string noDir = path("no/such/dir.zip");
    const std::string archive = path("bad.zip");
    struct Case {
        const char* what;
        std::function<void()> action;
        std::string message;
    } cases[] = {
        {"no bytes", [&] { minizip::Unzipper u(archive, {}); },
         "Could not open file '" + archive + "'. The file is not a zip archive."},
        {"not a zip",
         [&] {
             const Bytes text(100, 'x');
             minizip::Unzipper u(archive, text);
         },
         "Could not open file '" + archive + "'. The file is not a zip archive."},
        {"empty path", [] { minizip::Zipper z("", "c"); }, "Name of zip file must not be empty."},
        {"missing directory", [&] { minizip::Zipper z(noDir, ""); }, "Could not create '" + noDir + "'."},
        // minizip would write a truncated length and an archive nobody opens.
        {"long comment", [&] { minizip::Zipper z(archive, std::string(65536, 'c')); },
         "Comment of zip file '" + archive + "' is longer than 65535 bytes."},
        {"empty entry name",
         [&] {
             minizip::Zipper z(archive, "");
             z.add("", "", 9, std::string("x"));
         },
         "Name of file to add in zip '' must not be empty."},
        {"bad level closes the archive",
         [&] {
             minizip::Zipper z(archive, "");
             EXPECT_EQ(messageOf([&] { z.add("a", "", 42, std::string("x")); }),
                       "Failed to open file 'a' inside '" + archive + "'. Error: -2");
             z.add("b", "", 9, std::string("x"));
         },
         "Zip file '" + archive + "' is already closed."},
        {"long entry comment",
         [&] {
             minizip::Zipper z(archive, "");
             z.add("a", std::string(65536, 'c'), 9, std::string("x"));
         },
         "Failed to open file 'a' inside '" + archive + "'. Error: -102"},
        // Nothing can be written to /dev/full: the failure to finish the
        // archive must not pass for success.
        {"full disk, entry",
         [] {
             minizip::Zipper z("/dev/full", "");
             z.add("a", "", 9, std::string("x"));
         },
         "Failed to close file 'a' inside '/dev/full'. Error: -1"},
        {"full disk, archive",
         [] {
             minizip::Zipper z("/dev/full", "c");
             z.close();
         },
         "Failed to close zip file '/dev/full'. Error: -1"},
    };
    for (const Case& c : cases) EXPECT_EQ(messageOf(c.action), c.message) << c.what;
}

// An archive of no entries is its end record alone, which minizip does not
// find at the archive's first byte.
TEST_F(ZipTest, ArchivesWithoutEntriesReadAsEmpty) {
    auto zipped = [](const std::string& comment) {
        Bytes bytes;
        minizip::Zipper("empty.zip", comment, bytes).close();
        return bytes;
    };
    const auto [status, python] =
        run("/usr/bin/python3 -c 'import zipfile,sys; z=zipfile.ZipFile(sys.stdout.buffer, \"w\"); "
            "z.comment=b\"made elsewhere\"; z.close()'");
    ASSERT_EQ(status, 0);
    const struct {
        const char* what;
        Bytes bytes;
        std::string comment;
    } cases[] = {
        {"exported with a comment", zipped("Created with Vorlune Forge."), "Created with Vorlune Forge."},
        {"without a comment", zipped(""), ""},
        {"made by Python", Bytes(python.begin(), python.end()), "made elsewhere"},
    };
    for (const auto& c : cases) {
        minizip::Unzipper unzipper("empty.zip", c.bytes);
        EXPECT_TRUE(unzipper.getEntries().empty()) << c.what;
        EXPECT_EQ(unzipper.getGlobalComment(), c.comment) << c.what;
        Bytes out;
        EXPECT_EQ(messageOf([&] { unzipper.extractEntryToMemory("Spt.json", out); }),
                  "File 'Spt.json' not found inside 'empty.zip'.")
            << c.what;
    }
}

TEST_F(ZipTest, DamagedEntriesAreRefused) {
    const std::string archive = smallArchive(kSmall);
    const Bytes good = readFile(archive);
    // b.bin's records: the central one, and the local header it points to.
    const size_t central = centralRecord(good, 1);
    const size_t local = loadU32le(&good[central + 42]);
    auto patched = [&](const std::function<void(Bytes&)>& patch) {
        Bytes bytes = good;
        patch(bytes);
        writeFile(archive, bytes);
        return archive;
    };
    const std::string limits =
        " more are allowed: the entries of an archive may inflate to at most 67108864 bytes in all, and to at most "
        "256 times the archive's size.";
    // CRC, compressed and uncompressed size sit at these offsets in the local
    // header and 2 bytes later in the central record.
    auto setField = [&](Bytes& b, size_t localOffset, uint32_t value) {
        storeU32le(&b[local + localOffset], value);
        storeU32le(&b[central + localOffset + 2], value);
    };
    struct Case {
        const char* what;
        std::function<void(Bytes&)> patch;
        std::string message;
    } cases[] = {
        {"content byte flipped",
         [&](Bytes& b) {
             const auto at = std::search(b.begin(), b.end(), kSmall[1].second.begin(), kSmall[1].second.end());
             ASSERT_NE(at, b.end());
             at[10] ^= 0x40;
         },
         "File 'b.bin' was read but the CRC is not good."},
        {"CRC patched in both headers", [&](Bytes& b) { setField(b, 14, loadU32le(&b[local + 14]) ^ 1); },
         "File 'b.bin' was read but the CRC is not good."},
        {"size declared 100", [&](Bytes& b) { setField(b, 22, 100); },
         "File 'b.bin' inside '" + archive + "' ended after 64 of its 100 bytes."},
        {"size declared 3 GB", [&](Bytes& b) { setField(b, 22, 3000000000u); },
         "File 'b.bin' inside '" + archive + "' would inflate to 3000000000 bytes, but only " +
             std::to_string(good.size() * 256) + limits},
        {"size declared 4 GiB", [&](Bytes& b) { setField(b, 22, 0xFFFFFFFFu); },
         "File 'b.bin' inside '" + archive + "' would inflate to 4294967295 bytes, but only " +
             std::to_string(good.size() * 256) + limits},
        {"size declared 10", [&](Bytes& b) { setField(b, 22, 10); },
         "File 'b.bin' inside '" + archive + "' inflates to more than the 10 bytes it declares."},
        {"compressed with bzip2",
         [&](Bytes& b) {
             b[local + 8] = 12;
             b[central + 10] = 12;
         },
         "File 'b.bin' inside '" + archive + "' is compressed with method 12, which this program cannot read."},
    };
    {
        OpenedArchive intact(archive);
        Bytes out;
        intact.unzipper.extractEntryToMemory("b.bin", out);
        ASSERT_EQ(out, kSmall[1].second);
    }
    for (const Case& c : cases) {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long peakBefore = usage.ru_maxrss;
        OpenedArchive opened(patched(c.patch));
        Bytes out{9};
        EXPECT_EQ(messageOf([&] { opened.unzipper.extractEntryToMemory("b.bin", out); }), c.message) << c.what;
        EXPECT_EQ(out, Bytes{9}) << c.what;
        getrusage(RUSAGE_SELF, &usage);
        EXPECT_LT(usage.ru_maxrss - peakBefore, 256 * 1024) << c.what << ": kilobytes of memory taken";
    }
}

TEST_F(ZipTest, TruncatedAndFlippedArchivesFailCleanly) {
    const std::string archive = smallArchive(kSmall);
    const Bytes good = readFile(archive);
    const std::map<std::string, Bytes> originals(kSmall.begin(), kSmall.end());
    std::vector<Bytes> damaged;
    for (size_t size = 0; size < good.size(); ++size) damaged.emplace_back(good.begin(), good.begin() + size);
    for (size_t at = 0; at < good.size(); ++at) {
        for (uint8_t mask : {0x01, 0xFF}) {
            damaged.push_back(good);
            damaged.back()[at] ^= mask;
        }
    }
    size_t accepted = 0;
    for (const Bytes& bytes : damaged) {
        try {
            minizip::Unzipper unzipper(archive, bytes);
            for (const minizip::ZipEntry& entry : unzipper.getEntries()) {
                Bytes out;
                unzipper.extractEntryToMemory(entry.name, out);
                // Whatever is accepted under an original name is that entry's content.
                if (originals.count(entry.name) != 0) {
                    EXPECT_EQ(out, originals.at(entry.name)) << entry.name;
                }
                ++accepted;
            }
        } catch (const std::exception&) {
        }
    }
    EXPECT_GT(accepted, 0u);  // flips in comments and dates are harmless
}

TEST_F(ZipTest, ProgramArchivesPassUnzipAndPython) {
    ASSERT_EQ(access("/usr/bin/unzip", X_OK), 0) << "unzip is missing; scripts/setup.sh installs it";
    ASSERT_EQ(access("/usr/bin/python3", X_OK), 0) << "python3 is missing; scripts/setup.sh installs it";
    const std::string archive = path("program.zip");
    const Contents contents = {{"data/1.json", Bytes(5000, '{')}, {"b.png", randomBytes(3000, 2)}, {"e", {}}};
    {
        minizip::Zipper zipper(archive, "Exported data");
        for (const auto& [name, bytes] : contents) zipper.add(name, "", 9, bytes);
    }
    const auto [unzipStatus, unzipOutput] = run("/usr/bin/unzip -t '" + archive + "'");
    EXPECT_EQ(unzipStatus, 0) << unzipOutput;
    EXPECT_NE(unzipOutput.find("No errors detected"), std::string::npos) << unzipOutput;

    std::string expected = "Exported data\n";
    for (const auto& [name, bytes] : contents) expected += name + " " + hex(bytes) + "\n";
    const auto [pythonStatus, pythonOutput] =
        run("/usr/bin/python3 -c 'import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None; "
            "print(z.comment.decode()); [print(i.filename, z.read(i).hex()) for i in z.infolist()]' '" +
            archive + "'");
    EXPECT_EQ(pythonStatus, 0);
    EXPECT_EQ(pythonOutput, expected);
}

TEST_F(ZipTest, ArchivesOfOtherProgramsAreRead) {
    ASSERT_EQ(access("/usr/bin/zip", X_OK), 0) << "zip is missing; scripts/setup.sh installs it";
    ASSERT_EQ(access("/usr/bin/python3", X_OK), 0) << "python3 is missing; scripts/setup.sh installs it";
    const Contents contents = {{"a.txt", Bytes(2000, 'a')}, {"dir/b.bin", randomBytes(1000, 4)}, {"empty.dat", {}}};
    std::string names;
    for (const auto& [name, bytes] : contents) {
        writeFile(dir_ / "src" / name, bytes);
        names += " '" + name + "'";
    }
    writeFile(dir_ / "comment.txt", Bytes{'M', 'a', 'd', 'e', ' ', 'e', 'l', 's', 'e', 'w', 'h', 'e', 'r', 'e'});
    const std::string python =
        "/usr/bin/python3 -c 'import zipfile,sys\n"
        "out, method, names = sys.argv[1], sys.argv[2], sys.argv[3:]\n"
        "with zipfile.ZipFile(out, \"w\", zipfile.ZIP_STORED if method == \"stored\" else zipfile.ZIP_DEFLATED) as z:\n"
        "    z.comment = open(\"../comment.txt\", \"rb\").read()\n"
        "    for n in names:\n"
        "        with z.open(n, \"w\", force_zip64=method == \"zip64\") as f: f.write(open(n, \"rb\").read())' ";
    const std::pair<const char*, std::string> producers[] = {
        {"zip.zip", "/usr/bin/zip -q -z ../zip.zip" + names + " < ../comment.txt"},
        {"zip-stored.zip", "/usr/bin/zip -q -0 -z ../zip-stored.zip" + names + " < ../comment.txt"},
        {"python.zip", python + "../python.zip deflated" + names},
        {"python-stored.zip", python + "../python-stored.zip stored" + names},
        {"python-zip64.zip", python + "../python-zip64.zip zip64" + names},
    };
    for (const auto& [file, command] : producers) {
        const auto [status, output] = run("cd '" + (dir_ / "src").string() + "' && " + command);
        ASSERT_EQ(status, 0) << command << "\n" << output;
        std::string comment;
        EXPECT_EQ(readArchive(path(file), &comment), contents) << file;
        EXPECT_EQ(comment, "Made elsewhere") << file;
    }
}

// An entry of 4 GiB or more goes to minizip in pieces and is marked zip64.
// The content is a sparse mapping of zero pages, so it costs no memory.
TEST_F(ZipTest, ContentOf4GiBIsWrittenWholeButNotExtracted) {
    ASSERT_EQ(access("/usr/bin/python3", X_OK), 0) << "python3 is missing; scripts/setup.sh installs it";
    const size_t size = (size_t{1} << 32) + 17;
    void* zeros = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(zeros, MAP_FAILED);
    const std::string archive = path("huge.zip");
    {
        minizip::Zipper zipper(archive, "");
        zipper.add("huge", "", 1, zeros, size);
        zipper.add("after", "", 9, std::string("tail"));
        zipper.close();
    }
    munmap(zeros, size);

    const auto [status, output] =
        run("/usr/bin/python3 -c 'import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
            "[print(i.filename, i.file_size) for i in z.infolist()]; print(z.read(\"after\").decode())' '" +
            archive + "'");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, "huge 4294967313\nafter 4\ntail\n");

    OpenedArchive opened(archive);
    minizip::Unzipper& unzipper = opened.unzipper;
    ASSERT_EQ(unzipper.getEntries().size(), 2u);
    EXPECT_GE(unzipper.getEntries()[0].uncompressedSize, 0xFFFFFFFFu);
    // Older minizip reports the size of a ZIP64 entry as 0xFFFFFFFF, newer the
    // real one: the refusal says what the library reports.
    const std::string declared = std::to_string(unzipper.getEntries()[0].uncompressedSize);
    Bytes out;
    EXPECT_EQ(messageOf([&] { unzipper.extractEntryToMemory("huge", out); }),
              "File 'huge' inside '" + archive + "' would inflate to " + declared +
                  " bytes, but only 67108864 more are allowed: the entries of an archive "
                  "may inflate to at most 67108864 bytes in all, and to at most 256 times the archive's size.");
    unzipper.extractEntryToMemory("after", out);
    EXPECT_EQ(out, (Bytes{'t', 'a', 'i', 'l'}));
}

TEST(ZipTime, DosTimePacksFieldsAndRefusesOutOfRange) {
    struct Case {
        int year, month, day, hour, minute, second;
        uint32_t expected;
    } cases[] = {
        {1980, 1, 1, 0, 0, 0, 0x00210000},
        {2107, 12, 31, 23, 59, 58, 0xFF9FBF7D},
        {2020, 5, 17, 13, 45, 31, 0x50B16DAF},
        {1979, 12, 31, 23, 59, 58, 0},
        {2108, 1, 1, 0, 0, 0, 0},
        {2000, 0, 1, 0, 0, 0, 0},
        {2000, 13, 1, 0, 0, 0, 0},
        {2000, 1, 0, 0, 0, 0, 0},
        {2000, 1, 32, 0, 0, 0, 0},
        {2000, 1, 1, 24, 0, 0, 0},
        {2000, 1, 1, 0, 60, 0, 0},
        {2000, 1, 1, 0, 0, 60, 0},
        {2000, 1, 1, -1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(minizip::dostime(c.year, c.month, c.day, c.hour, c.minute, c.second), c.expected)
            << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":" << c.second;
    }
}

TEST(ZipTime, DosTimeOfOutOfRangeFieldsIsNoCalendarTime) {
    const uint32_t valid = minizip::dostime(2020, 5, 17, 13, 45, 30);
    ASSERT_NE(minizip::dos2unixtime(valid), -1);
    const uint32_t broken[] = {
        valid & ~(0xFu << 21),                   // month 0
        (valid & ~(0xFu << 21)) | (13u << 21),   // month 13
        valid & ~(0x1Fu << 16),                  // day 0
        (valid & ~(0x1Fu << 11)) | (24u << 11),  // hour 24
        (valid & ~(0x3Fu << 5)) | (60u << 5),    // minute 60
        (valid & ~0x1Fu) | 30u,                  // second 60
    };
    for (uint32_t dos : broken) EXPECT_EQ(minizip::dos2unixtime(dos), -1) << std::hex << dos;
}

TEST(ZipTime, LocalTimesSurviveTheDosFormat) {
    const int times[][6] = {
        {1980, 1, 1, 0, 0, 0}, {2021, 3, 14, 12, 34, 56}, {2024, 2, 29, 23, 59, 58}, {2107, 12, 31, 23, 59, 58}};
    for (const auto& f : times) {
        std::tm local{};
        local.tm_year = f[0] - 1900;
        local.tm_mon = f[1] - 1;
        local.tm_mday = f[2];
        local.tm_hour = f[3];
        local.tm_min = f[4];
        local.tm_sec = f[5];
        local.tm_isdst = -1;
        const std::time_t t = std::mktime(&local);
        const uint32_t dos = minizip::dostime(f[0], f[1], f[2], f[3], f[4], f[5]);
        EXPECT_EQ(minizip::unix2dostime(t), dos) << f[0];
        EXPECT_EQ(minizip::dos2unixtime(dos), t) << f[0];
        // An odd second rounds up, never down.
        EXPECT_EQ(minizip::dos2unixtime(minizip::unix2dostime(t - 1)), t) << f[0];
    }
    EXPECT_EQ(minizip::unix2dostime(0), 0u);  // 1970 is before the DOS epoch
}

}  // namespace
