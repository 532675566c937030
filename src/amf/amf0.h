#pragma once
// One AMF0 top-level typed object and its JSON form, in both directions.
//
// The JSON form is an object with one member, named after the top-level
// class and holding the top-level members. AMF0 facts that JSON cannot
// express are kept under marker names:
//   - a typed object starts with "VLF_classNameXXX": its class name;
//   - an ECMA array starts with "VLF_ArrayLenXXX": its declared count;
//   - undefined is the string "VLF_undefinedXXX";
//   - NaN and the infinities are arrays of their 8 stored bytes.
// An anonymous object without members reads as null.
//
// Reading (amf0_reader.cpp) and writing (amf0_writer.cpp) mirror each other:
// bytes read, printed and written back give the same bytes, except that an
// empty anonymous object comes back as null, a boolean byte other than 0 or
// 1 comes back as 1, bytes after the top-level object are dropped and a
// member name repeated within one object survives once.

#include <cstddef>
#include <string_view>

#include "amf/json_document.h"
#include "util/bytes.h"

namespace swf {

class AMF0 {
public:
    // Reads the top-level typed object at the front of `bytes`; what follows
    // its object end is ignored.
    explicit AMF0(ByteView bytes);

    JsonDocument json;

    // The AMF0 bytes of the document in `text` (a JSON object whose first
    // member is named after the top-level class). Invalid JSON fails with the
    // library's parse error, anything JSON can hold but AMF0 cannot with
    // swf_exception.
    static ByteBuffer fromJSON(std::string_view text);
    // The same for a document already parsed.
    static ByteBuffer fromDocument(const JsonDocument& document);
    // Parses JSON text into a document that keeps its members' order, in
    // time linear in its size (the library's own parser looks every new key
    // up one by one).
    static JsonDocument parseDocument(std::string_view text);
    // Appends a 16-bit big-endian length and the bytes of `text`.
    static void writeStringWithLenPrefixU16(ByteBuffer& out, std::string_view text);

    // Objects nested deeper than this below the top-level object are refused
    // in both directions, so that neither recursion can exhaust the stack.
    static constexpr unsigned kMaxNesting = 1000;
    // The most values a JSON document is read with.
    static constexpr size_t kMaxValues = 2000000;
};

// Marker names and AMF0 markers shared by the reader and the writer.
namespace amf0 {

inline constexpr const char* kClassNameKey = "VLF_classNameXXX";
inline constexpr const char* kArrayLenKey = "VLF_ArrayLenXXX";
inline constexpr const char* kUndefinedValue = "VLF_undefinedXXX";

enum Marker : uint8_t {
    kNumber = 0x00,
    kBoolean = 0x01,
    kString = 0x02,
    kObject = 0x03,
    kNull = 0x05,
    kUndefined = 0x06,
    kEcmaArray = 0x08,
    kObjectEnd = 0x09,
    kTypedObject = 0x10,
};

}  // namespace amf0

}  // namespace swf
