#pragma once

#include <functional>
#include <string>

#include "codecs/lzmasdk.h"
#include "codecs/zlib.h"
#include "swf/swf.h"

namespace testmovie {

// Every form a movie can be written in, in the order of their numbers.
inline constexpr swf::Compression kEveryCompression[] = {swf::Compression::Uncompressed, swf::Compression::Zlib,
                                                         swf::Compression::Lzma};

// The message of the exception the action throws, or "(no exception)".
inline std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

inline std::string loadError(const ByteBuffer& bytes) {
    return messageOf([&] { swf::SWF movie(bytes); });
}

}  // namespace testmovie
