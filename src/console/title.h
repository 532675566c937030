#pragma once
// The terminal's window title. The program sets its own at start; on a
// terminal the title shown before is saved on the terminal's title stack
// and put back when the program ends, however it ends.

#include <string>

namespace l18n {

// Sets the title (not when colours are off). On a terminal the title shown
// before is pushed first, and popped again at exit.
void setWindowTitle(const std::string& title);

// Pops the saved title, once; does nothing when none was saved. Only writes,
// so the handlers of the signals that end the program may call it.
void restoreWindowTitle() noexcept;

}  // namespace l18n
