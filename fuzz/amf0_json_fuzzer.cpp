// The AMF0 writer on the JSON documents a user imports. It may refuse the
// text with the JSON library's exceptions (not JSON at all) or swf_exception
// (JSON that AMF0 cannot hold). What it writes must read back, and from
// there on the document must be stable: written again and read again, it is
// the same, and its printed form writes the same bytes.

#include <string_view>

#include "amf/amf0.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ByteBuffer written;
    try {
        written = swf::AMF0::fromJSON(text);
    } catch (const swf::swf_exception&) {
        return 0;
    } catch (const swf::JsonDocument::exception&) {
        return 0;
    }

    const swf::AMF0 read(written);
    const ByteBuffer rewritten = swf::AMF0::fromDocument(read.json);
    fuzz::require(swf::AMF0(rewritten).json == read.json, "a document read from written bytes is stable");
    const std::string printed = read.json.dump(4, ' ', false, swf::JsonDocument::error_handler_t::strict);
    fuzz::require(swf::AMF0::fromJSON(printed) == rewritten, "a printed document writes the bytes it was read from");
    return 0;
}
