#pragma once
// Settings of the terminal that hold for a stretch of the dialogue. A guard
// turns one on for as long as it lives and then puts back what it was, so
// that guards nest and an exception leaves the setting as it found it.

namespace l18n {

enum class Setting {
    // On a terminal that the user types at, output stops when the screen is
    // full and there is more to show, until the user presses Enter; Ctrl-D
    // or "q" there ends the paged text by throwing go_back. Elsewhere the
    // setting stays off.
    Paging,
    // Ctrl-C at a prompt does not ask again: the read throws
    // operation_cancelled, so that a question that ends a long operation can
    // stop it.
    CtrlCCancels,
};

template <Setting setting>
class SettingGuard {
public:
    SettingGuard();
    ~SettingGuard();
    SettingGuard(const SettingGuard&) = delete;
    SettingGuard& operator=(const SettingGuard&) = delete;

private:
    bool outer_;
};

extern template class SettingGuard<Setting::Paging>;
extern template class SettingGuard<Setting::CtrlCCancels>;

// While one lives, a long text stops at each screenful.
using Paging = SettingGuard<Setting::Paging>;
// While one lives, Ctrl-C at a prompt cancels what asked.
using CtrlCCancels = SettingGuard<Setting::CtrlCCancels>;

}  // namespace l18n
