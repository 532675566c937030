// Writes the seed files that are made with the program's own writers and the
// test builders: movies in every form, AMF3 and AMF0 values, JSON documents,
// data files, their archives and folders as the data exports write them,
// lists of entries for the data archive target and trees of entries for
// the folder scan target. Usage:
//   fuzz_seed_writer CORPUS_DIR
// Each file goes to CORPUS_DIR/<target>/<name>; fuzz/make_corpus.sh adds the
// MP3, PNG and zip files made with outside tools.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "codecs/minizip.h"
#include "data/data_samples.h"
#include "swf/movie_builder.h"
#include "swf/swf.h"

namespace {

std::filesystem::path g_corpus;

void write(const std::string& target, const std::string& name, const ByteBuffer& bytes) {
    const std::filesystem::path directory = g_corpus / target;
    std::filesystem::create_directories(directory);
    std::ofstream out(directory / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (directory / name).string());
}

ByteBuffer textBytes(const std::string& text) { return ByteBuffer(text.begin(), text.end()); }

ByteBuffer byteArray(const ByteBuffer& payload) {
    ByteBuffer out{0x0C};
    appendBytes(out, swf::AMF3::Uint29BAToVec(payload.size()));
    appendBytes(out, payload);
    return out;
}

void writeMovies() {
    using namespace testmovie;
    const ByteBuffer fws = sampleMovie();
    const swf::SWF loaded(fws);
    const ByteBuffer cws = loaded.exportSwf(swf::Compression::Zlib);
    write("swf_load", "sample.swf", fws);
    write("swf_load", "sample_v5.swf", sampleMovie(5));
    write("swf_load", "sample_zlib.swf", cws);
    write("swf_load", "sample_lzma.swf", loaded.exportSwf(swf::Compression::Lzma));
    write("swf_load", "projector_pe.exe", peProjector(fakePePlayer(96), fws));
    write("swf_load", "projector_elf", elfProjector(fakeElfPlayer(16), cws));
}

void writeAmf() {
    write("amf3", "null.amf3", {0x01});
    write("amf3", "short.amf3", byteArray(textBytes("abc")));
    write("amf3", "two_byte_length.amf3", byteArray(ByteBuffer(100, 0x5A)));
    ByteBuffer trailing = byteArray(textBytes("payload"));
    appendBytes(trailing, textBytes("after"));
    write("amf3", "trailing_bytes.amf3", trailing);

    for (size_t i = 0; i < datasamples::kDocuments.size(); ++i) {
        const std::string& document = datasamples::kDocuments[i];
        write("amf0", "document" + std::to_string(i) + ".amf0", datasamples::object(document));
        write("amf0_json", "document" + std::to_string(i) + ".json", textBytes(document));
    }
    write("amf0", "limb_picture.amf0", datasamples::object(datasamples::limbPictureText(false, true)));
    const swf::AMF0 read(datasamples::object(datasamples::kDocuments[1]));
    write("amf0_json", "printed.json", textBytes(read.json.dump(4)));
}

void writeDataFiles() {
    for (const auto& sample : datasamples::samples()) {
        std::string name = sample.name;
        for (char& c : name) c = c == ' ' ? '_' : c;
        ByteBuffer body{0x00};
        appendBytes(body, datasamples::wrapped(sample.content));
        write("data_file", name + "_body", body);
        ByteBuffer content{0x01};
        appendBytes(content, sample.content);
        write("data_file", name + "_content", content);
    }
    write("data_file", "null_body", {0x00, 0x01});
}

// The first byte of a data_archive seed: the kind (as that target numbers
// them), and bit 2 for a list of entries rather than a zip archive.
uint8_t archiveSeedByte(data::DataKind kind, bool list) {
    uint8_t number = 0;
    switch (kind) {
        case data::DataKind::LimbInfo:
            number = 0;
            break;
        case data::DataKind::Spt:
            number = 1;
            break;
        case data::DataKind::Bg:
            number = 2;
            break;
        case data::DataKind::Gdat:
            number = 3;
            break;
    }
    return static_cast<uint8_t>(number | (list ? 4 : 0));
}

// Each sample's archive as the export writes it, and lists of entries whose
// names stand for one attack twice.
void writeDataArchives() {
    for (const auto& sample : datasamples::samples()) {
        ByteBuffer archive{archiveSeedByte(sample.kind, false)};
        ByteBuffer zip;
        minizip::Zipper zipper("seed.zip", "Created with Vorlune Forge.", zip);
        data::walkDataFile(sample.content,
                           [&](const std::string& name, const ByteBuffer& bytes) { zipper.add(name, "", 9, bytes); });
        zipper.close();
        appendBytes(archive, zip);
        std::string name = sample.name;
        for (char& c : name) c = c == ' ' ? '_' : c;
        write("data_archive", name + ".zip", archive);
    }
    const std::string attack = datasamples::kDocuments[0];
    const std::pair<const char*, std::vector<std::string>> lists[] = {
        {"twice", {"Attack_0.json", attack, "Attack_0.json", attack}},
        {"two_names", {"Attack_0.json", attack, "Attack_00.json", attack, "PtWithName_0.json", attack}},
    };
    for (const auto& [name, fields] : lists) {
        ByteBuffer seed{archiveSeedByte(data::DataKind::Gdat, true)};
        for (const std::string& field : fields) {
            appendBytes(seed, textBytes(field));
            seed.push_back(0);
        }
        write("data_archive", std::string(name) + "_list", seed);
    }
}

// A record of a data_folder seed: a file of the name and content.
void appendFileRecord(ByteBuffer& seed, const std::string& name, const ByteBuffer& content, uint8_t kind = 0) {
    seed.push_back(kind);
    appendBytes(seed, textBytes(name));
    seed.push_back(0);
    appendU16le(seed, static_cast<uint16_t>(content.size()));
    appendBytes(seed, content);
}

// Each sample's entries as the folder Export all writes for it, and folders
// that the read or the build refuses: an entry in a folder inside, a link.
void writeDataFolders() {
    for (const auto& sample : datasamples::samples()) {
        ByteBuffer seed{archiveSeedByte(sample.kind, false)};
        data::walkDataFile(sample.content,
                           [&](const std::string& name, const ByteBuffer& bytes) { appendFileRecord(seed, name, bytes); });
        std::string name = sample.name;
        for (char& c : name) c = c == ' ' ? '_' : c;
        write("data_folder", name, seed);
    }
    const ByteBuffer attack = textBytes(datasamples::kDocuments[0]);
    ByteBuffer inside{archiveSeedByte(data::DataKind::Gdat, false)};
    appendFileRecord(inside, "Attack_0.json", attack);
    appendFileRecord(inside, ".hidden", textBytes("not read"));
    appendFileRecord(inside, "more/Attack_1.json", attack);
    write("data_folder", "folder_inside", inside);
    ByteBuffer linked{archiveSeedByte(data::DataKind::Gdat, false)};
    appendFileRecord(linked, "Attack_0.json", attack);
    appendFileRecord(linked, "Attack_1.json", textBytes("Attack_0.json"), 2);
    appendFileRecord(linked, "empty", {}, 3);
    write("data_folder", "link", linked);
}

// The records of a mod_folder seed: an entry of the kind (0 a file, 1 a
// folder, 2 a link to an entry made before, 3 a link by a relative path, 4
// a link outside, 5 a named pipe, 6 a link to nowhere), `choice` picking
// what a file holds or a link leads to, in the folder numbered `parent` (0
// the folder itself, then those made, in order).
struct ScanEntry {
    uint8_t kind;
    uint8_t choice;
    uint8_t parent;
    std::string name;
};

void writeFolderScan(const std::string& name, const std::vector<ScanEntry>& entries) {
    ByteBuffer seed;
    for (const ScanEntry& entry : entries) {
        seed.push_back(static_cast<uint8_t>(entry.kind | entry.choice << 3));
        seed.push_back(entry.parent);
        appendBytes(seed, textBytes(entry.name));
        seed.push_back(0);
    }
    write("mod_folder", name, seed);
}

// A folder as Export all writes it, one of links of every kind, one of
// names that claim nothing, claim twice or hold control characters, and a
// data file's folder that holds no regular file.
void writeFolderScans() {
    writeFolderScan("export", {{1, 0, 0, "stages"},
                               {1, 0, 0, "sounds"},
                               {1, 0, 0, "images"},
                               {1, 0, 0, "data"},
                               {0, 1, 1, "234 - StageMeadow.xml"},
                               {0, 0, 1, "398.xml"},
                               {0, 2, 2, "7 - Theme.mp3"},
                               {0, 2, 2, "11 - Click.wav"},
                               {0, 0, 3, "9 - Tree.png"},
                               {1, 0, 4, "136 - ItemTable"},
                               {0, 3, 5, "Spt.json"},
                               {0, 0, 0, "mod.json"}});
    writeFolderScan("links", {{0, 1, 0, "234.xml"},
                              {1, 0, 0, "sub"},
                              {2, 0, 1, "398.xml"},
                              {2, 1, 0, "folder link"},
                              {3, 0, 1, "up"},
                              {3, 2, 0, "9.png"},
                              {3, 3, 0, "600 - x.png"},
                              {4, 0, 1, "8.png"},
                              {4, 1, 0, "136 - Out"},
                              {4, 3, 0, "7.mp3"},
                              {5, 0, 0, "11.wav"},
                              {6, 0, 1, "234 - gone.xml"}});
    writeFolderScan("names", {{0, 0, 0, ".hidden.png"},
                              {1, 0, 0, ".git"},
                              {0, 1, 1, "234.xml"},
                              {0, 1, 0, "\x1b[31m234.xml"},
                              {0, 0, 0, "\x01\x7f.png"},
                              {0, 1, 0, "234.XML"},
                              {0, 1, 0, "234 - copy.xml"},
                              {0, 0, 0, "8.tif"},
                              {0, 0, 0, "999.png"},
                              {0, 0, 0, "\xff\xfe.png"},
                              {1, 0, 0, "136"},
                              {1, 0, 0, "600 - x.png"}});
    writeFolderScan("data_folder", {{1, 0, 0, "136 - ItemTable"},
                                    {5, 0, 1, "Spt.json"},
                                    {6, 0, 1, "Attack_0.json"},
                                    {4, 0, 1, "0.png"},
                                    {1, 0, 1, "inner"},
                                    {0, 0, 2, "Attack_1.json"}});
}

void writeExportedArchive() {
    const std::filesystem::path path = g_corpus / "zip" / "exported.zip";
    std::filesystem::create_directories(path.parent_path());
    minizip::Zipper zipper(path.string(), "Vorlune data");
    zipper.add("LimbPic_0.json", "", 9, datasamples::limbPictureText(false, true));
    zipper.add("0.png", "picture", 9, datasamples::kPng);
    zipper.close();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    g_corpus = argv[1];
    writeMovies();
    writeAmf();
    writeDataFiles();
    writeDataArchives();
    writeDataFolders();
    writeFolderScans();
    writeExportedArchive();
    return 0;
}
