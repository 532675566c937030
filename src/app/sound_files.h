#pragma once
// Sounds: exported as MP3 files when they are MP3, as WAV files when they
// are uncompressed or ADPCM; replaced from an MP3, WAV, AIFF, FLAC, Ogg
// Vorbis or Opus file. An MP3 at a rate the movie can hold is stored as it
// is; anything else is encoded to MP3 at the rate, channels and bitrate of
// the sound it replaces.

#include <string>
#include <vector>

#include "app/resource_kind.h"

namespace vorlune_forge {

// Whether the sound can be exported, and the extension of its file.
bool isExportableSound(const swf::Tag& tag);
const char* soundExtension(const swf::Tag& tag);
// Why a sound cannot be exported (a message id taking its id).
const char* soundNotExportable(const swf::Tag& tag);

// The MP3 or WAV file of a sound.
ByteBuffer soundFile(const swf::Tag& tag);

// Reads the sound file at `path`; what it returns makes the sound's new
// tag from it.
ReplacementFile readSound(const std::string& path);

// Its rate, channels and length.
std::vector<Message> soundFacts(const swf::Tag& tag);

}  // namespace vorlune_forge
