#include "console/setting_guard.h"

#include "console/terminal.h"

namespace l18n {

template <Setting setting>
SettingGuard<setting>::SettingGuard() : outer_(terminal().isOn(setting)) {
    terminal().set(setting, true);
}

template <Setting setting>
SettingGuard<setting>::~SettingGuard() {
    terminal().set(setting, outer_);
}

template class SettingGuard<Setting::Paging>;
template class SettingGuard<Setting::CtrlCCancels>;

}  // namespace l18n
