#pragma once
// Recognising file types by their first bytes. Each test returns false when
// the buffer is too short for it and never reads past the end.

#include <cstdint>
#include <vector>

bool isPEfile(const std::vector<uint8_t>& data);
bool isELFfile(const std::vector<uint8_t>& data);
bool isPNGfile(const std::vector<uint8_t>& data);
bool isJPEGfile(const std::vector<uint8_t>& data);
bool isGIFfile(const std::vector<uint8_t>& data);
