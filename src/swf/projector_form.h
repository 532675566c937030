#pragma once
// The forms a Flash Player projector can have.

#include "util/bytes.h"

namespace swf {

// Throws swf_exception "No projector file given." for no bytes and "Invalid
// projector file." for bytes that are neither a PE nor an ELF executable.
void checkProjectorForm(const ByteBuffer& bytes);

}  // namespace swf
