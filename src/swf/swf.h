#pragma once
// One loaded Flash movie: its header values, its tags and, when it came out
// of a projector executable, the projector.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "codecs/picture.h"
#include "codecs/sha256.h"
#include "swf/compression.h"
#include "swf/swf_exception.h"
#include "swf/tags.h"
#include "util/bytes.h"

namespace swf {

class SWF {
public:
    // Loads a movie (uncompressed, zlib or LZMA) or a PE or ELF projector
    // with a movie appended.
    explicit SWF(ByteBuffer bytes);

    // The uncompressed file built from the header fields and the tags.
    ByteBuffer toBytes() const;
    // The file in the given form; `progress`, when set, follows the
    // compression.
    ByteBuffer exportSwf(Compression form, const ProgressSink& progress = {}) const;

    // The tag whose record stands in a file for one of the movie's tags.
    using TagSubstitute = std::function<const Tag&(const Tag&)>;
    // The digest of the uncompressed file with the record of
    // `substitute(tag)` in place of each tag's, computed as the records are
    // written, without the file being built whole.
    sha256::Digest uncompressedDigest(const TagSubstitute& substitute) const;

    // A new executable from a projector and the current movie. An empty
    // `projectorBytes` means the held projector.
    ByteBuffer exportExe(const ByteBuffer& projectorBytes, Compression form, const ProgressSink& progress = {});

    // Puts `replacement` into the stream in the place of `current`, one of
    // the movie's tags, and returns that one.
    std::unique_ptr<Tag> exchangeTag(const Tag& current, std::unique_ptr<Tag> replacement);

    // The name of each tag code the program knows; "Unknown" for any other.
    static const std::map<TagCode, std::string> tagTypeNames;
    static const std::string& tagTypeName(TagCode code);
    // The tags of one code, in stream order.
    std::vector<const Tag*> tagsWithCode(TagCode code) const;
    // Every symbol name, by character id: the first name a SymbolClass tag
    // gives each id, found in one walk over the tags.
    std::map<uint64_t, std::string> symbolNames() const;

    // Typed lookups. Every tag of the kind T: T's codes in their order, each
    // in stream order; a const movie gives const tags.
    template <typename T>
    std::vector<const T*> tagsOfKind() const {
        return collectKind<T>(*this);
    }
    template <typename T>
    std::vector<T*> tagsOfKind() {
        return collectKind<T>(*this);
    }
    // The first of those with the character id, or swf_exception with T's
    // message for a missing id.
    template <typename T>
    const T& tagWithId(uint64_t id) const {
        return required<T>(firstWithId(tagsOfKind<T>(), id), id);
    }
    template <typename T>
    T& tagWithId(uint64_t id) {
        return required<T>(firstWithId(tagsOfKind<T>(), id), id);
    }

    std::vector<std::unique_ptr<Tag>> tags;
    uint8_t version = 0;
    // The form the movie was loaded in.
    Compression compression = Compression::Uncompressed;
    ByteBuffer frameSize;
    uint16_t frameRate = 0;
    uint16_t frameCount = 0;
    bool projectorIsPE = false;
    ByteBuffer projector;
    uint32_t projectorMarker = 0xFA123456;

private:
    // Loading: projector, header, tag records.
    void parseSwf(ByteBuffer bytes);
    // The movie inside a PE or ELF projector, which is kept; other bytes are
    // returned unchanged.
    ByteBuffer exe2swf(ByteBuffer bytes);
    // Replaces compressed bytes by the uncompressed file, reads the header
    // fields and returns the offset of the first tag record.
    size_t parseSwfHeader(ByteBuffer& bytes);
    void parseTags(ByteView bytes, size_t offset);

    // The tags of kind T of `movie`, as const tags when the movie is const.
    template <typename T, typename Movie>
    static auto collectKind(Movie& movie) {
        using Pointer = std::conditional_t<std::is_const_v<Movie>, const T*, T*>;
        std::vector<Pointer> found;
        for (const TagCode code : T::kCodes) {
            for (const auto& tag : movie.tags) {
                if (tag->code != code) continue;
                if (const Pointer typed = dynamic_cast<Pointer>(tag.get())) found.push_back(typed);
            }
        }
        return found;
    }

    template <typename Pointer>
    static Pointer firstWithId(const std::vector<Pointer>& tags, uint64_t id) {
        for (const Pointer tag : tags) {
            if (tag->characterId == id) return tag;
        }
        return nullptr;
    }

    template <typename T, typename Pointer>
    static auto& required(Pointer tag, uint64_t id) {
        if (tag == nullptr) throw swf_exception(T::kMissingId, {id});
        return *tag;
    }
};

// The conversions of one tag to and from the files the user edits. The
// file's conversions make a new tag from a copy of the one they replace and
// leave that one as it is; SWF::exchangeTag puts it in its place.
ByteBuffer imageToPng(const Tag_DefineBitsLossless& image);
// The straight (R, G, B, A) pixels the PNG file of the bitmap shows, row by
// row.
ByteBuffer imagePixels(const Tag_DefineBitsLossless& image);
// The bitmap's new tag showing the picture: its pixels premultiplied, as
// the game stores them, and deflated. A bitmap of code 20 stores no alpha:
// `droppedAlpha`, when given, tells whether the picture had transparent
// pixels that it lost.
std::unique_ptr<Tag_DefineBitsLossless> imageFromPixels(picture::Picture picture, const Tag_DefineBitsLossless& image,
                                                        bool* droppedAlpha = nullptr);
ByteBuffer soundToMp3(const Tag_DefineSound& sound);
std::unique_ptr<Tag_DefineSound> soundFromMp3(const ByteBuffer& mp3, const Tag_DefineSound& sound);
// MP3 frames of one sample rate and channel count: `sampleCount` samples a
// channel, of which the player skips `seekSamples` first.
struct Mp3Stream {
    unsigned sampleRate = 0;
    unsigned channels = 0;
    uint64_t sampleCount = 0;
    uint16_t seekSamples = 0;
};
std::unique_ptr<Tag_DefineSound> soundWithFrames(ByteView frames, const Mp3Stream& stream,
                                                 const Tag_DefineSound& sound);
std::unique_ptr<Tag_DefineBinaryData> binaryWithPayload(ByteBuffer payload, const Tag_DefineBinaryData& binary);

}  // namespace swf
