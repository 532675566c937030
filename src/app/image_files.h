#pragma once
// Images: exported as PNG files, and replaced from a PNG, JPEG, GIF, WebP
// or BMP file, whose content decides its format.

#include <string>
#include <vector>

#include "app/resource_kind.h"

namespace vorlune_forge {

// The PNG file of a lossless bitmap.
ByteBuffer imageFile(const swf::Tag& tag);

// Reads the picture at `path`; what it returns decodes it and makes the
// bitmap's new tag from its pixels, warning when transparency is lost.
ReplacementFile readImage(const std::string& path);

// Its size and whether it has alpha; a warning when a replacement changes
// its size.
std::vector<Message> imageFacts(const swf::Tag& tag);
const char* imageResized(const swf::Tag& before, const swf::Tag& after);

}  // namespace vorlune_forge
