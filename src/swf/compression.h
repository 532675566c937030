#pragma once
// The three forms of a whole SWF file, told apart by their signature.
//
// Everything that treats the forms differently is a switch over
// Compression without a default, so that the compiler names each place a
// new form must reach; what is generic (the form of a signature, the form
// of a number) walks the forms in the order of their numbers, which is
// itself such a switch (compression.cpp).

#include <optional>
#include <vector>

#include "util/bytes.h"

namespace swf {

// The zlib level of "CWS" files.
inline constexpr int kMovieZlibLevel = 9;

enum class Compression {
    Uncompressed,  // "FWS"
    Zlib,          // "CWS", zlib from offset 8
    Lzma,          // "ZWS", LZMA from offset 12
};

// The form numbered `number`, 0 (none), 1 (zlib) or 2 (LZMA), where a
// number stands for it; swf_exception "Invalid compression option."
// for any other.
Compression compressionOf(int number);

// Every form, in the order of their numbers.
std::vector<Compression> compressions();

// The form whose signature starts `bytes`, or nothing.
std::optional<Compression> signatureCompression(ByteView bytes);

// The first letter of the signature of a file in that form.
char signatureLetter(Compression compression);

}  // namespace swf
