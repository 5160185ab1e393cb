#include "monitor/CalibrationStore.h"

#include "common/Settings.h"
#include "common/UniqueResource.h"

#include <windows.h>

namespace {

std::wstring KeyPathOf(const std::wstring& identity) {
    return SettingsKeyPath() + L"\\Monitors\\" + CalibrationKeyName(identity);
}

StoredNumber ReadNumber(HKEY key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return std::nullopt;
    }
    return value;
}

bool WriteNumber(HKEY key, const wchar_t* name, uint32_t value) {
    const DWORD word = value;
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&word), sizeof(word)) ==
           ERROR_SUCCESS;
}

} // namespace

MonitorCalibration ReadStoredCalibration(const std::wstring& identity) {
    UniqueHkey key;
    if (identity.empty() || ::RegOpenKeyExW(HKEY_CURRENT_USER, KeyPathOf(identity).c_str(), 0,
                                            KEY_READ | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS) {
        return {};
    }
    return CalibrationFromStored(
        {ReadNumber(key.get(), L"BrightnessLow"), ReadNumber(key.get(), L"BrightnessHigh"),
         ReadNumber(key.get(), L"ContrastLow"), ReadNumber(key.get(), L"ContrastHigh"),
         ReadNumber(key.get(), L"Excluded")});
}

bool StoreCalibration(const std::wstring& identity, const std::wstring& name,
                      const MonitorCalibration& calibration) {
    UniqueHkey key;
    if (identity.empty() ||
        ::RegCreateKeyExW(HKEY_CURRENT_USER, KeyPathOf(identity).c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const auto nameBytes = static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t));
    bool written = ::RegSetValueExW(key.get(), L"Name", 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(name.c_str()), nameBytes) == ERROR_SUCCESS;
    written = WriteNumber(key.get(), L"BrightnessLow", calibration.brightness.low) && written;
    written = WriteNumber(key.get(), L"BrightnessHigh", calibration.brightness.high) && written;
    written = WriteNumber(key.get(), L"ContrastLow", calibration.contrast.low) && written;
    written = WriteNumber(key.get(), L"ContrastHigh", calibration.contrast.high) && written;
    return WriteNumber(key.get(), L"Excluded", calibration.excluded ? 1 : 0) && written;
}
