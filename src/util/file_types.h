#pragma once
// Recognising file types by their first bytes. Each test returns false when
// the buffer is too short for it and never reads past the end.

#include <cstdint>
#include <vector>

bool isPEfile(const std::vector<uint8_t>& data);
bool isELFfile(const std::vector<uint8_t>& data);
bool isPNGfile(const std::vector<uint8_t>& data);
bool isGIFfile(const std::vector<uint8_t>& data);

// Files people often give where a PNG image or an MP3 sound is wanted,
// recognised by their start alone, so that a file cut short still is.
bool hasJPEGstart(const std::vector<uint8_t>& data);
bool isBMPfile(const std::vector<uint8_t>& data);
bool isWebPfile(const std::vector<uint8_t>& data);
bool isWAVfile(const std::vector<uint8_t>& data);
bool isOggfile(const std::vector<uint8_t>& data);
bool isFLACfile(const std::vector<uint8_t>& data);
// Raw AAC (ADTS or ADIF) or an MP4 container, as .m4a files are.
bool isAACfile(const std::vector<uint8_t>& data);
