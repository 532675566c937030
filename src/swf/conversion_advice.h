#pragma once
// Refusals of a file given for an image or a sound that is not a PNG or an
// MP3 file. When the file is of a format people often take for one (a JPEG
// photo, a WAV recording), the reason says what it really is and how to
// convert it.

#include <exception>

#include "swf/swf_exception.h"
#include "util/bytes.h"

namespace swf {

inline constexpr const char* kNotPng = N_("Only PNG format is implemented.");
inline constexpr const char* kNotMp3 = N_("Error parsing MP3 file.");

// "Only PNG format is implemented.", with what the file is, when known.
swf_exception notPngError(const ByteBuffer& bytes);

// "Error parsing MP3 file." with what the file is, when known, or else the
// MP3 reader's reason.
swf_exception notMp3Error(const ByteBuffer& bytes, const std::exception& reason);

}  // namespace swf
