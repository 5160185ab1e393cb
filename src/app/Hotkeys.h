#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

// The five global hotkeys, registered for the panel window.

// Registry values of hotkeys 2..6 in id order.
inline constexpr std::array<const wchar_t*, 5> kHotkeySettingNames = {
    L"HotkeyMonitorOff", L"HotkeyBrightnessUp", L"HotkeyBrightnessDown", L"HotkeyContrastUp",
    L"HotkeyContrastDown"};

// Registers hotkey `id` of `window` with the stored hotkey-control value, replacing what
// was registered for that id. A value that names no hotkey leaves it off, which succeeds.
bool RegisterPanelHotkey(HWND window, int id, uint32_t stored);

// Registers every stored hotkey for `window`; a combination another program holds is
// silently left unregistered.
void RegisterStoredHotkeys(HWND window);

// The hotkey dialog loop of the panel's hotkeys button: the dialog opens with the stored
// hotkeys and step; the chosen hotkeys are registered for `registrationWindow` in id order,
// each one stored once it is registered. A combination that is taken is reported, with
// `owner` as the message's owner, and the dialog opens again with what is stored by then.
// Once all five are registered the step is stored and becomes the hotkeys' step. Cancel, or
// a choice that changes nothing, ends it.
void EditHotkeys(HWND owner, HWND registrationWindow);
