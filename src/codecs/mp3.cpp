#include "codecs/mp3.h"

#include <mpg123.h>
#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "util/byte_cursor.h"

// How a file is cut into tags and frames:
//
// - Leading bytes: ID3v2 tags at the very start, one after another, each as
//   long as its size field says plus 10 header bytes, plus 10 footer bytes
//   when a version 4 tag sets its footer flag. A tag that claims more bytes
//   than the file has leaves no room for frames, and the file is refused.
//   libmpg123 then looks for the first frame in the bytes after the tags and
//   skips junk before it (up to its own search limit of 64 KiB), confirming
//   a frame only when a matching frame header or the end of the data follows
//   it, so that a stray sync pattern in junk is not taken for audio.
//
// - Trailing bytes: known tags at the very end are taken off first, so that
//   bytes inside them are never mistaken for frames: ID3v1 ("TAG", 128
//   bytes), APE tags (footer "APETAGEX" and, when its flags say so, the
//   header), Lyrics3 v2 ("LYRICSBEGIN" ... size ... "LYRICS200") and
//   Lyrics3 v1 ("LYRICSBEGIN" ... "LYRICSEND"), in any order and number.
//   libmpg123 walks the frames of what is left, skipping an ID3v2 tag it
//   meets on the way by its size; everything after the end of the last
//   complete frame is trailing: the tags, and a last frame cut short by the
//   end of the file.
//
// - Junk between frames is skipped by libmpg123's resync (up to 1024
//   bytes); it stays in the frame bytes but adds no samples. More junk than
//   that, even at the end, makes libmpg123 give up, and the file is refused
//   rather than cut short silently.
//
// - Every frame found counts, the LAME or Xing information frame included:
//   it is stored with the others and decodes to silence, so the sample count
//   describes exactly the frames stored.

