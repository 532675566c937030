#pragma once
// Ctrl-C and the signals that end the program. Ctrl-C never ends the run: at
// a prompt it starts the question over, during a long operation it stops
// that operation. SIGTERM and SIGHUP end the program as before, but first
// remove the temporary files of the writes in progress and put back the
// terminal's window title.

#include <string>

namespace l18n {

// Thrown where a long operation notices Ctrl-C. It deliberately does not
// derive from std::exception, so that no handler of one resource's failure
// takes it for an error of that resource: it stops the whole operation.
struct operation_cancelled {};

void installSignalHandlers();

// Forgets a Ctrl-C pressed before now (at the start of a prompt).
void clearInterrupt();
// Whether Ctrl-C was pressed since the last clearInterrupt(), forgetting it.
bool takeInterrupt();
// Throws operation_cancelled when Ctrl-C was pressed since the last
// clearInterrupt(). It does not forget it: every thread of the operation
// sees it and stops, until the dialogue asks its next question. It is also
// the check of checkCancelled() (util/cancellation.h) once the handlers are
// installed.
void checkInterrupt();

// While one lives, the file at `path` (the temporary file of a write in
// progress) is removed if SIGTERM or SIGHUP ends the program. Several may
// live at once, on any threads; beyond kMaxRemovedOnTermination at once, or
// for a path longer than the system allows, the file is left as it is.
class RemovedOnTermination {
public:
    explicit RemovedOnTermination(const std::string& path);
    ~RemovedOnTermination();
    RemovedOnTermination(const RemovedOnTermination&) = delete;
    RemovedOnTermination& operator=(const RemovedOnTermination&) = delete;

private:
    int slot_;  // -1: not registered
};

inline constexpr int kMaxRemovedOnTermination = 16;

}  // namespace l18n
