#pragma once

#include "util/error.h"

namespace sound {

// Failures of reading, converting and writing sounds.
class sound_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

}  // namespace sound
