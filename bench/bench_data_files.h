#pragma once
// Generated data files shaped like the game's (limb data with embedded
// pictures, attack lists, sprite and background descriptions), and a game
// that holds them, for the benchmarks.

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "amf/amf0.h"
#include "amf/amf3.h"
#include "bench_movie.h"
#include "codecs/zlib.h"
#include "data/data_file.h"

// Each benchmark program includes this in one file only.
namespace benchdata {

// ------------------------------------------------------------ AMF0 content

// Writes AMF0 the way the game's serializer lays it out: a top-level typed
// object, members as a 16-bit-length name and a value, and every object
// closed by an empty name and the object end marker.
class Amf0Writer {
public:
    explicit Amf0Writer(std::string_view className) {
        out_.push_back(swf::amf0::kTypedObject);
        text(out_, className);
    }

    Amf0Writer& number(std::string_view name, double value) {
        member(name, swf::amf0::kNumber);
        uint64_t bits = 0;
        static_assert(sizeof bits == sizeof value);
        std::memcpy(&bits, &value, sizeof bits);
        for (int shift = 56; shift >= 0; shift -= 8) out_.push_back(static_cast<uint8_t>(bits >> shift));
        return *this;
    }
    Amf0Writer& string(std::string_view name, std::string_view value) {
        text(member(name, swf::amf0::kString), value);
        return *this;
    }
    Amf0Writer& boolean(std::string_view name, bool value) {
        member(name, swf::amf0::kBoolean).push_back(value ? 1 : 0);
        return *this;
    }
    Amf0Writer& null(std::string_view name) {
        member(name, swf::amf0::kNull);
        return *this;
    }
    Amf0Writer& undefined(std::string_view name) {
        member(name, swf::amf0::kUndefined);
        return *this;
    }
    Amf0Writer& typed(std::string_view name, std::string_view className) {
        text(member(name, swf::amf0::kTypedObject), className);
        return *this;
    }
    Amf0Writer& anonymous(std::string_view name) {
        member(name, swf::amf0::kObject);
        return *this;
    }
    Amf0Writer& ecmaArray(std::string_view name, uint32_t count) {
        appendU32be(member(name, swf::amf0::kEcmaArray), count);
        return *this;
    }
    Amf0Writer& end() {
        out_.insert(out_.end(), {0, 0, swf::amf0::kObjectEnd});
        return *this;
    }

    // The finished object: the top level is closed here.
    ByteBuffer finish() {
        end();
        return std::move(out_);
    }
    size_t size() const { return out_.size(); }

private:
    static void text(ByteBuffer& out, std::string_view value) {
        appendU16be(out, static_cast<uint16_t>(value.size()));
        out.insert(out.end(), value.begin(), value.end());
    }

    // A member's name and the marker of its value, whose body follows.
    ByteBuffer& member(std::string_view name, uint8_t marker) {
        text(out_, name);
        out_.push_back(marker);
        return out_;
    }