namespace mp3 {
namespace {

using Mp3Cursor = ByteCursor<mp3_exception>;

// Why the file is refused: no frame, frames of another layer, a format
// that changes, or frames that libmpg123 could not walk.
[[noreturn]] void refuseNoFrame() { throw mp3_exception(N_("No MPEG audio frame was found in the file.")); }

[[noreturn]] void refuseLayer(int layer) {
    throw mp3_exception(N_("The MPEG audio frames found in it are of layer %s, not layer III (MP3)."), {layer});
}

[[noreturn]] void refuseDamage(uint64_t frame) {
    throw mp3_exception(N_("The frames are damaged after frame %s."), {frame});
}

[[noreturn]] void libraryError(int code) {
    throw mp3_exception(N_("libmpg123: %s"), {std::string(mpg123_plain_strerror(code))});
}

// The library's own reason why it stopped walking the frames.
[[noreturn]] void refuseWalk(mpg123_handle* handle, uint64_t frame) {
    if (frame == 0) refuseNoFrame();
    throw mp3_exception(N_("The frames are damaged after frame %s: %s"), {frame, std::string(mpg123_strerror(handle))});
}

// mpg123_init() must run once before the first handle is made (newer
// versions of the library do nothing in it). A function-local static is
// initialised exactly once even when several threads arrive together.
void initLibrary() {
    static const int result = mpg123_init();
    if (result != MPG123_OK) libraryError(result);
}

bool hasMagic(ByteView bytes, size_t offset, std::string_view magic) {
    if (offset > bytes.size() || bytes.size() - offset < magic.size()) return false;
    return std::equal(magic.begin(), magic.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                      [](char expected, uint8_t byte) { return static_cast<uint8_t>(expected) == byte; });
}

// The whole size of the ID3v2 tag that starts at `offset`, or 0 when none
// does. Its 10-byte header holds "ID3", version, revision, flags, and the
// body size as four 7-bit bytes.
size_t id3v2TagSize(ByteView bytes, size_t offset) {
    if (!hasMagic(bytes, offset, "ID3") || bytes.size() - offset < 10) return 0;
    Mp3Cursor cursor(bytes.subspan(offset, 10), offset, N_("ID3v2 tag"));
    cursor.skip(3, N_("identifier"));
    const uint8_t version = cursor.u8(N_("version"));
    const uint8_t revision = cursor.u8(N_("revision"));
    const uint8_t flags = cursor.u8(N_("flags"));
    if (version == 0xFF || revision == 0xFF) return 0;
    size_t bodySize = 0;
    for (int i = 0; i < 4; ++i) {
        const uint8_t byte = cursor.u8(N_("size"));
        if ((byte & 0x80) != 0) return 0;
        bodySize = (bodySize << 7) | byte;
    }
    // The footer flag exists from version 4 on; the footer repeats the
    // header after the body.
    const bool hasFooter = version >= 4 && (flags & 0x10) != 0;
    return 10 + bodySize + (hasFooter ? 10 : 0);
}

size_t apeTagSize(ByteView region) {
    const size_t size = region.size();
    if (size < 32 || !hasMagic(region, size - 32, "APETAGEX")) return 0;
    Mp3Cursor cursor(region.subspan(size - 32), size - 32, N_("APE tag footer"));
    cursor.skip(12, N_("identifier and version"));
    // The size counts the items and the footer, not the header.
    const uint64_t itemsAndFooter = cursor.u32le(N_("size"));
    cursor.skip(4, N_("item count"));
    const bool hasHeader = (cursor.u32le(N_("flags")) & 0x80000000u) != 0;
    const uint64_t total = itemsAndFooter + (hasHeader ? 32 : 0);
    if (itemsAndFooter < 32 || total > size) return 0;
    if (hasHeader && !hasMagic(region, size - total, "APETAGEX")) return 0;
    return static_cast<size_t>(total);
}

size_t lyrics3v2TagSize(ByteView region) {
    const size_t size = region.size();
    if (size < 15 || !hasMagic(region, size - 9, "LYRICS200")) return 0;
    // Six decimal digits: the size of the tag up to them, "LYRICSBEGIN"
    // included.
    Mp3Cursor cursor(region.subspan(size - 15, 6), size - 15, N_("Lyrics3 tag"));
    size_t contentSize = 0;
    for (int i = 0; i < 6; ++i) {
        const uint8_t digit = cursor.u8(N_("size"));
        if (digit < '0' || digit > '9') return 0;
        contentSize = contentSize * 10 + (digit - '0');
    }
    const size_t total = contentSize + 15;
    if (total > size || !hasMagic(region, size - total, "LYRICSBEGIN")) return 0;
    return total;
}

size_t lyrics3v1TagSize(ByteView region) {
    const size_t size = region.size();
    if (size < 20 || !hasMagic(region, size - 9, "LYRICSEND")) return 0;
    // The lyrics between "LYRICSBEGIN" and "LYRICSEND" are at most 5100
    // bytes long; the nearest "LYRICSBEGIN" before the end starts the tag.
    const size_t latest = size - 20;
    const size_t earliest = latest > 5100 ? latest - 5100 : 0;
    for (size_t at = latest + 1; at-- > earliest;) {
        if (hasMagic(region, at, "LYRICSBEGIN")) return size - at;
    }
    return 0;
}

// The size of a known tag that ends `region`, or 0 when none does.
size_t trailingTagSize(ByteView region) {
    if (region.size() >= 128 && hasMagic(region, region.size() - 128, "TAG")) return 128;
    for (size_t (*tagSize)(ByteView) : {apeTagSize, lyrics3v2TagSize, lyrics3v1TagSize}) {
        if (const size_t size = tagSize(region)) return size;
    }
    return 0;
}

// libmpg123 reads the frames through these callbacks from memory, so that it
// sees the end of the data (a file with a single frame is confirmed by
// reaching the end) and never reads past it.
struct MemoryStream {
    ByteView bytes;
    size_t position = 0;
};

ssize_t readStream(void* handle, void* out, size_t count) {
    auto& stream = *static_cast<MemoryStream*>(handle);
    const size_t n = std::min(count, stream.bytes.size() - stream.position);
    if (n > 0) std::memcpy(out, stream.bytes.data() + stream.position, n);
    stream.position += n;
    return static_cast<ssize_t>(n);
}

off_t seekStream(void* handle, off_t offset, int whence) {
    auto& stream = *static_cast<MemoryStream*>(handle);
    const auto size = static_cast<off_t>(stream.bytes.size());
    off_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<off_t>(stream.position);
    } else if (whence == SEEK_END) {
        base = size;
    } else if (whence != SEEK_SET) {
        return -1;
    }
    if (offset < -base || offset > size - base) return -1;
    stream.position = static_cast<size_t>(base + offset);
    return base + offset;
}

struct HandleDelete {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDelete>;

Handle openStream(MemoryStream& stream) {
    initLibrary();
    int error = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &error));
    if (!handle) libraryError(error);
    // The information frame is walked as the plain frame it is stored as;
    // length fields of the file are not trusted; the end of the data is not
    // peeked at for an ID3v1 tag, the trailing tags being gone already.
    const long flags =
        MPG123_QUIET | MPG123_IGNORE_INFOFRAME | MPG123_SKIP_ID3V2 | MPG123_IGNORE_STREAMLENGTH | MPG123_NO_PEEK_END;
    if ((error = mpg123_param(handle.get(), MPG123_ADD_FLAGS, flags, 0)) != MPG123_OK) libraryError(error);
    if ((error = mpg123_replace_reader_handle(handle.get(), readStream, seekStream, nullptr)) != MPG123_OK) {
        libraryError(error);
    }
    if ((error = mpg123_open_handle(handle.get(), &stream)) != MPG123_OK) libraryError(error);
    return handle;
}

}  // namespace

