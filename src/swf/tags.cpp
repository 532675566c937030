#include "swf/tags.h"

#include <limits>

namespace swf {
namespace {

constexpr uint32_t kLongFormLength = 0x3F;
constexpr size_t kShortHeaderSize = 2;
constexpr size_t kLongHeaderSize = 6;

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

ByteBuffer Tag::fields() const {
    ByteBuffer out;
    appendFields(out);
    return out;
}

// The long form holds the length of any body; the short form, 6 bits.
bool Tag::hasLongHeader(size_t bodySize) const { return isLong || bodySize >= kLongFormLength; }

size_t Tag::recordSize() const {
    const size_t bodySize = fields().size() + data.size();
    return (hasLongHeader(bodySize) ? kLongHeaderSize : kShortHeaderSize) + bodySize;
}

void Tag::appendHeader(ByteBuffer& out, size_t bodySize) const {
    if (!hasLongHeader(bodySize)) {
        if ((loadU16le(rawHeader.data()) & kLongFormLength) == bodySize) {
            appendRawHeader(out, rawHeader);
        } else {
            appendU16le(out, static_cast<uint16_t>((codeOf(code) << 6) | bodySize));
        }
        return;
    }
    if (isLong) {
        appendRawHeader(out, rawHeader);
    } else {
        appendU16le(out, static_cast<uint16_t>((codeOf(code) << 6) | kLongFormLength));
    }
    appendU32le(out, longLength(bodySize));
}

void Tag::appendTo(ByteBuffer& out) const {
    const ByteBuffer ahead = fields();
    appendHeader(out, ahead.size() + data.size());
    appendBytes(out, ahead);
    appendBytes(out, data);
}

Tag_DefineBinaryData::Tag_DefineBinaryData(const RecordHeader& header, ByteView body) : Tag(header) {
    SwfCursor cursor = bodyCursor(header, body);
    characterId = cursor.u16le(N_("DefineBinaryData character id"));
    reserved = cursor.u32le(N_("DefineBinaryData reserved field"));
    data.assign(cursor.rest().begin(), cursor.rest().end());
}

void Tag_DefineBinaryData::appendFields(ByteBuffer& out) const {
    appendU16le(out, static_cast<uint16_t>(characterId));
    appendU32le(out, reserved);
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

void Tag_DefineSound::appendFields(ByteBuffer& out) const {
    appendU16le(out, static_cast<uint16_t>(characterId));
    appendU8(out, static_cast<uint8_t>((soundFormatNumber << 4) | (soundRate << 2) | (soundSize << 1) | soundType));
    appendU32le(out, soundSampleCount);
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

void Tag_DefineBitsLossless::appendFields(ByteBuffer& out) const {
    appendU16le(out, static_cast<uint16_t>(characterId));
    appendU8(out, bitmapFormatNumber);
    appendU16le(out, bitmapWidth);
    appendU16le(out, bitmapHeight);
    if (hasColourTable()) appendU8(out, bitmapColorTableSize);
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

// The entries are the whole body: the tag has no data.
void Tag_SymbolClass::appendFields(ByteBuffer& out) const {
    appendU16le(out, static_cast<uint16_t>(symbols.size()));
    for (const auto& [id, name] : symbols) {
        appendU16le(out, static_cast<uint16_t>(id));
        out.insert(out.end(), name.begin(), name.end());
    }
}

}  // namespace swf
