#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

// A fresh folder that TEMP and TMP name while it lives, so downloads and page files of a
// test land apart; afterwards both are restored and the folder is removed as far as
// nothing still holds a file in it.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& name)
        : oldTemp_(Variable(L"TEMP")), oldTmp_(Variable(L"TMP")) {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        path_ = std::filesystem::path(base) / (name + "-" + std::to_string(::GetCurrentProcessId()));
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        std::filesystem::create_directories(path_);
        ::SetEnvironmentVariableW(L"TEMP", path_.c_str());
        ::SetEnvironmentVariableW(L"TMP", path_.c_str());
    }
    ~TemporaryFolder() {
        ::SetEnvironmentVariableW(L"TEMP", oldTemp_.empty() ? nullptr : oldTemp_.c_str());
        ::SetEnvironmentVariableW(L"TMP", oldTmp_.empty() ? nullptr : oldTmp_.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    static std::wstring Variable(const wchar_t* name) {
        wchar_t value[MAX_PATH] = {};
        const DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
        return length > 0 && length < MAX_PATH ? value : L"";
    }

    std::wstring oldTemp_;
    std::wstring oldTmp_;
    std::filesystem::path path_;
};
