// The zip reader on an archive a user imports, read from memory. Opening,
// listing and extracting may fail with minizip_exception. An entry whose
// name is unique in the archive must extract to exactly the size its header
// declares, and all that is extracted stays within the archive's limit.

#include <map>
#include <string>
#include <vector>

#include "codecs/minizip.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        minizip::Unzipper unzipper("input.zip", ByteView(data, size));
        const std::vector<minizip::ZipEntry> entries = unzipper.getEntries();
        std::map<std::string, int> uses;
        for (const auto& entry : entries) ++uses[entry.name];
        uint64_t extracted = 0;
        for (const auto& entry : entries) {
            std::vector<uint8_t> bytes;
            try {
                unzipper.extractEntryToMemory(entry.name, bytes);
            } catch (const minizip::minizip_exception&) {
                continue;  // the next entry may still extract
            }
            extracted += bytes.size();
            if (uses[entry.name] == 1) {
                fuzz::require(bytes.size() == entry.uncompressedSize, "an entry extracts to its declared size");
            }
        }
        fuzz::require(extracted <= unzipper.contentLimit(), "an archive inflates to no more than its limit");
    } catch (const minizip::minizip_exception&) {
    }
    return 0;
}
