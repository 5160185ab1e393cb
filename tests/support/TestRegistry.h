// Registry values for tests: one-call reads and writes, a throwaway key, a user's value put back.
#pragma once

#include "common/UniqueResource.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace test_support {

inline std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LSTATUS status = ::RegGetValueW(root, path.c_str(), name, RRF_RT_DWORD, nullptr, &value, &size);
    return status == ERROR_SUCCESS ? std::optional(value) : std::nullopt;
}

inline std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof(value);
    const LSTATUS status = ::RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
    return status == ERROR_SUCCESS ? std::optional<std::wstring>(value) : std::nullopt;
}

// Writes a value, creating its key; `type` says how the bytes read.
inline bool WriteValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
                       DWORD size) {
    UniqueHkey key;
    return ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                             key.put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

inline bool WriteDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD value) {
    return WriteValue(root, path, name, REG_DWORD, &value, sizeof(value));
}

inline bool WriteString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    return WriteValue(root, path, name, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

inline void DeleteValue(HKEY root, const std::wstring& path, const wchar_t* name) {
    ::RegDeleteKeyValueW(root, path.c_str(), name);
}

// A key of HKEY_CURRENT_USER for this test process only, empty when made and removed when done.
class ThrowawayKey {
public:
    explicit ThrowawayKey(const std::wstring& name)
        : path_(L"Software\\Kestrine\\" + name + L"-" + std::to_wstring(::GetCurrentProcessId())) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    ~ThrowawayKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    ThrowawayKey(const ThrowawayKey&) = delete;
    ThrowawayKey& operator=(const ThrowawayKey&) = delete;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// A value of the user's, as it was when made and again when done (missing stays missing).
class SavedValue {
public:
    SavedValue(HKEY root, std::wstring path, const wchar_t* name)
        : root_(root), path_(std::move(path)), name_(name) {
        DWORD size = 0;
        if (::RegGetValueW(root_, path_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr,
                           &size) == ERROR_SUCCESS) {
            data_.resize(size);
            saved_ = ::RegGetValueW(root_, path_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                                    data_.data(), &size) == ERROR_SUCCESS;
            data_.resize(size);
        }
    }
    ~SavedValue() {
        if (saved_) {
            WriteValue(root_, path_, name_.c_str(), type_, data_.data(), static_cast<DWORD>(data_.size()));
        } else {
            DeleteValue(root_, path_, name_.c_str());
        }
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

private:
    HKEY root_;
    std::wstring path_;
    std::wstring name_;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
    bool saved_ = false;
};

// Where Windows keeps the programs that start with it.
inline const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

} // namespace test_support
