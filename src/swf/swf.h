#pragma once
// One loaded Flash movie: its header values, its tags and, when it came out
// of a projector executable, the projector.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

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

    // Loading: projector, header, tag records.
    void parseSwf(ByteBuffer bytes);
    // Replaces compressed bytes by the uncompressed file, reads the header
    // fields and returns the offset of the first tag record.
    size_t parseSwfHeader(ByteBuffer& bytes);

    // The uncompressed file built from the header fields and the tags.
    ByteBuffer toBytes() const;
    // The file in the given form; `progress`, when set, follows the
    // compression.
    ByteBuffer exportSwf(Compression form, const ProgressSink& progress = {}) const;

    // Projectors: the movie inside a PE or ELF projector (other bytes are
    // returned unchanged), and a new executable from a projector and the
    // current movie. An empty `projectorBytes` means the held projector.
    ByteBuffer exe2swf(ByteBuffer bytes);
    ByteBuffer exportExe(const ByteBuffer& projectorBytes, Compression form, const ProgressSink& progress = {});

    // Stage and data files: the payload of a DefineBinaryData tag.
    ByteBuffer exportBinary(uint64_t id) const;
    void replaceBinary(const ByteBuffer& data, uint64_t id);

    // Lossless bitmaps (codes 20 and 36) as PNG files.
    ByteBuffer exportImage(uint64_t id) const;
    void replaceImg(const ByteBuffer& bytes, uint64_t id, bool* droppedAlpha = nullptr);

    // MP3 sounds.
    ByteBuffer exportMp3(uint64_t id) const;
    void replaceMp3(const ByteBuffer& bytes, uint64_t id);

    // Puts `replacement` into the stream in the place of `current`, one of
    // the movie's tags, and returns that one.
    std::unique_ptr<Tag> exchangeTag(const Tag& current, std::unique_ptr<Tag> replacement);

    // Tag names and lookups. The number of a code is converted once, here.
    static const std::map<int, std::string> tagTypeNames;
    static int tagId(const std::string& name);
    static const std::string& tagTypeName(int code);
    static const std::string& tagTypeName(TagCode code) { return tagTypeName(codeOf(code)); }
    Tag* getTagWithId(uint64_t id);
    const Tag* getTagWithId(uint64_t id) const;
    std::vector<Tag*> getTagsOfType(int code) { return tagsWithCode(tagCode(code)); }
    std::vector<Tag*> tagsWithCode(TagCode code);
    std::vector<const Tag*> tagsWithCode(TagCode code) const;
    std::string getSymbolName(uint64_t id) const;
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
    // The first of those with the character id, or nullptr.
    template <typename T>
    const T* findTag(uint64_t id) const {
        return firstWithId(tagsOfKind<T>(), id);
    }
    template <typename T>
    T* findTag(uint64_t id) {
        return firstWithId(tagsOfKind<T>(), id);
    }
    // The same, or swf_exception with T's message for a missing id.
    template <typename T>
    const T& tagWithId(uint64_t id) const {
        return required<T>(findTag<T>(id), id);
    }
    template <typename T>
    T& tagWithId(uint64_t id) {
        return required<T>(findTag<T>(id), id);
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

// The conversions of one tag, for work that already holds the tag: what
// the SWF members of the same names do after looking the tag up by id. The
// file's conversions make a new tag from a copy of the one they replace and
// leave that one as it is.
ByteBuffer imageToPng(const Tag_DefineBitsLossless& image);
// The straight (R, G, B, A) pixels the PNG file of the bitmap shows, row by
// row.
ByteBuffer imagePixels(const Tag_DefineBitsLossless& image);
// A PNG file's size and its pixels as straight (R, G, B, A), refused as the
// replacement of an image refuses it.
struct DecodedPng {
    uint16_t width = 0;
    uint16_t height = 0;
    ByteBuffer rgba;
};
DecodedPng readPng(const ByteBuffer& png);
std::unique_ptr<Tag_DefineBitsLossless> imageFromPixels(DecodedPng decoded, const Tag_DefineBitsLossless& image,
                                                        bool* droppedAlpha = nullptr);
std::unique_ptr<Tag_DefineBitsLossless> imageFromPng(const ByteBuffer& png, const Tag_DefineBitsLossless& image,
                                                     bool* droppedAlpha = nullptr);
ByteBuffer soundToMp3(const Tag_DefineSound& sound);
std::unique_ptr<Tag_DefineSound> soundFromMp3(const ByteBuffer& mp3, const Tag_DefineSound& sound);
std::unique_ptr<Tag_DefineBinaryData> binaryWithPayload(ByteBuffer payload, const Tag_DefineBinaryData& binary);

}  // namespace swf
