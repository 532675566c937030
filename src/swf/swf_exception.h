#pragma once

#include "util/error.h"

namespace swf {

// Failures of the SWF container, the media conversions and the AMF codecs.
class swf_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

}  // namespace swf
