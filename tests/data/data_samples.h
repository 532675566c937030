#pragma once
// Data file contents of every kind, built byte by byte for the tests.

#include <lodepng.h>

#include <random>
#include <string>
#include <vector>

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "codecs/zlib.h"
#include "data/data_file.h"

namespace datasamples {

inline ByteBuffer bytesOf(const std::string& text) { return ByteBuffer(text.begin(), text.end()); }

inline void appendValue(ByteBuffer& out, const ByteBuffer& payload) {
    out.push_back(0x0C);
    appendBytes(out, swf::AMF3::Uint29BAToVec(payload.size()));
    appendBytes(out, payload);
}

inline ByteBuffer object(const std::string& json) { return swf::AMF0::fromJSON(json); }

inline ByteBuffer kindTag(const std::string& tag) {
    ByteBuffer out;
    swf::AMF0::writeStringWithLenPrefixU16(out, tag);
    return out;
}

inline ByteBuffer wrapped(const ByteBuffer& content) {
    ByteBuffer body;
    appendValue(body, zlib::zlib_compress(content, 9));
    return body;
}

// Documents that exercise the whole mapping; each reads back to the bytes
// it was written from.
inline const std::vector<std::string> kDocuments = {
    R"({"Data.Attack": {"power": 12.5, "nan": [127, 248, 0, 0, 0, 0, 0, 0], "inf": [127, 240, 0, 0, 0, 0, 0, 0],
        "negInf": [255, 240, 0, 0, 0, 0, 0, 0], "negZero": -0.0, "third": 0.30000000000000004, "on": true}})",
    R"({"Data.Point": {"name": "Épée de l'aube ✓", "nothing": null, "gone": "VLF_undefinedXXX",
        "nested": {"VLF_classNameXXX": "Data.Inner", "x": 1.0, "deeper": {"y": false}},
        "emptyTyped": {"VLF_classNameXXX": "Data.Empty"}, "list": {"VLF_ArrayLenXXX": 5, "0": 1.0, "1": "two"}}})",
    R"({"Data.Bare": null})",
};

inline std::string limbPictureText(bool disabled, bool embedded) {
    return std::string(R"({"Data.LimbPic": {"disabled": )") + (disabled ? "true" : "false") + R"(, "embeded": )" +
           (embedded ? "true" : "false") + "}}";
}

inline ByteBuffer limbPictureJson(bool disabled, bool embedded) { return bytesOf(limbPictureText(disabled, embedded)); }

// Bytes that are no picture, nor anything else.
inline ByteBuffer noise(size_t size) {
    std::mt19937 random(7);
    ByteBuffer bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    return bytes;
}

// A limb picture: a PNG file of one pixel.
inline ByteBuffer onePixelPng() {
    ByteBuffer png;
    lodepng::encode(png, ByteBuffer{200, 100, 50, 255}, 1, 1);
    return png;
}
inline const ByteBuffer kPng = onePixelPng();

struct Sample {
    const char* name;
    data::DataKind kind;
    ByteBuffer content;
    std::vector<std::string> entries;
};

inline std::vector<Sample> samples() {
    ByteBuffer gdat = kindTag("gdat");
    appendU32be(gdat, 2);
    appendValue(gdat, object(kDocuments[0]));
    appendValue(gdat, object(kDocuments[1]));
    appendU32be(gdat, 1);
    appendValue(gdat, object(kDocuments[2]));

    ByteBuffer emptyGdat = kindTag("gdat");
    appendU32be(emptyGdat, 0);
    appendU32be(emptyGdat, 0);

    ByteBuffer limbs = kindTag("limbInfo");
    appendU32be(limbs, 3);
    appendValue(limbs, object(limbPictureText(false, true)));
    appendValue(limbs, object(limbPictureText(true, false)));
    appendValue(limbs, object(limbPictureText(false, true)));
    appendValue(limbs, kPng);
    limbs.push_back(0x01);
    appendValue(limbs, kPng);
    appendU32be(limbs, 1);
    appendValue(limbs, object(kDocuments[1]));

    ByteBuffer spt = kindTag("Spt");
    appendValue(spt, object(kDocuments[1]));
    ByteBuffer bg = kindTag("Bg");
    appendValue(bg, object(kDocuments[0]));

    return {
        {"gdat", data::DataKind::Gdat, gdat, {"Attack_0.json", "Attack_1.json", "PtWithName_0.json"}},
        {"empty gdat", data::DataKind::Gdat, emptyGdat, {}},
        {"limbInfo",
         data::DataKind::LimbInfo,
         limbs,
         {"LimbPic_0.json", "LimbPic_1.json", "LimbPic_2.json", "0.png", "2.png", "Limb_0.json"}},
        {"Spt", data::DataKind::Spt, spt, {"Spt.json"}},
        {"Bg", data::DataKind::Bg, bg, {"BgInfoFile.json"}},
    };
}

}  // namespace datasamples
