// The export walk of a data file, in memory. The first byte chooses what the
// rest is: with its low bit clear, a DefineBinaryData body (an AMF3 value
// around a zlib stream), inflated first; with it set, the inflated content
// itself, so that the walk is reached without a valid zlib stream. The walk
// may refuse the bytes with swf_exception or zlib_exception, and with the
// JSON library's type error for a string that is not UTF-8.
//
// The entries of a gdat, Spt or Bg file, imported back as they were exported,
// must build a data file whose walk gives the same entries. A limbInfo file
// is not checked so: its import reads flags of its own from the documents.
// Neither is content that holds the marker names of the JSON form, which
// objects using them as member names make ambiguous (see amf0_fuzzer.cpp).

#include <optional>
#include <string>
#include <vector>

#include "amf/amf0.h"
#include "codecs/zlib.h"
#include "data/data_file.h"
#include "data_entries.h"
#include "fuzz_check.h"

namespace {

using fuzz::Entries;

std::optional<ByteBuffer> contentOf(const uint8_t* data, size_t size) {
    const ByteView rest(data + 1, size - 1);
    if ((data[0] & 1) != 0) return ByteBuffer(rest.begin(), rest.end());
    try {
        return data::inflateDataFile(rest);
    } catch (const swf::swf_exception&) {
    } catch (const zlib::zlib_exception&) {
    }
    return std::nullopt;
}

std::optional<Entries> walk(ByteView content) {
    Entries entries;
    try {
        data::walkDataFile(
            content, [&](const std::string& name, const ByteBuffer& bytes) { entries.emplace_back(name, bytes); });
    } catch (const swf::swf_exception&) {
        return std::nullopt;
    } catch (const swf::JsonDocument::type_error&) {
        return std::nullopt;
    }
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::optional<ByteBuffer> content = contentOf(data, size);
    if (!content) return 0;

    std::optional<data::DataKind> kind;
    try {
        kind = data::readDataKind(*content);
    } catch (const swf::swf_exception&) {
        return 0;
    }
    const std::optional<Entries> entries = walk(*content);
    if (!entries) return 0;
    fuzz::require(kind.has_value(), "only a known kind of data file is walked");
    if (*kind == data::DataKind::LimbInfo || fuzz::holdsAmf0MarkerName(*content)) return 0;

    const std::optional<ByteBuffer> rebuilt =
        data::inflateDataFile(data::wrapDataContent(fuzz::contentOf(*kind, *entries)));
    fuzz::require(rebuilt.has_value(), "a rebuilt data file holds a ByteArray");
    fuzz::require(data::readDataKind(*rebuilt) == kind, "a rebuilt data file keeps its kind");
    const std::optional<Entries> again = walk(*rebuilt);
    fuzz::require(again == entries, "exported entries imported unchanged export the same entries");
    return 0;
}
