#pragma once
// The message of a failure, for the tests that compare messages.

#include <exception>
#include <functional>
#include <string>

namespace testsupport {

// The message of the exception the action throws, or "(no exception)".
inline std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

}  // namespace testsupport
