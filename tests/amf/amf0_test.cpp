// The AMF0 <-> JSON mapping, checked on byte fixtures in both directions.

#include "amf/amf0.h"

#include <gtest/gtest.h>

#include "amf_test_support.h"

using amftest::bytes;
using amftest::outcomeOf;
using swf::AMF0;

namespace {

std::string readCompact(const ByteBuffer& data) { return AMF0(data).json.dump(); }

// The way a document travels: read, printed for the user, written back.
ByteBuffer throughPrintedJson(const ByteBuffer& data) { return AMF0::fromJSON(AMF0(data).json.dump(4)); }

struct Fixture {
    const char* name;
    const char* data;
    const char* json;  // as dump() prints it
};

// Bytes and documents that map onto each other exactly.
const Fixture kBothWays[] = {
    {"number", "10 0001 'A' 0001 'a' 00 3FF0000000000000 0000 09", R"({"A":{"a":1.0}})"},
    {"no members", "10 0001 'A' 0000 09", R"({"A":null})"},
    {"booleans", "10 0001 'A' 0001 'x' 01 01 0001 'y' 01 00 0000 09", R"({"A":{"x":true,"y":false}})"},
    {"non-ASCII text", "10 0001 'A' 0002 C3BC 02 0005 C3A9E282AC 0000 09",
     "{\"A\":{\"\xC3\xBC\":\"\xC3\xA9\xE2\x82\xAC\"}}"},
    {"null and undefined", "10 0001 'A' 0001 'n' 05 0001 'u' 06 0000 09", R"({"A":{"n":null,"u":"VLF_undefinedXXX"}})"},
    {"non-finite numbers",
     "10 0001 'A' 0001 'n' 00 7FF8000000000000 0001 'm' 00 FFF0000000000000 0001 'p' 00 7FF0000000000000 0000 09",
     R"({"A":{"n":[127,248,0,0,0,0,0,0],"m":[255,240,0,0,0,0,0,0],"p":[127,240,0,0,0,0,0,0]}})"},
    {"extreme finite numbers",
     "10 0001 'A' 0001 'z' 00 8000000000000000 0001 'M' 00 7FEFFFFFFFFFFFFF 0001 'd' 00 3FD3333333333334 "
     "0001 't' 00 0000000000000001 0000 09",
     R"({"A":{"z":-0.0,"M":1.7976931348623157e+308,"d":0.30000000000000004,"t":5e-324}})"},
    {"typed objects",
     "10 0001 'A' 0001 'b' 10 0001 'B' 0001 'c' 00 4000000000000000 0000 09 0001 'e' 10 0001 'E' 0000 09 0000 09",
     R"({"A":{"b":{"VLF_classNameXXX":"B","c":2.0},"e":{"VLF_classNameXXX":"E"}}})"},
    {"anonymous object", "10 0001 'A' 0001 'o' 03 0001 'k' 01 01 0000 09 0000 09", R"({"A":{"o":{"k":true}}})"},
    {"ECMA array", "10 0001 'A' 0001 'l' 08 00000002 0001 '0' 02 0001 'a' 0001 '1' 02 0001 'b' 0000 09 0000 09",
     R"({"A":{"l":{"VLF_ArrayLenXXX":2,"0":"a","1":"b"}}})"},
    {"ECMA count unlike its members", "10 0001 'A' 0001 'l' 08 00000005 0001 '0' 05 0000 09 0000 09",
     R"({"A":{"l":{"VLF_ArrayLenXXX":5,"0":null}}})"},
    {"member order", "10 0001 'A' 0001 'z' 05 0001 'a' 05 0001 'm' 05 0000 09",
     R"({"A":{"z":null,"a":null,"m":null}})"},
    {"marker names are plain members at the top", "10 0001 'A' 0010 'VLF_classNameXXX' 02 0001 'C' 0000 09",
     R"({"A":{"VLF_classNameXXX":"C"}})"},
};

TEST(AmfZeroMapping, ReadsFixtures) {
    for (const auto& f : kBothWays) EXPECT_EQ(readCompact(bytes(f.data)), f.json) << f.name;
}

TEST(AmfZeroMapping, WritesFixtures) {
    for (const auto& f : kBothWays) EXPECT_EQ(AMF0::fromJSON(f.json), bytes(f.data)) << f.name;
}

TEST(AmfZeroMapping, FixturesSurviveThePrintedDocument) {
    for (const auto& f : kBothWays) EXPECT_EQ(throughPrintedJson(bytes(f.data)), bytes(f.data)) << f.name;
}

TEST(AmfZeroMapping, PrintsWholeNumbersAsFloating) {
    EXPECT_EQ(AMF0(bytes("10 0001 'A' 0001 'a' 00 3FF0000000000000 0000 09")).json.dump(4),
              "{\n    \"A\": {\n        \"a\": 1.0\n    }\n}");
}

struct ReadOnly {
    const char* name;
    const char* data;
    const char* json;
    const char* rewritten;  // what the document writes back
};

// Readings that do not map back to the same bytes.
const ReadOnly kReadOnly[] = {
    {"empty anonymous object", "10 0001 'A' 0001 'o' 03 0000 09 0000 09", R"({"A":{"o":null}})",
     "10 0001 'A' 0001 'o' 05 0000 09"},
    {"boolean byte 02", "10 0001 'A' 0001 'x' 01 02 0000 09", R"({"A":{"x":true}})",
     "10 0001 'A' 0001 'x' 01 01 0000 09"},
    {"bytes after the object", "10 0001 'A' 0000 09 FF FF", R"({"A":null})", "10 0001 'A' 0000 09"},
    {"name without a value", "10 0001 'A' 0001 'a' 05 0001 'b'", R"({"A":{"a":null}})",
     "10 0001 'A' 0001 'a' 05 0000 09"},
    {"objects ended by the end of data", "10 0001 'A' 0001 'o' 03 0001 'p' 05", R"({"A":{"o":{"p":null}}})",
     "10 0001 'A' 0001 'o' 03 0001 'p' 05 0000 09 0000 09"},
    {"repeated plain member", "10 0001 'A' 0001 'a' 01 01 0001 'b' 05 0001 'a' 01 00 0000 09",
     R"({"A":{"a":false,"b":null}})", "10 0001 'A' 0001 'a' 01 00 0001 'b' 05 0000 09"},
    {"repeated typed object",
     "10 0001 'A' 0001 'x' 10 0001 'C' 0001 'p' 05 0000 09 0001 'x' 10 0001 'D' 0001 'q' 05 0000 09 0000 09",
     R"({"A":{"x":{"VLF_classNameXXX":"C","p":null,"q":null}}})",
     "10 0001 'A' 0001 'x' 10 0001 'C' 0001 'p' 05 0001 'q' 05 0000 09 0000 09"},
    {"object after a null member", "10 0001 'A' 0001 'x' 05 0001 'x' 03 0001 'p' 05 0000 09 0000 09",
     R"({"A":{"x":{"p":null}}})", "10 0001 'A' 0001 'x' 03 0001 'p' 05 0000 09 0000 09"},
    {"empty object after a plain member", "10 0001 'A' 0001 'x' 01 01 0001 'x' 03 0000 09 0000 09",
     R"({"A":{"x":true}})", "10 0001 'A' 0001 'x' 01 01 0000 09"},
    // An ECMA array is no object to add to: merged into a typed object, it
    // would leave a class name and a count side by side, which no AMF0 value
    // can hold, and the class name would vanish on the way back.
    {"ECMA array after a typed object",
     "10 0001 'A' 0001 'x' 10 0001 'C' 0001 'p' 05 0000 09 0001 'x' 08 00000002 0001 'q' 05 0000 09 0000 09",
     R"({"A":{"x":{"VLF_ArrayLenXXX":2,"q":null}}})", "10 0001 'A' 0001 'x' 08 00000002 0001 'q' 05 0000 09 0000 09"},
    {"ECMA array after an ECMA array",
     "10 0001 'A' 0001 'x' 08 00000001 0001 'p' 05 0000 09 0001 'x' 08 00000003 0001 'q' 05 0000 09 0000 09",
     R"({"A":{"x":{"VLF_ArrayLenXXX":3,"q":null}}})", "10 0001 'A' 0001 'x' 08 00000003 0001 'q' 05 0000 09 0000 09"},
    {"ECMA array after a plain member", "10 0001 'A' 0001 'x' 01 01 0001 'x' 08 00000001 0000 09 0000 09",
     R"({"A":{"x":{"VLF_ArrayLenXXX":1}}})", "10 0001 'A' 0001 'x' 08 00000001 0000 09 0000 09"},
    {"typed object after an ECMA array",
     "10 0001 'A' 0001 'x' 08 00000001 0001 'p' 05 0000 09 0001 'x' 10 0001 'C' 0001 'q' 05 0000 09 0000 09",
     R"({"A":{"x":{"VLF_ArrayLenXXX":1,"p":null,"q":null}}})",
     "10 0001 'A' 0001 'x' 08 00000001 0001 'p' 05 0001 'q' 05 0000 09 0000 09"},
};

// A lossy reading loses its information once: the bytes it writes back read
// as the same document.
TEST(AmfZeroMapping, ReadsLossyFixtures) {
    for (const auto& f : kReadOnly) {
        EXPECT_EQ(readCompact(bytes(f.data)), f.json) << f.name;
        EXPECT_EQ(throughPrintedJson(bytes(f.data)), bytes(f.rewritten)) << f.name;
        EXPECT_EQ(readCompact(bytes(f.rewritten)), f.json) << f.name;
    }
}

struct WriteOnly {
    const char* name;
    const char* json;
    const char* data;
};

// Documents a reading never produces, and how they are written.
const WriteOnly kWriteOnly[] = {
    {"integers", R"({"A":{"i":5,"u":18446744073709551615,"n":-2}})",
     "10 0001 'A' 0001 'i' 00 4014000000000000 0001 'u' 00 43F0000000000000 0001 'n' 00 C000000000000000 0000 09"},
    {"class name that is not a string", R"({"A":{"o":{"VLF_classNameXXX":5,"k":null}}})",
     "10 0001 'A' 0001 'o' 03 0001 'k' 05 0000 09 0000 09"},
    {"count and class name", R"({"A":{"o":{"VLF_classNameXXX":"C","VLF_ArrayLenXXX":1,"k":null}}})",
     "10 0001 'A' 0001 'o' 08 00000001 0001 'k' 05 0000 09 0000 09"},
    {"floating and negative counts", R"({"A":{"f":{"VLF_ArrayLenXXX":2.9},"g":{"VLF_ArrayLenXXX":-1}}})",
     "10 0001 'A' 0001 'f' 08 00000002 0000 09 0001 'g' 08 FFFFFFFF 0000 09 0000 09"},
    {"count that is not a number", R"({"A":{"o":{"VLF_ArrayLenXXX":"2"}}})", "10 0001 'A' 0001 'o' 03 0000 09 0000 09"},
    {"empty object", R"({"A":{"o":{}}})", "10 0001 'A' 0001 'o' 03 0000 09 0000 09"},
    {"bytes of every kind", R"({"A":{"n":[true,300,-1,2.9,-1.5,false,0,256.0]}})",
     "10 0001 'A' 0001 'n' 00 01 2C FF 02 FF 00 00 00 0000 09"},
    {"array as the top-level members", R"({"A":[true,null]})", "10 0001 'A' 0001 '0' 01 01 0001 '1' 05 0000 09"},
    {"members after the first", R"({"A":null,"B":{"x":1}})", "10 0001 'A' 0000 09"},
    {"repeated key", R"({"A":{"a":1,"b":null,"a":true}})", "10 0001 'A' 0001 'a' 01 01 0001 'b' 05 0000 09"},
};

TEST(AmfZeroMapping, WritesDocumentsNotReadFromData) {
    for (const auto& f : kWriteOnly) EXPECT_EQ(AMF0::fromJSON(f.json), bytes(f.data)) << f.name;
}

struct Refusal {
    const char* data;
    const char* outcome;
};

TEST(AmfZeroErrors, RefusesDataItCannotRead) {
    const Refusal cases[] = {
        {"", "swf: Sorry, only serialization of objects implemented."},
        {"03 0000 09", "swf: Sorry, only serialization of objects implemented."},
        {"10 0001 'A' 0001 's' 02 002C 'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' 0001 't' 0C 0000",
         "swf: Position: 57. Marker '0x0c' not valid or not implemented."},
        {"10 00", "swf: Invalid AMF data: the class name at offset 1 needs 2 bytes, 1 left."},
        {"10 0005 'AB'", "swf: Invalid AMF data: the class name at offset 3 needs 5 bytes, 2 left."},
        {"10 0001 'A' 05", "swf: Invalid AMF data: a member name at offset 4 needs 2 bytes, 1 left."},
        {"10 0001 'A' 0003 'ab'", "swf: Invalid AMF data: a member name at offset 6 needs 3 bytes, 2 left."},
        {"10 0001 'A' 0001 'a' 00 3FF0", "swf: Invalid AMF data: a number at offset 8 needs 8 bytes, 2 left."},
        {"10 0001 'A' 0001 'a' 01", "swf: Invalid AMF data: a boolean at offset 8 needs 1 bytes, 0 left."},
        {"10 0001 'A' 0001 'a' 02 0003 'ab'", "swf: Invalid AMF data: a string at offset 10 needs 3 bytes, 2 left."},
        {"10 0001 'A' 0001 'a' 08 0000",
         "swf: Invalid AMF data: an ECMA array count at offset 8 needs 4 bytes, 2 left."},
        {"10 0001 'A' 0001 'a' 10 0004 'C'", "swf: Invalid AMF data: a class name at offset 10 needs 4 bytes, 1 left."},
        {"10 0001 'A' 0001 'x' 01 01 0001 'x' 03 0001 'p' 05 0000 09 0000 09",
         "swf: Position: 16. The object 'x' repeats the name of an earlier member that is not an object."},
    };
    for (const auto& c : cases) EXPECT_EQ(outcomeOf([&] { AMF0{bytes(c.data)}; }), c.outcome) << c.data;
}

TEST(AmfZeroErrors, RefusesEveryMarkerOutsideTheMapping) {
    const std::string known = {0x00, 0x01, 0x02, 0x03, 0x05, 0x06, 0x08, 0x09, 0x10};
    for (int marker = 0; marker < 256; ++marker) {
        if (known.find(static_cast<char>(marker)) != std::string::npos) continue;
        ByteBuffer data = bytes("10 0001 'A' 0001 'a'");
        data.push_back(static_cast<uint8_t>(marker));
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", marker);
        EXPECT_EQ(outcomeOf([&] { AMF0{data}; }),
                  std::string("swf: Position: 7. Marker '0x") + hex + "' not valid or not implemented.");
    }
}

TEST(AmfZeroErrors, RefusesDocumentsItCannotWrite) {
    const std::string typeError302 = "type_error: [json.exception.type_error.302] type must be number, but is ";
    const struct {
        const char* json;
        std::string outcome;
    } cases[] = {
        {R"({"A":{"n":[1,2,3]}})", "swf: JSON Arrays only in use for non-finite numbers."},
        {R"({"A":{"o":{"n":[]}}})", "swf: JSON Arrays only in use for non-finite numbers."},
        {R"({"A":{"n":[1,2,3,4,5,6,7,"8"]}})", typeError302 + "string"},
        {R"({"A":{"n":[1,2,3,4,5,6,7,null]}})", typeError302 + "null"},
        {R"({"A":{"n":[1,2,3,4,5,6,7,[8]]}})", typeError302 + "array"},
        {"[1]", "swf: A data document must be a JSON object whose first member is named after its class."},
        {"5", "swf: A data document must be a JSON object whose first member is named after its class."},
        {"{}", "swf: A data document must be a JSON object whose first member is named after its class."},
        {R"({"A":5})", "swf: The members of 'A' must be given as a JSON object."},
        {R"({"A":"VLF_undefinedXXX"})", "swf: The members of 'A' must be given as a JSON object."},
        {R"({"A":)", "parse_error"},
        {R"({"A":null} x)", "parse_error"},
        {R"({"A":null,})", "parse_error"},
        {"", "parse_error"},
    };
    for (const auto& c : cases) EXPECT_EQ(outcomeOf([&] { AMF0::fromJSON(c.json); }), c.outcome) << c.json;
}

TEST(AmfZeroErrors, TextsLongerThanSixteenBitsAreRefused) {
    const std::string longest(65535, 'x');
    const std::string tooLong(65536, 'x');
    const std::string refusal = "swf: A text of 65536 bytes is too long for AMF0, which holds at most 65535.";
    const auto document = [](const std::string& className, const std::string& name, const std::string& value,
                             const std::string& nestedClass) {
        return R"({")" + className + R"(":{")" + name + R"(":")" + value + R"(","o":{"VLF_classNameXXX":")" +
               nestedClass + R"("}}})";
    };
    EXPECT_EQ(AMF0::fromJSON(document(longest, longest, longest, longest)).size(), 4 * (2 + 65535) + 12u);
    EXPECT_EQ(outcomeOf([&] { AMF0::fromJSON(document(tooLong, "n", "v", "C")); }), refusal);
    EXPECT_EQ(outcomeOf([&] { AMF0::fromJSON(document("A", tooLong, "v", "C")); }), refusal);
    EXPECT_EQ(outcomeOf([&] { AMF0::fromJSON(document("A", "n", tooLong, "C")); }), refusal);
    EXPECT_EQ(outcomeOf([&] { AMF0::fromJSON(document("A", "n", "v", tooLong)); }), refusal);
}

TEST(AmfJsonBytes, ArrayElementsBecomeBytes) {
    ByteBuffer out{0xEE};
    const auto elements =
        swf::JsonDocument::parse("[true,false,300,-1,-129,2.9,-1.5,256.0,1e300,18446744073709551615]");
    concatVectorWithContainer(out, elements, true);
    EXPECT_EQ(out, bytes("EE 01 00 2C FF 7F 02 FF 00 00 FF"));

    concatVectorWithContainer(out, swf::JsonDocument::parse("[1,2]"), false);
    EXPECT_EQ(out, bytes("01 02 EE 01 00 2C FF 7F 02 FF 00 00 FF"));

    for (const char* bad : {R"(["1"])", "[null]", "[[1]]", R"([{"a":1}])"}) {
        ByteBuffer untouched{0xEE};
        EXPECT_EQ(outcomeOf([&] {
                      concatVectorWithContainer(untouched, swf::JsonDocument::parse(bad), true);
                  }).rfind("type_error: [json.exception.type_error.302]", 0),
                  0u)
            << bad;
        EXPECT_EQ(untouched, ByteBuffer{0xEE}) << bad;
    }
}

}  // namespace
