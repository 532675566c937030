#pragma once
// The tag records of an SWF movie. Tags the program reads or changes are
// typed; every other tag keeps its raw body and is written back unchanged.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "swf/swf_exception.h"
#include "util/byte_cursor.h"
#include "util/bytes.h"

namespace swf {

using SwfCursor = ByteCursor<swf_exception>;

// Every tag code the program has a name for, each with its name, declared
// here once: the TagCode enum and the table of names (SWF::tagTypeNames) are
// both made from this list.
// clang-format off
#define VLF_TAG_CODES(X)           \
    X(End, 0)                      \
    X(ShowFrame, 1)                \
    X(DefineShape, 2)              \
    X(FreeCharacter, 3)            \
    X(PlaceObject, 4)              \
    X(RemoveObject, 5)             \
    X(DefineBitsJPEG, 6)           \
    X(DefineButton, 7)             \
    X(JPEGTables, 8)               \
    X(SetBackgroundColor, 9)       \
    X(DefineFont, 10)              \
    X(DefineText, 11)              \
    X(DoAction, 12)                \
    X(DefineFontInfo, 13)          \
    X(DefineSound, 14)             \
    X(StartSound, 15)              \
    X(StopSound, 16)               \
    X(DefineButtonSound, 17)       \
    X(SoundStreamHead, 18)         \
    X(SoundStreamBlock, 19)        \
    X(DefineBitsLossless, 20)      \
    X(DefineBitsJPEG2, 21)         \
    X(DefineShape2, 22)            \
    X(DefineButtonCxform, 23)      \
    X(Protect, 24)                 \
    X(PathsArePostscript, 25)      \
    X(PlaceObject2, 26)            \
    X(RemoveObject2, 28)           \
    X(SyncFrame, 29)               \
    X(FreeAll, 31)                 \
    X(DefineShape3, 32)            \
    X(DefineText2, 33)             \
    X(DefineButton2, 34)           \
    X(DefineBitsJPEG3, 35)         \
    X(DefineBitsLossless2, 36)     \
    X(DefineEditText, 37)          \
    X(DefineVideo, 38)             \
    X(DefineSprite, 39)            \
    X(NameCharacter, 40)           \
    X(ProductInfo, 41)             \
    X(DefineTextFormat, 42)        \
    X(FrameLabel, 43)              \
    X(SoundStreamHead2, 45)        \
    X(DefineMorphShape, 46)        \
    X(GenerateFrame, 47)           \
    X(DefineFont2, 48)             \
    X(GeneratorCommand, 49)        \
    X(DefineCommandObject, 50)     \
    X(CharacterSet, 51)            \
    X(ExternalFont, 52)            \
    X(Export, 56)                  \
    X(Import, 57)                  \
    X(EnableDebugger, 58)          \
    X(DoInitAction, 59)            \
    X(DefineVideoStream, 60)       \
    X(VideoFrame, 61)              \
    X(DefineFontInfo2, 62)         \
    X(DebugID, 63)                 \
    X(EnableDebugger2, 64)         \
    X(ScriptLimits, 65)            \
    X(SetTabIndex, 66)             \
    X(FileAttributes, 69)          \
    X(PlaceObject3, 70)            \
    X(Import2, 71)                 \
    X(DoABCDefine, 72)             \
    X(DefineFontAlignZones, 73)    \
    X(CSMTextSettings, 74)         \
    X(DefineFont3, 75)             \
    X(SymbolClass, 76)             \
    X(Metadata, 77)                \
    X(DefineScalingGrid, 78)       \
    X(DoABC, 82)                   \
    X(DefineShape4, 83)            \
    X(DefineMorphShape2, 84)       \
    X(DefineSceneAndFrameData, 86) \
    X(DefineBinaryData, 87)        \
    X(DefineFontName, 88)          \
    X(DefineBitsJPEG4, 90)
// clang-format on

// A tag code: one of the named codes, or any other 10-bit value, which the
// program keeps raw.
enum class TagCode : uint16_t {
#define VLF_TAG_CODE_ENUMERATOR(name, number) name = number,
    VLF_TAG_CODES(VLF_TAG_CODE_ENUMERATOR)
#undef VLF_TAG_CODE_ENUMERATOR
};

constexpr int codeOf(TagCode code) { return static_cast<int>(code); }
// The code a number names, converted once where a number comes in.
constexpr TagCode tagCode(int number) { return static_cast<TagCode>(number); }

// The pixel formats of a lossless bitmap and the formats of a sound, each
// with the number that stands for it in a record, as rows: each enum and
// the list of its values are made from its rows. A DefineBitsLossless2
// reads every bitmap format but the colour-mapped one as 32-bit pixels, and
// so does a DefineBitsLossless of a number that is none of these.
// clang-format off
#define VLF_BITMAP_FORMATS(X)                                                  \
    X(ColourMapped, 3) /* a colour table, then padded rows of 8-bit indices */ \
    X(Rgb15, 4)        /* 15-bit pixels in padded rows */                      \
    X(Rgb32, 5)        /* 4 bytes a pixel */
#define VLF_SOUND_FORMATS(X)        \
    X(UncompressedNativeEndian, 0) \
    X(Adpcm, 1)                    \
    X(Mp3, 2)                      \
    X(UncompressedLittleEndian, 3) \
    X(Nellymoser16kHz, 4)          \
    X(Nellymoser8kHz, 5)           \
    X(Nellymoser, 6)               \
    X(Speex, 11)
// clang-format on

#define VLF_FORMAT_ENUMERATOR(name, number) name = number,
#define VLF_FORMAT_VALUE(name, number) name,
enum class BitmapFormat : uint8_t { VLF_BITMAP_FORMATS(VLF_FORMAT_ENUMERATOR) };
enum class SoundFormat : uint8_t { VLF_SOUND_FORMATS(VLF_FORMAT_ENUMERATOR) };
inline constexpr std::array kBitmapFormats = [] {
    using enum BitmapFormat;
    return std::array{VLF_BITMAP_FORMATS(VLF_FORMAT_VALUE)};
}();
inline constexpr std::array kSoundFormats = [] {
    using enum SoundFormat;
    return std::array{VLF_SOUND_FORMATS(VLF_FORMAT_VALUE)};
}();
#undef VLF_FORMAT_VALUE
#undef VLF_FORMAT_ENUMERATOR

// The number stored for a format.
template <typename Format>
constexpr uint8_t numberOf(Format format) {
    return static_cast<uint8_t>(format);
}

// The format among `formats` that a stored number stands for, or nothing
// for any other number.
template <typename Format, size_t N>
constexpr std::optional<Format> formatNumbered(unsigned number, const std::array<Format, N>& formats) {
    for (const Format format : formats) {
        if (numberOf(format) == number) return format;
    }
    return std::nullopt;
}

// What the 2-byte (or 6-byte) record header says, and where the body starts.
struct RecordHeader {
    TagCode code = TagCode::End;
    bool isLong = false;
    std::array<uint8_t, 2> rawHeader{};
    size_t bodyOffset = 0;
    uint32_t bodyLength = 0;
};

// What the tag readers say when a record runs past the end of the movie.
inline constexpr const char* kTruncatedRecord = N_("Invalid SWF file. Truncated tag record");

// Reads the record header at the cursor; the cursor ends at the body.
RecordHeader readRecordHeader(SwfCursor& cursor);

class Tag {
public:
    Tag() = default;
    explicit Tag(const RecordHeader& header);
    virtual ~Tag() = default;

