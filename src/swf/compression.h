#pragma once
// The three forms of a whole SWF file, told apart by their signature.

#include <optional>

#include "util/bytes.h"

namespace swf {

enum class Compression {
    Uncompressed,  // "FWS"
    Zlib,          // "CWS", zlib from offset 8
    Lzma,          // "ZWS", LZMA from offset 12
};

// The compression numbered 0 (none), 1 (zlib) or 2 (LZMA) where a number
// stands for it; swf_exception "Invalid compression option." for any other.
Compression compressionOf(int number);

// The form whose signature starts `bytes`, or nothing.
std::optional<Compression> signatureCompression(ByteView bytes);

// The first letter of the signature of a file in that form.
char signatureLetter(Compression compression);

}  // namespace swf
