#pragma once
// Whole-file input and output. Files are opened, read or written whole, and
// closed within one call; failures throw std::runtime_error with a message
// fit to show the user.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace l18n {

// Replaces `out` with the whole content of the file at `path` and returns its
// size. Works for streams that cannot report a size (pipes, /proc files).
size_t readBinaryFile(const std::string& path, std::vector<uint8_t>& out);

// Creates or truncates the file at `path`, writes `data` and returns the
// number of bytes written.
size_t writeBinaryFile(const std::string& path, const std::vector<uint8_t>& data);

}  // namespace l18n
