#include "app/Hotkeys.h"

#include "app/TrayRules.h"
#include "common/Settings.h"

bool RegisterPanelHotkey(HWND window, int id, uint32_t stored) {
    ::UnregisterHotKey(window, id);
    const auto combination = HotkeyFromStored(stored);
    if (!combination) {
        return true;
    }
    return ::RegisterHotKey(window, id, combination->modifiers, combination->virtualKey) != FALSE;
}

void RegisterStoredHotkeys(HWND window) {
    for (int id = kFirstHotkeyId; id <= kLastHotkeyId; ++id) {
        uint32_t stored = 0;
        ReadSettingDword(kHotkeySettingNames[static_cast<size_t>(id - kFirstHotkeyId)], stored);
        if (stored != 0) {
            RegisterPanelHotkey(window, id, stored);
        }
    }
}
