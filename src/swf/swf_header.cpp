// The SWF file header and the three whole-file forms: "FWS" (uncompressed),
// "CWS" (zlib from offset 8) and "ZWS" (LZMA from offset 12, after a
// compressed-length field).

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "codecs/lzmasdk.h"
#include "codecs/zlib.h"
#include "swf/swf.h"

namespace swf {
namespace {

constexpr size_t kPlainPrefix = 8;       // signature, version, file length
constexpr size_t kLzmaPropsOffset = 12;  // after the compressed length
constexpr size_t kLzmaHeaderSize = 17;   // ... and the 5 properties bytes
constexpr size_t kFrameSizeBytes = 9;
constexpr unsigned kFrameSizeBits = 16;
// LZMA cannot expand a byte into more than about 7100 bytes (repeats of the
// last match at the longest length, with every probability saturated). The
// decoder's dictionary is sized by the output limit, so the limit is kept
// within what the stream can produce: a forged length and dictionary size
// then cannot reserve gigabytes for a small file either.
constexpr size_t kMaxLzmaExpansion = 8192;

constexpr const char* kTruncatedHeader = N_("Invalid SWF file. Header is truncated");
constexpr const char* kCutShort = N_("Invalid SWF file: the file is truncated or damaged:");

// The body of a compressed file, inflated; a stream that ends early or does
// not inflate means a file cut short or damaged, and says so before the
// decoder's own reason.
template <typename Decompress>
ByteBuffer decompressedBody(Decompress decompress) {
    try {
        return decompress();
    } catch (const forge_exception& e) {
        throw swf_exception(kCutShort, {}, e);
    }
}

// Checks that the plain fields of a file in the form are all there before
// anything reads them: the signature, the version, the file length and, for
// LZMA, the compressed length and the properties.
void checkPlainFields(ByteView bytes, Compression form) {
    SwfCursor cursor(bytes, 0, kTruncatedHeader);
    cursor.skip(4, N_("signature and version"));
    cursor.skip(4, N_("file length"));
    switch (form) {
        case Compression::Uncompressed:
        case Compression::Zlib:
            return;
        case Compression::Lzma:
            cursor.skip(4, N_("compressed length"));
            cursor.skip(5, N_("LZMA properties"));
            return;
    }
}

// The uncompressed body (from offset 8) that the file length field promises,
// plus one byte, so that a longer body is seen as a mismatch without being
// inflated in full.
size_t bodyLimit(ByteView bytes) {
    const uint32_t fileLength = loadU32le(bytes.data() + 4);
    return fileLength >= kPlainPrefix ? fileLength - kPlainPrefix + 1 : 1;
}

size_t bodyHint(ByteView bytes, size_t compressedSize) {
    const size_t bound =
        compressedSize > SIZE_MAX / zlib::kMaxExpansion ? SIZE_MAX : compressedSize * zlib::kMaxExpansion;
    return std::min(bodyLimit(bytes) - 1, bound);
}

// The first 8 bytes with "F" as first letter, ahead of the inflated body.
ByteBuffer plainPrefix(ByteView bytes) {
    ByteBuffer out(bytes.begin(), bytes.begin() + kPlainPrefix);
    out[0] = static_cast<uint8_t>(signatureLetter(Compression::Uncompressed));
    return out;
}

// The uncompressed file of a "CWS" file whose plain fields were checked.
ByteBuffer zlibDecompress(ByteView bytes) {
    const ByteView stream = bytes.subspan(kPlainPrefix);
    return zlib::zlib_decompress(stream, bodyHint(bytes, stream.size()), bodyLimit(bytes), plainPrefix(bytes));
}

// The uncompressed file of a "ZWS" file whose plain fields were checked.
ByteBuffer lzmaDecompress(ByteView bytes) {
    const ByteView stream = bytes.subspan(kLzmaPropsOffset);
    const size_t limit = std::min(bodyLimit(bytes), stream.size() * kMaxLzmaExpansion);
    return lzmasdk::lzmasdk_decompress(stream, bodyHint(bytes, stream.size()), limit, plainPrefix(bytes));
}

ByteBuffer signaturePrefix(Compression form, uint8_t version, uint32_t fileLength) {
    ByteBuffer out = {static_cast<uint8_t>(signatureLetter(form)), 'W', 'S', version};
    appendU32le(out, fileLength);
    return out;
}

uint32_t checkedFileLength(size_t size) {
    if (size > UINT32_MAX) throw swf_exception(N_("The movie is too large for an SWF file (4 GiB or more)."));
    return static_cast<uint32_t>(size);
}

// "CWS", the version raised to at least 6, the file length, then the zlib
// stream of the uncompressed file from offset 8 on.
ByteBuffer zlibForm(uint8_t version, uint32_t fileLength, const ChunkSource& body, const ProgressSink& progress) {
    return zlib::zlib_compress(body, kMovieZlibLevel, fileLength - kPlainPrefix,
                               signaturePrefix(Compression::Zlib, std::max<uint8_t>(version, 6), fileLength), progress);
}

// "ZWS", the version raised to at least 13, the file length, the size of the
// LZMA stream, then the properties and the stream.
ByteBuffer lzmaForm(uint8_t version, uint32_t fileLength, const ChunkSource& body, const ProgressSink& progress) {
    ByteBuffer prefix = signaturePrefix(Compression::Lzma, std::max<uint8_t>(version, 13), fileLength);
    appendU32le(prefix, 0);
    ByteBuffer out = lzmasdk::lzmasdk_compress(body, fileLength - kPlainPrefix, std::move(prefix), progress);
    storeU32le(out.data() + 8, static_cast<uint32_t>(out.size() - kLzmaHeaderSize));
    return out;
}

// The frame size, rate and count, which follow the first 8 bytes.
void appendHeaderFields(ByteBuffer& out, const SWF& movie) {
    appendBytes(out, movie.frameSize);
    appendU16le(out, movie.frameRate);
    appendU16le(out, movie.frameCount);
}

const Tag& sameTag(const Tag& tag) { return tag; }

// The size of the uncompressed file, known without writing it.
size_t fileSizeOf(const SWF& movie, const SWF::TagSubstitute& substitute) {
    size_t size = kPlainPrefix + movie.frameSize.size() + 4;
    for (const auto& tag : movie.tags) size += substitute(*tag).recordSize();
    return size;
}

// The uncompressed file from offset 8 on, one record at a time, so that a
// compressor can take the movie in without it being built whole first. Each
// record is written once; the file length is known before from the sizes
// of the records. `substitute` names the tag whose record stands for each
// of the movie's tags.
class MovieBody {
public:
    explicit MovieBody(const SWF& movie, SWF::TagSubstitute substitute = sameTag)
        : movie_(movie),
          substitute_(std::move(substitute)),
          fileLength_(checkedFileLength(fileSizeOf(movie, substitute_))) {}

