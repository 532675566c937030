// The AMF0 reader on the objects of a data file. It may refuse the bytes
// with swf_exception. A document it accepts is printed as the export prints
// it; printing refuses strings that are not UTF-8 with the JSON library's
// type error. A printed document, written back as AMF0 and read again, must
// give the same document: what a user exports and imports unchanged stays
// unchanged.
//
// The JSON form marks class names and array counts with member names of its
// own; an object whose members bear those names cannot be told apart from
// the markers, so inputs that hold the names are not checked for the round
// trip.

#include <optional>
#include <string>

#include "amf/amf0.h"
#include "fuzz_check.h"

namespace {

std::optional<swf::JsonDocument> read(ByteView bytes) {
    try {
        return swf::AMF0(bytes).json;
    } catch (const swf::swf_exception&) {
        return std::nullopt;
    }
}

std::optional<std::string> print(const swf::JsonDocument& document) {
    try {
        return document.dump(4, ' ', false, swf::JsonDocument::error_handler_t::strict);
    } catch (const swf::JsonDocument::type_error&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteView input(data, size);
    const std::optional<swf::JsonDocument> document = read(input);
    if (!document || fuzz::holdsAmf0MarkerName(input)) return 0;
    const std::optional<std::string> text = print(*document);
    if (!text) return 0;

    const ByteBuffer written = swf::AMF0::fromJSON(*text);
    const std::optional<swf::JsonDocument> again = read(written);
    fuzz::require(again.has_value(), "what the writer writes, the reader reads");
    fuzz::require(*again == *document, "a document printed, written back and read again is unchanged");
    return 0;
}