    ByteBuffer out_;
};

void appendByteArray(ByteBuffer& out, const ByteBuffer& payload) {
    out.push_back(0x0C);
    appendBytes(out, swf::AMF3::Uint29BAToVec(payload.size()));
    appendBytes(out, payload);
}

void appendKindTag(ByteBuffer& out, std::string_view tag) { swf::AMF0::writeStringWithLenPrefixU16(out, tag); }

// A PNG chunk: its length, type, data and the CRC of type and data.
void appendChunk(ByteBuffer& out, const char (&type)[5], const ByteBuffer& data) {
    appendU32be(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    appendBytes(out, data);
    appendU32be(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// Random game-like values: mostly whole numbers stored as doubles, some
// short fractions, a few values with every digit of a double; names drawn
// from small vocabularies, now and then with accented letters.
class Content {
public:
    explicit Content(uint32_t seed) : random_(seed) {}

    int whole(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
    double fraction(double low, double high) {
        return std::round(std::uniform_real_distribution<double>(low, high)(random_) * 100.0) / 100.0;
    }
    double anyDouble(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }

    std::string name() {
        static const char* const kStems[] = {"slash", "thrust",   "spin",  "uppercut", "dash",
                                             "guard", "fireball", "frost", "leap",     "kick",
                                             "roll",  "charge",   "shout", "épée",     "smash"};
        static const char* const kTails[] = {"light", "heavy", "air", "low", "ex", "finisher", "loop"};
        return std::string(kStems[whole(0, 14)]) + "_" + kTails[whole(0, 6)] + "_" + std::to_string(whole(0, 20));
    }
    std::string label(const char* prefix) { return std::string(prefix) + std::to_string(whole(0, 999)); }

    // A picture that the game can show but that hardly compresses, about
    // `size` bytes: RGBA pixels of noise, each row unfiltered.
    ByteBuffer png(size_t size) {
        const auto width = static_cast<uint32_t>(whole(8, 128));
        const auto height = static_cast<uint32_t>(std::max<size_t>(1, size / (4 * width + 1)));
        ByteBuffer rows;
        rows.reserve(size_t{height} * (4 * width + 1));
        for (uint32_t y = 0; y < height; ++y) {
            rows.push_back(0);
            for (uint32_t x = 0; x < width; ++x) {
                const auto word = static_cast<uint32_t>(random_());
                for (int k = 0; k < 4; ++k) rows.push_back(static_cast<uint8_t>(word >> (8 * k)));
            }
        }
        ByteBuffer out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        ByteBuffer header;
        appendU32be(header, width);
        appendU32be(header, height);
        header.insert(header.end(), {8, 6, 0, 0, 0});
        appendChunk(out, "IHDR", header);
        appendChunk(out, "IDAT", zlib::zlib_compress(rows, 1));
        appendChunk(out, "IEND", {});
        return out;
    }

    // One attack: scalars, a hit box, frame data in an ECMA array of typed
    // objects, an anonymous object of effects; `frames` sets its size.
    ByteBuffer attack(int frames) {
        Amf0Writer w("vorlune.data.AttackInfo");
        w.string("name", name()).number("damage", whole(1, 250)).number("knockback", fraction(0, 30));
        w.number("hitstun", whole(0, 40)).number("cooldown", anyDouble(0, 3)).boolean("unblockable", chance(0.1));
        w.string("element", chance(0.5) ? "none" : "fire").number("priority", whole(0, 9));
        if (chance(0.2)) {
            w.undefined("sound");
        } else {
            w.string("sound", label("sfx_hit_"));
        }
        w.typed("hitbox", "vorlune.geom.Rect").number("x", whole(-60, 60)).number("y", whole(-120, 0));
        w.number("width", whole(4, 120)).number("height", whole(4, 120)).end();
        w.ecmaArray("frames", static_cast<uint32_t>(frames));
        for (int f = 0; f < frames; ++f) {
            w.typed(std::to_string(f), "vorlune.data.FrameInfo").number("frame", f).number("dx", fraction(-8, 8));
            w.number("dy", fraction(-8, 8)).boolean("active", chance(0.4));
            if (chance(0.3)) {
                w.string("event", label("ev_"));
            } else {
                w.null("event");
            }
            w.end();
        }
        w.end();
        w.anonymous("effects").number("shake", fraction(0, 1)).number("flash", whole(0, 6));
        w.boolean("slowmo", chance(0.05)).end();
        return w.finish();
    }

    ByteBuffer pointWithName() {
        Amf0Writer w("vorlune.data.PtWithName");
        w.string("name", label("spawn_")).number("x", whole(-2000, 2000)).number("y", whole(-800, 800));
        return w.finish();
    }

    ByteBuffer limbPicture(bool embedded) {
        Amf0Writer w("Data.LimbPic");  // the class whose flags a replacement reads
        w.boolean("disabled", chance(0.1)).boolean("embeded", embedded).string("name", label("pic_"));
        w.number("x", fraction(-50, 50)).number("y", fraction(-50, 50)).number("rotation", anyDouble(-180, 180));
        w.number("scaleX", fraction(0.5, 1.5)).number("scaleY", fraction(0.5, 1.5));
        w.typed("pivot", "flash.geom.Point").number("x", whole(0, 64)).number("y", whole(0, 64)).end();
        return w.finish();
    }

    ByteBuffer limb(int keys) {
        Amf0Writer w("vorlune.data.Limb");
        w.string("name", label("limb_")).number("parent", whole(-1, 30)).number("depth", whole(0, 40));
        w.typed("matrix", "flash.geom.Matrix").number("a", anyDouble(-1, 1)).number("b", anyDouble(-1, 1));
        w.number("c", anyDouble(-1, 1)).number("d", anyDouble(-1, 1)).number("tx", fraction(-100, 100));
        w.number("ty", fraction(-100, 100)).end();
        w.ecmaArray("keys", static_cast<uint32_t>(keys));
        for (int k = 0; k < keys; ++k) {
            w.typed(std::to_string(k), "vorlune.data.LimbKey").number("time", k * 2).number("pic", whole(0, 40));
            w.number("angle", anyDouble(-180, 180)).number("x", fraction(-20, 20)).number("y", fraction(-20, 20));
            w.end();
        }
        w.end();
        return w.finish();
    }

private:
    std::mt19937 random_;
};

// Contents of each kind, grown until they reach about `budget` bytes.

ByteBuffer gdatContent(Content& c, size_t budget) {
    std::vector<ByteBuffer> attacks, points;
    size_t size = 0;
    while (size < budget * 9 / 10) size += attacks.emplace_back(c.attack(c.whole(2, 24))).size();
    while (size < budget) size += points.emplace_back(c.pointWithName()).size();
    ByteBuffer out;
    appendKindTag(out, "gdat");
    for (const auto* list : {&attacks, &points}) {
        appendU32be(out, static_cast<uint32_t>(list->size()));
        for (const ByteBuffer& item : *list) appendByteArray(out, item);
    }
    return out;
}

ByteBuffer limbInfoContent(Content& c, size_t budget) {
    std::vector<ByteBuffer> pictures, images, limbs;
    std::vector<bool> embedded;
    size_t size = 0;
    while (size < budget * 3 / 4) {
        embedded.push_back(!c.chance(0.15));
        size += pictures.emplace_back(c.limbPicture(embedded.back())).size();
        if (embedded.back()) size += images.emplace_back(c.png(static_cast<size_t>(c.whole(600, 48000)))).size();
    }
    while (size < budget) size += limbs.emplace_back(c.limb(c.whole(4, 40))).size();
    ByteBuffer out;
    appendKindTag(out, "limbInfo");
    appendU32be(out, static_cast<uint32_t>(pictures.size()));
    for (const ByteBuffer& picture : pictures) appendByteArray(out, picture);
    size_t image = 0;
    for (const bool e : embedded) {
        if (e) {
            appendByteArray(out, images[image++]);
        } else {
            out.push_back(0x01);  // an AMF3 null: the picture has no embedded image
        }
    }
    appendU32be(out, static_cast<uint32_t>(limbs.size()));
    for (const ByteBuffer& limb : limbs) appendByteArray(out, limb);
    return out;
}

// A sprite description: one object holding every animation, each an ECMA
// array of frames.
ByteBuffer sptContent(Content& c, size_t budget) {
    Amf0Writer w("vorlune.data.SpriteInfo");
    w.string("sheet", c.label("sheet_")).number("fps", 30).boolean("smoothing", true);
    w.anonymous("animations");
    for (int a = 0; w.size() < budget; ++a) {
        const int frames = c.whole(4, 60);
        w.typed(c.name() + "_" + std::to_string(a), "vorlune.data.Animation").boolean("loop", c.chance(0.5));
        w.ecmaArray("frames", static_cast<uint32_t>(frames));
        for (int f = 0; f < frames; ++f) {
            w.typed(std::to_string(f), "vorlune.data.SpriteFrame").number("u", c.whole(0, 2048));
            w.number("v", c.whole(0, 2048)).number("w", c.whole(8, 256)).number("h", c.whole(8, 256));
            w.number("ox", c.fraction(-64, 64)).number("oy", c.fraction(-64, 64)).number("duration", c.whole(1, 6));
            w.end();
        }
        w.end().end();
    }
    w.end();
    ByteBuffer out;
    appendKindTag(out, "Spt");
    appendByteArray(out, w.finish());
    return out;
}

// A background: layers of tiles, each layer an ECMA array.
ByteBuffer bgContent(Content& c, size_t budget) {
    Amf0Writer w("vorlune.data.BgInfo");
    w.string("music", c.label("bgm_")).number("width", c.whole(800, 12000)).number("height", c.whole(600, 2400));
    w.null("weather").undefined("script");
    for (int layer = 0; w.size() < budget; ++layer) {
        const int tiles = c.whole(50, 400);
        w.typed("layer" + std::to_string(layer), "vorlune.data.BgLayer").number("parallax", c.fraction(0, 1.5));
        w.number("alpha", c.fraction(0.2, 1)).ecmaArray("tiles", static_cast<uint32_t>(tiles));
        for (int t = 0; t < tiles; ++t) {
            w.typed(std::to_string(t), "vorlune.data.Tile")
                .number("x", c.whole(0, 12000))
                .number("y", c.whole(0, 2400));
            w.number("tile", c.whole(0, 900)).boolean("flip", c.chance(0.2)).end();
        }
        w.end().end();
    }
    ByteBuffer out;
    appendKindTag(out, "Bg");
    appendByteArray(out, w.finish());
    return out;
}

// ------------------------------------------------------------ the game's set

struct DataFile {
    uint64_t id = 0;
    data::DataKind kind = data::DataKind::Gdat;
    size_t inflatedSize = 0;
    ByteBuffer deflated;  // the zlib stream inside the body
    ByteBuffer body;      // the tag body: a ByteArray around the stream
};

// The game's data ids.
constexpr uint64_t kDataIds[] = {136, 140, 141, 142, 144, 149, 150, 156, 163, 167, 175, 179, 180, 181, 182, 185,
                                 191, 195, 197, 198, 201, 203, 205, 214, 220, 223, 224, 225, 229, 230, 233, 237,
                                 250, 277, 278, 279, 280, 290, 294, 295, 296, 297, 311, 314, 315, 316, 318, 326,
                                 330, 332, 335, 336, 338, 340, 341, 347, 348, 363, 369, 371, 380, 385, 390, 394,
                                 396, 397, 411, 415, 421, 425, 433, 441, 442, 444, 445, 448, 465, 468};

// One file per id, of uneven sizes (a few big ones, many small), about
// `total` inflated bytes in all; a sprite or background, one document
// each, holds at most `singleDocument` bytes.
std::vector<DataFile> generateGameSet(size_t total, size_t singleDocument = SIZE_MAX) {
    constexpr size_t count = std::size(kDataIds);
    Content c(7);
    std::vector<data::DataKind> kinds;
    kinds.insert(kinds.end(), 26, data::DataKind::LimbInfo);
    kinds.insert(kinds.end(), 26, data::DataKind::Gdat);
    kinds.insert(kinds.end(), 14, data::DataKind::Spt);
    kinds.insert(kinds.end(), count - kinds.size(), data::DataKind::Bg);
    std::shuffle(kinds.begin(), kinds.end(), std::mt19937(3));
    std::vector<double> weights;
    std::lognormal_distribution<double> spread(0.0, 1.0);
    std::mt19937 random(5);
    for (size_t i = 0; i < count; ++i) weights.push_back(spread(random));
    double sum = 0;
    for (const double w : weights) sum += w;

    std::vector<DataFile> files;
    for (size_t i = 0; i < count; ++i) {
        size_t budget = std::max<size_t>(4096, static_cast<size_t>(static_cast<double>(total) * weights[i] / sum));
        if (kinds[i] == data::DataKind::Spt || kinds[i] == data::DataKind::Bg)
            budget = std::min(budget, singleDocument);
        ByteBuffer content;
        switch (kinds[i]) {
            case data::DataKind::LimbInfo:
                content = limbInfoContent(c, budget);
                break;
            case data::DataKind::Gdat:
                content = gdatContent(c, budget);
                break;
            case data::DataKind::Spt:
                content = sptContent(c, budget);
                break;
            case data::DataKind::Bg:
                content = bgContent(c, budget);
                break;
        }
        DataFile file;
        file.id = kDataIds[i];
        file.kind = kinds[i];
        file.inflatedSize = content.size();
        file.deflated = zlib::zlib_compress(content, Z_DEFAULT_COMPRESSION);
        appendByteArray(file.body, file.deflated);
        files.push_back(std::move(file));
    }
    return files;
}

// The set as a game: a binary data tag for each file, and the symbol names
// whose endings tell the files' kinds.
// The records of the set: a binary data tag for each file; `symbols`
// receives each file's symbol name.
inline void appendDataRecords(ByteBuffer& records, const std::vector<DataFile>& files,
                              std::vector<std::pair<uint16_t, std::string>>& symbols) {
    for (const DataFile& file : files) {
        ByteBuffer body;
        appendU16le(body, static_cast<uint16_t>(file.id));
        appendU32le(body, 0);  // reserved
        appendBytes(body, file.body);
        appendRecord(records, 87, body);  // DefineBinaryData
        static const char* const kEndings[] = {"Lmi", "Spt", "Bgi", "Dat"};
        symbols.emplace_back(file.id,
                             "vorlune.data.D" + std::to_string(file.id) + kEndings[static_cast<int>(file.kind)]);
    }
}

ByteBuffer gameOf(const std::vector<DataFile>& files) {
    ByteBuffer records;
    std::vector<std::pair<uint16_t, std::string>> symbols;
    appendDataRecords(records, files, symbols);
    appendSymbolClass(records, symbols);
    return finishMovie(std::move(records));
}

}  // namespace benchdata
