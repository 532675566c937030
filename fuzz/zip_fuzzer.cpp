// The zip reader on an archive a user imports. Unzipper opens a path, so each
// input is written to a file in a directory of this process's own (made in
// TMPDIR, else /dev/shm or /tmp, and removed at exit). Opening, listing and
// extracting may fail with minizip_exception. An entry whose name is unique
// in the archive must extract to exactly the size its header declares.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/minizip.h"
#include "fuzz_check.h"

namespace {

std::string g_directory;
std::string g_archive;

std::string temporaryBase() {
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') return tmp;
    if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return "/tmp";
}

void removeDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(g_directory, ignored);
}

void writeArchive(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(g_archive.c_str(), "wb");
    fuzz::require(file != nullptr, "the archive file can be created");
    const size_t written = size == 0 ? 0 : std::fwrite(data, 1, size, file);
    fuzz::require(std::fclose(file) == 0 && written == size, "the archive file can be written");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = temporaryBase() + "/vlf-zip-fuzz-XXXXXX";
    fuzz::require(mkdtemp(pattern.data()) != nullptr, "a temporary directory can be made");
    g_directory = pattern;
    g_archive = g_directory + "/input.zip";
    std::atexit(removeDirectory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeArchive(data, size);
    try {
        minizip::Unzipper unzipper(g_archive);
        const std::vector<minizip::ZipEntry> entries = unzipper.getEntries();
        std::map<std::string, int> uses;
        for (const auto& entry : entries) ++uses[entry.name];
        for (const auto& entry : entries) {
            std::vector<uint8_t> bytes;
            try {
                unzipper.extractEntryToMemory(entry.name, bytes);
            } catch (const minizip::minizip_exception&) {
                continue;  // the next entry may still extract
            }
            if (uses[entry.name] == 1) {
                fuzz::require(bytes.size() == entry.uncompressedSize, "an entry extracts to its declared size");
            }
        }
    } catch (const minizip::minizip_exception&) {
    }
    return 0;
}
