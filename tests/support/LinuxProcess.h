// What Linux knows of a Windows process under Wine, through the Z: drive: Wine's own counters of
// GUI objects, handles and private bytes answer 0.
#pragma once

#include "common/UniqueResource.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>

namespace test_support {

inline std::string ReadWholeFile(const std::wstring& path) {
    const UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (file && ::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

// The Linux /proc folder of the process whose command line (the Linux argv) holds `marker`; empty
// when there is none, or no /proc (not under Wine).
inline std::wstring LinuxProcessFolder(const std::wstring& marker) {
    const std::string wanted(marker.begin(), marker.end());
    WIN32_FIND_DATAW entry;
    const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &entry);
    std::wstring found;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more && found.empty();
         more = ::FindNextFileW(search, &entry)) {
        const std::wstring folder = std::wstring(L"Z:\\proc\\") + entry.cFileName;
        if (std::iswdigit(entry.cFileName[0]) &&
            ReadWholeFile(folder + L"\\cmdline").find(wanted) != std::string::npos) {
            found = folder;
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        ::FindClose(search);
    }
    return found;
}

// A "Name: value" field of a /proc file, 0 when it is missing.
inline double ProcField(const std::string& text, const char* name) {
    const size_t at = text.find(name);
    return at == std::string::npos ? 0.0 : std::strtod(text.c_str() + at + std::strlen(name), nullptr);
}

// The process's anonymous memory in KB: its heaps, stacks and Wine's copies of its images.
inline double AnonymousKb(const std::wstring& folder) {
    return ProcField(ReadWholeFile(folder + L"\\smaps_rollup"), "Anonymous:");
}

} // namespace test_support