    // The complete record, header included.
    ByteBuffer toBytes() const;
    // Appends the complete record to `out`: the header, the fields of the
    // tag's kind, then its data.
    void appendTo(ByteBuffer& out) const;
    // The size of the complete record, known without writing its data.
    size_t recordSize() const;
    // Appends the fields a typed tag keeps ahead of its data, as they are
    // read by its constructor; a tag kept raw has none.
    virtual void appendFields(ByteBuffer&) const {}
    // A copy of the tag, of its own type.
    virtual std::unique_ptr<Tag> clone() const { return std::make_unique<Tag>(*this); }

    uint32_t index = 0;
    uint64_t characterId = 0;
    TagCode code = TagCode::End;
    bool isLong = false;
    std::array<uint8_t, 2> rawHeader{};
    ByteBuffer data;

private:
    ByteBuffer fields() const;
    // Writes the record header for a body of `bodySize` bytes. An unchanged
    // record gets its header exactly as read; a short record whose body
    // changed size gets a new short length, or the long form once it no
    // longer fits in 6 bits.
    void appendHeader(ByteBuffer& out, size_t bodySize) const;
    bool hasLongHeader(size_t bodySize) const;
};

// Each typed tag names the codes it is read from, in the order a lookup
// by character id searches them, and the message for an id none carries.
class Tag_DefineBinaryData : public Tag {
public:
    static constexpr std::array kCodes = {TagCode::DefineBinaryData};
    static constexpr const char* kMissingId = N_("No such Tag ID: %s");

