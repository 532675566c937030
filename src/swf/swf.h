#pragma once
// One loaded Flash movie: its header values, its tags and, when it came out
// of a projector executable, the projector.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
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

    ByteBuffer zlibDecompress(ByteView bytes) const;
    ByteBuffer lzmaDecompress(ByteView bytes) const;
    ByteBuffer zlibCompress(ByteView bytes) const;
    ByteBuffer lzmaCompress(ByteView bytes) const;

    // The uncompressed file built from the header fields and the tags.
    ByteBuffer toBytes() const;
    // The file in the given form; `progress`, when set, follows the
    // compression. The number is that of compressionOf.
    ByteBuffer exportSwf(Compression compression, const ProgressSink& progress = {}) const;
    ByteBuffer exportSwf(int compression, const ProgressSink& progress = {}) const;

    // Projectors: the movie inside a PE or ELF projector (other bytes are
    // returned unchanged), and a new executable from a projector and the
    // current movie. An empty `projectorBytes` means the held projector.
    ByteBuffer exe2swf(ByteBuffer bytes);
    ByteBuffer exportExe(const ByteBuffer& projectorBytes, Compression compression, const ProgressSink& progress = {});
    ByteBuffer exportExe(const ByteBuffer& projectorBytes, int compression, const ProgressSink& progress = {});

    // Stage and data files: the payload of a DefineBinaryData tag.
    ByteBuffer exportBinary(uint64_t id);
    void replaceBinary(const ByteBuffer& data, uint64_t id);

    // Lossless bitmaps (codes 20 and 36) as PNG files.
    ByteBuffer exportImage(uint64_t id);
    void replaceImg(const ByteBuffer& bytes, uint64_t id, bool* droppedAlpha = nullptr);

    // MP3 sounds.
    ByteBuffer exportMp3(uint64_t id);
    void replaceMp3(const ByteBuffer& bytes, uint64_t id);

    // Tag names and lookups.
    static const std::map<int, std::string> tagTypeNames;
    static int tagId(const std::string& name);
    static const std::string& tagTypeName(int code);
    Tag* getTagWithId(uint64_t id);
    std::vector<Tag*> getTagsOfType(int code);
    std::string getSymbolName(uint64_t id) const;

    // Typed lookups. Every tag of the kind T: T's codes in their order, each
    // in stream order.
    template <typename T>
    std::vector<T*> tagsOfKind() const;
    // The first of those with the character id, or nullptr.
    template <typename T>
    T* findTag(uint64_t id) const;
    // The same, or swf_exception with T's message for a missing id.
    template <typename T>
    T& tagWithId(uint64_t id) const;

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
    ByteBuffer compressMovie(Compression compression, const ProgressSink& progress) const;
};

template <typename T>
std::vector<T*> SWF::tagsOfKind() const {
    std::vector<T*> found;
    for (const TagCode code : T::kCodes) {
        for (const auto& tag : tags) {
            if (tag->code != codeOf(code)) continue;
            if (auto* typed = dynamic_cast<T*>(tag.get())) found.push_back(typed);
        }
    }
    return found;
}

template <typename T>
T* SWF::findTag(uint64_t id) const {
    for (T* tag : tagsOfKind<T>()) {
        if (tag->characterId == id) return tag;
    }
    return nullptr;
}

template <typename T>
T& SWF::tagWithId(uint64_t id) const {
    T* tag = findTag<T>(id);
    if (tag == nullptr) throw swf_exception(T::kMissingId, {id});
    return *tag;
}

}  // namespace swf
