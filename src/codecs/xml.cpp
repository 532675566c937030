#include "codecs/xml.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace xml {
namespace {

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using Parser = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserFree>;

// XML_Parse takes an int length, so a document goes in in pieces.
constexpr size_t kPiece = size_t{1} << 20;

// Where the parser stands. expat 2.9 has 64-bit getters and deprecates the
// older ones, which earlier versions alone have.
#if XML_MAJOR_VERSION > 2 || (XML_MAJOR_VERSION == 2 && XML_MINOR_VERSION >= 9)
uint64_t lineOf(XML_Parser parser) { return XML_GetCurrentLineNumber64(parser); }
uint64_t columnOf(XML_Parser parser) { return XML_GetCurrentColumnNumber64(parser); }
#else
uint64_t lineOf(XML_Parser parser) { return XML_GetCurrentLineNumber(parser); }
uint64_t columnOf(XML_Parser parser) { return XML_GetCurrentColumnNumber(parser); }
#endif

}  // namespace

void checkWellFormed(ByteView document) {
    const Parser parser(XML_ParserCreate(nullptr));
    if (!parser) throw xml_exception(N_("The XML parser could not be created: out of memory."));
    size_t at = 0;
    // An empty document is parsed too: expat reports that it has no element.
    do {
        const size_t length = std::min(kPiece, document.size() - at);
        const bool last = at + length == document.size();
        const auto* piece = reinterpret_cast<const char*>(document.data() + at);
        if (XML_Parse(parser.get(), piece, static_cast<int>(length), last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
            // expat counts columns from 0, editors from 1.
            throw xml_exception(N_("Line %s, column %s: %s."),
                                {lineOf(parser.get()), columnOf(parser.get()) + 1,
                                 std::string(XML_ErrorString(XML_GetErrorCode(parser.get())))});
        }
        at += length;
    } while (at < document.size());
}

bool isWellFormed(ByteView document) {
    try {
        checkWellFormed(document);
        return true;
    } catch (const xml_exception&) {
        return false;
    }
}

}  // namespace xml