    uint32_t fileLength() const { return fileLength_; }

    ChunkSource source() {
        return [this] {
            buffer_.clear();
            if (next_ == 0) {
                appendHeaderFields(buffer_, movie_);
            } else if (next_ <= movie_.tags.size()) {
                substitute_(*movie_.tags[next_ - 1]).appendTo(buffer_);
            }
            ++next_;
            return ByteView(buffer_);
        };
    }

private:
    const SWF& movie_;
    SWF::TagSubstitute substitute_;
    uint32_t fileLength_;
    size_t next_ = 0;
    ByteBuffer buffer_;
};

}  // namespace

size_t SWF::parseSwfHeader(ByteBuffer& bytes) {
    const std::optional<Compression> form = signatureCompression(bytes);
    if (!form) throw swf_exception(N_("Invalid SWF file. Unrecognized header."));
    compression = *form;
    checkPlainFields(bytes, compression);
    switch (compression) {
        case Compression::Uncompressed:
            break;
        case Compression::Zlib:
            bytes = decompressedBody([&] { return zlibDecompress(bytes); });
            break;
        case Compression::Lzma:
            bytes = decompressedBody([&] { return lzmaDecompress(bytes); });
            break;
    }
    SwfCursor cursor(bytes, 0, kTruncatedHeader);
    cursor.skip(3, N_("signature"));
    version = cursor.u8(N_("version"));
    if (cursor.u32le(N_("file length")) != bytes.size()) {
        throw swf_exception(kCutShort, {}, swf_exception(N_("Bytes read and SWF size don't match.")));
    }
    const ByteView rectangle = cursor.bytes(kFrameSizeBytes, N_("frame size"));
    if ((rectangle[0] >> 3) != kFrameSizeBits) throw swf_exception(N_("Frame size nbits is not 16."));
    frameSize.assign(rectangle.begin(), rectangle.end());
    frameRate = cursor.u16le(N_("frame rate"));
    frameCount = cursor.u16le(N_("frame count"));
    return cursor.position();
}

ByteBuffer SWF::toBytes() const {
    ByteBuffer out = signaturePrefix(Compression::Uncompressed, version, 0);
    out.reserve(fileSizeOf(*this, sameTag));
    appendHeaderFields(out, *this);
    for (const auto& tag : tags) tag->appendTo(out);
    storeU32le(out.data() + 4, checkedFileLength(out.size()));
    return out;
}

// The compressed forms are fed record by record rather than from toBytes(),
// so that a large movie is never held twice while it is compressed.
ByteBuffer SWF::exportSwf(Compression form, const ProgressSink& progress) const {
    switch (form) {
        case Compression::Uncompressed:
            return toBytes();
        case Compression::Zlib: {
            MovieBody body(*this);
            return zlibForm(version, body.fileLength(), body.source(), progress);
        }
        case Compression::Lzma: {
            MovieBody body(*this);
            return lzmaForm(version, body.fileLength(), body.source(), progress);
        }
    }
    throw swf_exception(N_("Invalid compression option."));
}

sha256::Digest SWF::uncompressedDigest(const TagSubstitute& substitute) const {
    MovieBody body(*this, substitute);
    const ByteBuffer prefix = signaturePrefix(Compression::Uncompressed, version, body.fileLength());
    const ChunkSource rest = body.source();
    return sha256::digestOf([&, prefixGiven = false]() mutable {
        if (prefixGiven) return rest();
        prefixGiven = true;
        return ByteView(prefix);
    });
}

}  // namespace swf