    Tag_DefineBinaryData(const RecordHeader& header, ByteView body);
    void appendFields(ByteBuffer& out) const override;
    std::unique_ptr<Tag> clone() const override { return std::make_unique<Tag_DefineBinaryData>(*this); }

    uint32_t reserved = 0;
};

class Tag_DefineSound : public Tag {
public:
    static constexpr std::array kCodes = {TagCode::DefineSound};
    static constexpr const char* kMissingId = N_("No such Sound ID: %s");
    // Sample rate in Hz of each 2-bit rate code.
    static const std::map<unsigned, unsigned> soundRates;

    Tag_DefineSound(const RecordHeader& header, ByteView body);
    void appendFields(ByteBuffer& out) const override;
    std::unique_ptr<Tag> clone() const override { return std::make_unique<Tag_DefineSound>(*this); }

    // The format number as stored, kept whatever it is so that the record
    // is written back as it was read.
    std::optional<SoundFormat> soundFormat() const { return formatNumbered(soundFormatNumber, kSoundFormats); }

    unsigned soundFormatNumber = 0;
    unsigned soundRate = 0;
    unsigned soundSize = 0;
    unsigned soundType = 0;
    uint32_t soundSampleCount = 0;
};

// Lossless bitmaps are looked up among every DefineBitsLossless tag, then
// every DefineBitsLossless2 tag.
class Tag_DefineBitsLossless : public Tag {
public:
    static constexpr std::array kCodes = {TagCode::DefineBitsLossless, TagCode::DefineBitsLossless2};
    static constexpr const char* kMissingId = N_("No such Image ID: %s");

    Tag_DefineBitsLossless(const RecordHeader& header, ByteView body);
    void appendFields(ByteBuffer& out) const override;
    std::unique_ptr<Tag> clone() const override { return std::make_unique<Tag_DefineBitsLossless>(*this); }

    // The format number as stored, kept whatever it is so that the record
    // is written back as it was read.
    std::optional<BitmapFormat> bitmapFormat() const { return formatNumbered(bitmapFormatNumber, kBitmapFormats); }
    // Only the colour-mapped format has the colour table size byte.
    bool hasColourTable() const { return bitmapFormat() == BitmapFormat::ColourMapped; }

    bool isLossless2 = false;
    uint8_t bitmapFormatNumber = numberOf(BitmapFormat::Rgb32);
    uint16_t bitmapWidth = 0;
    uint16_t bitmapHeight = 0;
    uint8_t bitmapColorTableSize = 0;
};

class Tag_SymbolClass : public Tag {
public:
    // Reads the entries from the start of `rest` (the bytes from the body to
    // the end of the movie); `consumed` receives how many bytes they took.
    Tag_SymbolClass(const RecordHeader& header, ByteView rest, size_t& consumed);
    void appendFields(ByteBuffer& out) const override;
    std::unique_ptr<Tag> clone() const override { return std::make_unique<Tag_SymbolClass>(*this); }

    // Each name keeps its terminating 0 byte as its last character.
    std::vector<std::pair<uint64_t, std::string>> symbols;
};

}  // namespace swf
