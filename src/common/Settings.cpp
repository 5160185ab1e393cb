#include "common/Settings.h"

#include "common/UniqueResource.h"

#include <windows.h>

#include <cwchar>
#include <mutex>

namespace {

std::mutex keyPathLock;

std::wstring& KeyPathStorage() {
    static std::wstring path = [] {
        wchar_t buffer[256] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", buffer, 256);
        if (length > 0 && length < 256 && std::wcsncmp(buffer, L"Software\\", 9) == 0) {
            return std::wstring(buffer, length);
        }
        return std::wstring(kDefaultSettingsKeyPath);
    }();
    return path;
}

} // namespace

std::wstring SettingsKeyPath() {
    std::lock_guard guard(keyPathLock);
    return KeyPathStorage();
}

void SetSettingsKeyPathForTesting(const std::wstring& path) {
    std::lock_guard guard(keyPathLock);
    KeyPathStorage() = path.empty() ? std::wstring(kDefaultSettingsKeyPath) : path;
}

bool WriteSettingDword(const wchar_t* name, uint32_t value) {
    UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD data = value;
    return ::RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof(data)) == ERROR_SUCCESS;
}

bool ReadSettingDword(const wchar_t* name, uint32_t& value) {
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                        key.put()) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    // A value of another type or size is not ours: reading it as a number would
    // apply garbage to the monitors.
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data)) {
        return false;
    }
    value = data;
    return true;
}
