#include "app/Hotkeys.h"

#include "app/Application.h"
#include "app/TrayRules.h"
#include "common/Settings.h"
#include "ui/HotkeyDialog.h"
#include "ui/Localization.h"

#include "resource.h"

namespace {

const wchar_t* HotkeySettingName(int id) {
    return kHotkeySettingNames[static_cast<size_t>(id - kFirstHotkeyId)];
}

HotkeyChoice ReadStoredChoice() {
    HotkeyChoice stored;
    for (int id = kFirstHotkeyId; id <= kLastHotkeyId; ++id) {
        ReadSettingDword(HotkeySettingName(id), stored.hotkeys[static_cast<size_t>(id - kFirstHotkeyId)]);
    }
    uint32_t increment = kDefaultHotkeyIncrement;
    ReadSettingDword(L"HotkeyIncrement", increment);
    stored.increment = HotkeyIncrementFromStored(increment);
    return stored;
}

// Runs the dialog with `stored`; none when it was cancelled.
std::optional<HotkeyChoice> AskForHotkeys(HWND owner, const HotkeyChoice& stored) {
    CHotkeyDlg dialog;
    dialog.hotkeyMonitorOff = stored.hotkeys[0];
    dialog.hotkeyBrightnessUp = stored.hotkeys[1];
    dialog.hotkeyBrightnessDown = stored.hotkeys[2];
    dialog.hotkeyContrastUp = stored.hotkeys[3];
    dialog.hotkeyContrastDown = stored.hotkeys[4];
    dialog.increment = stored.increment;
    if (dialog.Run(owner) != 1) {
        return std::nullopt;
    }
    return HotkeyChoice{{dialog.hotkeyMonitorOff, dialog.hotkeyBrightnessUp, dialog.hotkeyBrightnessDown,
                         dialog.hotkeyContrastUp, dialog.hotkeyContrastDown},
                        dialog.increment};
}

} // namespace

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
        ReadSettingDword(HotkeySettingName(id), stored);
        if (stored != 0) {
            RegisterPanelHotkey(window, id, stored);
        }
    }
}

void EditHotkeys(HWND owner, HWND registrationWindow) {
    for (;;) {
        const HotkeyChoice stored = ReadStoredChoice();
        const std::optional<HotkeyChoice> chosen = AskForHotkeys(owner, stored);
        if (!chosen || *chosen == stored) {
            return;
        }
        const std::optional<int> failed = RegisterHotkeysInOrder(
            chosen->hotkeys,
            [registrationWindow](int id, uint32_t code) {
                return RegisterPanelHotkey(registrationWindow, id, code);
            },
            [](int id, uint32_t code) { WriteSettingDword(HotkeySettingName(id), code); });
        if (!failed) {
            WriteSettingDword(L"HotkeyIncrement", chosen->increment);
            hotkeyIncrement = chosen->increment;
            return;
        }
        // The answer changes nothing: the dialog opens again either way.
        ::MessageBoxW(owner, LoadText(static_cast<unsigned>(IDS_HOTKEY_TAKEN_BASE + *failed)),
                      LoadText(IDS_HOTKEY_TAKEN_CAPTION), MB_OKCANCEL | MB_ICONINFORMATION);
    }
}
