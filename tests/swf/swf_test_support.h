#pragma once

#include <lodepng.h>

#include <functional>
#include <string>

#include "codecs/lzmasdk.h"
#include "codecs/zlib.h"
#include "swf/swf.h"
#include "util/message_of.h"

namespace testmovie {

// Every form a movie can be written in, in the order of their numbers.
inline constexpr swf::Compression kEveryCompression[] = {swf::Compression::Uncompressed, swf::Compression::Zlib,
                                                         swf::Compression::Lzma};

using testsupport::messageOf;

// A PNG file whose header claims `width` x `height` pixels: the file of one
// pixel, its header changed and the header's CRC made to match.
inline ByteBuffer pngClaiming(uint32_t width, uint32_t height) {
    ByteBuffer png;
    lodepng::encode(png, ByteBuffer(4, 0), 1, 1);
    ByteBuffer size;
    appendU32be(size, width);
    appendU32be(size, height);
    std::copy(size.begin(), size.end(), png.begin() + 16);
    lodepng_chunk_generate_crc(png.data() + 8);
    return png;
}

inline std::string loadError(const ByteBuffer& bytes) {
    return messageOf([&] { swf::SWF movie(bytes); });
}

// An export and a replacement of one resource, as the program makes them:
// the tag with the id is looked up first, then converted, and a
// replacement is put in the place of the tag it was made from.
inline ByteBuffer exportedImage(const swf::SWF& movie, uint64_t id) {
    return swf::imageToPng(movie.tagWithId<swf::Tag_DefineBitsLossless>(id));
}

inline void replaceImage(swf::SWF& movie, const ByteBuffer& png, uint64_t id) {
    const auto& image = movie.tagWithId<swf::Tag_DefineBitsLossless>(id);
    movie.exchangeTag(image, swf::imageFromPixels(picture::decodePicture(png), image));
}

inline ByteBuffer exportedSound(const swf::SWF& movie, uint64_t id) {
    return swf::soundToMp3(movie.tagWithId<swf::Tag_DefineSound>(id));
}

inline void replaceSound(swf::SWF& movie, const ByteBuffer& mp3, uint64_t id) {
    const auto& sound = movie.tagWithId<swf::Tag_DefineSound>(id);
    movie.exchangeTag(sound, swf::soundFromMp3(mp3, sound));
}

}  // namespace testmovie
