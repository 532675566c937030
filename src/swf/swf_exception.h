#pragma once

#include <exception>
#include <string>

namespace swf {

// Failures of the SWF container, the media conversions and the AMF codecs.
class swf_exception : public std::exception {
public:
    explicit swf_exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace swf
