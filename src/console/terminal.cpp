#include "console/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

namespace l18n {

const ScreenSize& Terminal::measure(int fd) {
    winsize window{};
    if (ioctl(fd, TIOCGWINSZ, &window) != 0 || window.ws_col == 0) {
        size_ = {80, 0};
    } else {
        size_ = {window.ws_col, window.ws_row};
    }
    return size_;
}

bool Terminal::isOn(Setting setting) const {
    switch (setting) {
        case Setting::Paging:
            return paging_;
        case Setting::CtrlCCancels:
            return ctrlCCancels_;
    }
    return false;
}

void Terminal::set(Setting setting, bool on) {
    switch (setting) {
        case Setting::Paging:
            // Only a user at the keyboard can answer the pause. A text paged
            // anew counts its rows from here.
            on = on && interactive();
            if (on && !paging_) cursor_.rows = 0;
            paging_ = on;
            return;
        case Setting::CtrlCCancels:
            ctrlCCancels_ = on;
            return;
    }
}

void Terminal::useHistory(History history) {
    if (history == current_ || history == History::None) return;
    HISTORY_STATE* const now = history_get_history_state();
    histories_[static_cast<size_t>(current_)] = *now;
    std::free(now);
    history_set_history_state(&histories_[static_cast<size_t>(history)]);
    current_ = history;
}

Terminal& terminal() {
    static Terminal theTerminal;
    return theTerminal;
}

bool isTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

}  // namespace l18n
