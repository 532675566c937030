#pragma once
// The tag records of an SWF movie. Tags the program reads or changes are
// typed; every other tag keeps its raw body and is written back unchanged.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "swf/swf_exception.h"
#include "util/byte_cursor.h"
#include "util/bytes.h"

namespace swf {

using SwfCursor = ByteCursor<swf_exception>;

// The codes of the tags the program reads or changes. Every other code is
// kept raw; its name comes from SWF::tagTypeNames.
enum class TagCode : uint16_t {
    DefineSound = 14,
    DefineBitsLossless = 20,
    DefineBitsLossless2 = 36,
    SymbolClass = 76,
    DefineBinaryData = 87,
};

constexpr int codeOf(TagCode code) { return static_cast<int>(code); }

// What the 2-byte (or 6-byte) record header says, and where the body starts.
struct RecordHeader {
    uint16_t code = 0;
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
    // Appends the complete record to `out`.
    virtual void appendTo(ByteBuffer& out) const;

    uint32_t index = 0;
    uint64_t characterId = 0;
    uint16_t code = 0;
    bool isLong = false;
    std::array<uint8_t, 2> rawHeader{};
    ByteBuffer data;

protected:
    // Writes the record header for a body of `bodySize` bytes. An unchanged
    // record gets its header exactly as read; a short record whose body
    // changed size gets a new short length, or the long form once it no
    // longer fits in 6 bits.
    void appendHeader(ByteBuffer& out, size_t bodySize) const;
};

// Each typed tag names the codes it is read from, in the order a lookup
// by character id searches them, and the message for an id none carries.
class Tag_DefineBinaryData : public Tag {
public:
    static constexpr std::array kCodes = {TagCode::DefineBinaryData};
    static constexpr const char* kMissingId = N_("No such Tag ID: %s");

    Tag_DefineBinaryData(const RecordHeader& header, ByteView body);
    void appendTo(ByteBuffer& out) const override;

    uint32_t reserved = 0;
};

class Tag_DefineSound : public Tag {
public:
    static constexpr std::array kCodes = {TagCode::DefineSound};
    static constexpr const char* kMissingId = N_("No such Sound ID: %s");
    static constexpr unsigned kMp3Format = 2;

    Tag_DefineSound(const RecordHeader& header, ByteView body);
    void appendTo(ByteBuffer& out) const override;

    // Sample rate in Hz of each 2-bit rate code.
    static const std::map<unsigned, unsigned> soundRates;

    unsigned soundFormat = 0;
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
    void appendTo(ByteBuffer& out) const override;

    bool isLossless2 = false;
    uint8_t bitmapFormat = 0;
    uint16_t bitmapWidth = 0;
    uint16_t bitmapHeight = 0;
    uint8_t bitmapColorTableSize = 0;
};

class Tag_SymbolClass : public Tag {
public:
    // Reads the entries from the start of `rest` (the bytes from the body to
    // the end of the movie); `consumed` receives how many bytes they took.
    Tag_SymbolClass(const RecordHeader& header, ByteView rest, size_t& consumed);
    void appendTo(ByteBuffer& out) const override;

    uint16_t numSymbols = 0;
    // Each name keeps its terminating 0 byte as its last character.
    std::vector<std::pair<uint64_t, std::string>> symbols;
};

}  // namespace swf
