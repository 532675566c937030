#pragma once
// The program's one terminal, and all that the console keeps of it from one
// call to the next: its size, where its cursor stands, the readline
// histories, and the settings that guards turn on. Output, the pager and
// input work on this object; the console keeps no other state of its own,
// but for the flags that signal handlers set (signals.cpp, title.cpp),
// which must stay safe to touch from a handler.

#include <readline/history.h>

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>

#include "console/cursor.h"
#include "console/input.h"
#include "console/setting_guard.h"

namespace l18n {

struct ScreenSize {
    size_t columns;
    size_t rows;  // 0 when unknown
};

class Terminal {
public:
    Terminal() = default;
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Reads the size of the terminal that `fd` writes to anew, as the window
    // may have been resized since the last text: 80 columns and unknown rows
    // when it cannot be read.
    const ScreenSize& measure(int fd);
    // The size last read.
    const ScreenSize& size() const { return size_; }

    // Where the cursor stands after what the program wrote. Its rows are
    // counted since the paged text began or since the last pause.
    Cursor& cursor() { return cursor_; }
    // Blanks after the last word written, held back until the next word
    // shows whether it fits on the line or a line break takes their place.
    std::string& heldBlanks() { return heldBlanks_; }

    bool isOn(Setting setting) const;
    void set(Setting setting, bool on);

    // Puts the lines of `history` in readline's place, keeping those in use
    // aside. None leaves the history in use in place: none of its lines are
    // kept.
    void useHistory(History history);

    // Whether Ctrl-C ended the line being read to cancel what asked for it:
    // set by readline's hook, read by the read when readline returns.
    bool readCancelled() const { return readCancelled_; }
    void setReadCancelled(bool cancelled) { readCancelled_ = cancelled; }

private:
    ScreenSize size_{80, 0};
    Cursor cursor_;
    std::string heldBlanks_;
    bool paging_ = false;
    bool ctrlCCancels_ = false;
    // Readline keeps one history; the others wait here while not in use. A
    // zeroed state is an empty history.
    std::array<HISTORY_STATE, static_cast<size_t>(History::None)> histories_{};
    History current_ = History::Choices;
    bool readCancelled_ = false;
};

// The terminal the program runs at.
Terminal& terminal();

// Whether `stream` writes to a terminal.
bool isTerminal(std::FILE* stream);

}  // namespace l18n
