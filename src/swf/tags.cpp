#include "swf/tags.h"

#include <limits>

namespace swf {
namespace {

constexpr uint32_t kLongFormLength = 0x3F;
constexpr size_t kShortHeaderSize = 2;
constexpr size_t kLongHeaderSize = 6;
// The fields before the data of the typed tags: the character id and the
// reserved field, format byte and sample count, or format, width and height.
constexpr size_t kBinaryDataFields = 2 + 4;
constexpr size_t kSoundFields = 2 + 1 + 4;
constexpr size_t kBitmapFields = 2 + 1 + 2 + 2;

SwfCursor bodyCursor(const RecordHeader& header, ByteView body) {
    return SwfCursor(body, header.bodyOffset, kTruncatedRecord);
}

void appendRawHeader(ByteBuffer& out, const std::array<uint8_t, 2>& rawHeader) {
    out.insert(out.end(), rawHeader.begin(), rawHeader.end());
}

uint32_t longLength(size_t bodySize) {
    if (bodySize > std::numeric_limits<uint32_t>::max()) {
        throw swf_exception(N_("Tag body of %s bytes is too large for an SWF record."), {bodySize});
    }
    return static_cast<uint32_t>(bodySize);
}

}  // namespace

std::optional<BitmapFormat> bitmapFormatOf(uint8_t number) {
    switch (number) {
        case numberOf(BitmapFormat::ColourMapped):
            return BitmapFormat::ColourMapped;
        case numberOf(BitmapFormat::Rgb15):
            return BitmapFormat::Rgb15;
        case numberOf(BitmapFormat::Rgb32):
            return BitmapFormat::Rgb32;
        default:
            return std::nullopt;
    }
}

std::optional<SoundFormat> soundFormatOf(unsigned number) {
    switch (number) {
        case numberOf(SoundFormat::UncompressedNativeEndian):
            return SoundFormat::UncompressedNativeEndian;
        case numberOf(SoundFormat::Adpcm):
            return SoundFormat::Adpcm;
        case numberOf(SoundFormat::Mp3):
            return SoundFormat::Mp3;
        case numberOf(SoundFormat::UncompressedLittleEndian):
            return SoundFormat::UncompressedLittleEndian;
        case numberOf(SoundFormat::Nellymoser16kHz):
            return SoundFormat::Nellymoser16kHz;
        case numberOf(SoundFormat::Nellymoser8kHz):
            return SoundFormat::Nellymoser8kHz;
        case numberOf(SoundFormat::Nellymoser):
            return SoundFormat::Nellymoser;
        case numberOf(SoundFormat::Speex):
            return SoundFormat::Speex;
        default:
            return std::nullopt;
    }
}

RecordHeader readRecordHeader(SwfCursor& cursor) {
    RecordHeader header;
    const ByteView raw = cursor.bytes(2, N_("tag header"));
    header.rawHeader = {raw[0], raw[1]};
    const uint16_t value = loadU16le(raw.data());
    header.code = tagCode(value >> 6);
    header.bodyLength = value & kLongFormLength;
    if (header.bodyLength == kLongFormLength) {
        header.isLong = true;
        header.bodyLength = cursor.u32le(N_("long tag length"));
    }
    header.bodyOffset = cursor.offset();
    return header;
}

Tag::Tag(const RecordHeader& header) : code(header.code), isLong(header.isLong), rawHeader(header.rawHeader) {}

ByteBuffer Tag::toBytes() const {
    ByteBuffer out;
    appendTo(out);
    return out;
}

// The long form holds the length of any body; the short form, 6 bits.
bool Tag::hasLongHeader(size_t body) const { return isLong || body >= kLongFormLength; }

size_t Tag::recordSize() const {
    const size_t body = bodySize();
    return (hasLongHeader(body) ? kLongHeaderSize : kShortHeaderSize) + body;
}

void Tag::appendHeader(ByteBuffer& out) const {
    const size_t body = bodySize();
    if (!hasLongHeader(body)) {
        if ((loadU16le(rawHeader.data()) & kLongFormLength) == body) {
            appendRawHeader(out, rawHeader);
        } else {
            appendU16le(out, static_cast<uint16_t>((codeOf(code) << 6) | body));
        }
        return;
    }
    if (isLong) {
        appendRawHeader(out, rawHeader);
    } else {
        appendU16le(out, static_cast<uint16_t>((codeOf(code) << 6) | kLongFormLength));
    }
    appendU32le(out, longLength(body));
}

void Tag::appendTo(ByteBuffer& out) const {
    appendHeader(out);
    appendBytes(out, data);
}

Tag_DefineBinaryData::Tag_DefineBinaryData(const RecordHeader& header, ByteView body) : Tag(header) {
    SwfCursor cursor = bodyCursor(header, body);
    characterId = cursor.u16le(N_("DefineBinaryData character id"));
    reserved = cursor.u32le(N_("DefineBinaryData reserved field"));
    data.assign(cursor.rest().begin(), cursor.rest().end());
}

size_t Tag_DefineBinaryData::bodySize() const { return kBinaryDataFields + data.size(); }

void Tag_DefineBinaryData::appendTo(ByteBuffer& out) const {
    appendHeader(out);
    appendU16le(out, static_cast<uint16_t>(characterId));
    appendU32le(out, reserved);
    appendBytes(out, data);
}

const std::map<unsigned, unsigned> Tag_DefineSound::soundRates = {{0, 5512}, {1, 11025}, {2, 22050}, {3, 44100}};

Tag_DefineSound::Tag_DefineSound(const RecordHeader& header, ByteView body) : Tag(header) {
    SwfCursor cursor = bodyCursor(header, body);
    characterId = cursor.u16le(N_("DefineSound character id"));
    const uint8_t flags = cursor.u8(N_("DefineSound format byte"));
    soundFormatNumber = flags >> 4;
    soundRate = (flags >> 2) & 3;
    soundSize = (flags >> 1) & 1;
    soundType = flags & 1;
    soundSampleCount = cursor.u32le(N_("DefineSound sample count"));
    data.assign(cursor.rest().begin(), cursor.rest().end());
}

size_t Tag_DefineSound::bodySize() const { return kSoundFields + data.size(); }

void Tag_DefineSound::appendTo(ByteBuffer& out) const {
    appendHeader(out);
    appendU16le(out, static_cast<uint16_t>(characterId));
    appendU8(out, static_cast<uint8_t>((soundFormatNumber << 4) | (soundRate << 2) | (soundSize << 1) | soundType));
    appendU32le(out, soundSampleCount);
    appendBytes(out, data);
}

Tag_DefineBitsLossless::Tag_DefineBitsLossless(const RecordHeader& header, ByteView body)
    : Tag(header), isLossless2(header.code == TagCode::DefineBitsLossless2) {
    SwfCursor cursor = bodyCursor(header, body);
    characterId = cursor.u16le(N_("DefineBitsLossless character id"));
    bitmapFormatNumber = cursor.u8(N_("DefineBitsLossless bitmap format"));
    bitmapWidth = cursor.u16le(N_("DefineBitsLossless width"));
    bitmapHeight = cursor.u16le(N_("DefineBitsLossless height"));
    if (hasColourTable()) bitmapColorTableSize = cursor.u8(N_("DefineBitsLossless colour table size"));
    data.assign(cursor.rest().begin(), cursor.rest().end());
}

size_t Tag_DefineBitsLossless::bodySize() const { return kBitmapFields + (hasColourTable() ? 1 : 0) + data.size(); }

void Tag_DefineBitsLossless::appendTo(ByteBuffer& out) const {
    appendHeader(out);
    appendU16le(out, static_cast<uint16_t>(characterId));
    appendU8(out, bitmapFormatNumber);
    appendU16le(out, bitmapWidth);
    appendU16le(out, bitmapHeight);
    if (hasColourTable()) appendU8(out, bitmapColorTableSize);
    appendBytes(out, data);
}

Tag_SymbolClass::Tag_SymbolClass(const RecordHeader& header, ByteView rest, size_t& consumed) : Tag(header) {
    SwfCursor cursor = bodyCursor(header, rest);
    const uint16_t count = cursor.u16le(N_("SymbolClass count"));
    symbols.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        const uint64_t id = cursor.u16le(N_("SymbolClass character id"));
        const ByteView name = cursor.untilZero(N_("SymbolClass name"));
        symbols.emplace_back(id, std::string(name.begin(), name.end()));
    }
    consumed = cursor.position();
}

size_t Tag_SymbolClass::bodySize() const {
    size_t size = 2;
    for (const auto& [id, name] : symbols) size += 2 + name.size();
    return size;
}

void Tag_SymbolClass::appendTo(ByteBuffer& out) const {
    appendHeader(out);
    appendU16le(out, static_cast<uint16_t>(symbols.size()));
    for (const auto& [id, name] : symbols) {
        appendU16le(out, static_cast<uint16_t>(id));
        out.insert(out.end(), name.begin(), name.end());
    }
}

}  // namespace swf