Mp3Info inspectMp3(ByteView bytes) {
    size_t start = 0;
    while (const size_t tagSize = id3v2TagSize(bytes, start)) {
        if (tagSize > bytes.size() - start) {
            throw mp3_exception(N_("The ID3v2 tag at offset %s claims %s bytes, more than the file holds."),
                                {start, tagSize});
        }
        start += tagSize;
    }
    size_t end = bytes.size();
    while (const size_t tagSize = trailingTagSize(bytes.subspan(start, end - start))) end -= tagSize;

    MemoryStream stream{bytes.subspan(start, end - start)};
    const Handle handle = openStream(stream);
    const size_t streamSize = stream.bytes.size();
    Mp3Info info;
    size_t framesEnd = 0;
    bool mpeg1 = false;
    for (;;) {
        const int result = mpg123_framebyframe_next(handle.get());
        if (result == MPG123_DONE) break;
        // The stream comes up short only at its end: the data ended inside
        // a frame, which is no complete frame and becomes trailing bytes.
        if (result == MPG123_ERR && mpg123_errcode(handle.get()) == MPG123_ERR_READER) break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) refuseWalk(handle.get(), info.frameCount);

        mpg123_frameinfo2 frame{};
        size_t bodySize = 0;
        if (mpg123_info2(handle.get(), &frame) != MPG123_OK ||
            mpg123_framedata(handle.get(), nullptr, nullptr, &bodySize) != MPG123_OK) {
            refuseWalk(handle.get(), info.frameCount);
        }
        // Each frame lies inside the stream, after the previous one (junk
        // may separate them). The library's positions are checked rather
        // than trusted before any offset is derived from them.
        const off_t position = mpg123_framepos(handle.get());
        if (position < 0 || static_cast<uint64_t>(position) < framesEnd ||
            static_cast<uint64_t>(position) > streamSize) {
            refuseDamage(info.frameCount);
        }
        const auto frameStart = static_cast<size_t>(position);
        if (streamSize - frameStart < 4 || bodySize > streamSize - frameStart - 4) refuseDamage(info.frameCount);

        const unsigned rate = frame.rate > 0 ? static_cast<unsigned>(frame.rate) : 0;
        const unsigned channels = frame.mode == MPG123_M_MONO ? 1 : 2;
        if (frame.layer != 3) refuseLayer(frame.layer);
        if (rate == 0) refuseDamage(info.frameCount);
        if (info.frameCount == 0) {
            info.sampleRate = rate;
            info.channels = channels;
            info.startOffset = start + frameStart;
            mpeg1 = frame.version == MPG123_1_0;
        } else if (rate != info.sampleRate) {
            throw mp3_exception(N_("The sample rate changes from %s Hz to %s Hz after frame %s."),
                                {info.sampleRate, rate, info.frameCount});
        } else if (channels != info.channels) {
            throw mp3_exception(N_("The channel count changes from %s to %s after frame %s."),
                                {info.channels, channels, info.frameCount});
        }
        framesEnd = frameStart + 4 + bodySize;
        ++info.frameCount;
    }
    if (info.frameCount == 0) refuseNoFrame();

    // MPEG-1 layer III frames hold 1152 samples per channel, MPEG-2 and 2.5
    // ones 576 (the version goes with the rate, which does not change).
    info.sampleCount = info.frameCount * (mpeg1 ? 1152 : 576);
    info.trailingBytes = bytes.size() - (start + framesEnd);
    return info;
}

}  // namespace mp3
