#pragma once
// Ctrl-C and the signals that end the program. Ctrl-C never ends the run: at
// a prompt it starts the question over, during a long operation it stops
// that operation. SIGTERM and SIGHUP end the program as before, but first
// remove the temporary file of a game export in progress.

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

// The temporary file a game export is writing, removed if the program is
// ended by a signal before the file is renamed into place. Empty: none.
void setTemporaryFile(const std::string& path);

}  // namespace l18n
