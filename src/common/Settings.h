#pragma once

#include <cstdint>
#include <string>

// The program's settings live as values under one key of the user's registry branch,
// always in the 64-bit view.
inline constexpr const wchar_t* kDefaultSettingsKeyPath = L"Software\\Kestrine\\Orvalux";

// The key in use: the default, or ORVALUX_SETTINGS_KEY when set to another key under
// HKEY_CURRENT_USER\Software (so tests never touch a user's real settings).
std::wstring SettingsKeyPath();
// For tests in process: use another key from now on (empty restores the default).
void SetSettingsKeyPathForTesting(const std::wstring& path);

// Creates the key when missing and writes one REG_DWORD. Returns whether it was written.
bool WriteSettingDword(const wchar_t* name, uint32_t value);

// Reads one REG_DWORD into `value` and returns true; a missing key or value, or a value
// that is not a 4-byte REG_DWORD, leaves `value` as it was and returns false.
bool ReadSettingDword(const wchar_t* name, uint32_t& value);
