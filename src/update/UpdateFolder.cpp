#include "update/UpdateFolder.h"

#include "common/UniqueResource.h"

#include <windows.h>

#include <objbase.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>

namespace {

constexpr wchar_t kFolderPrefix[] = L"orvalux-update-";
constexpr int kNameAttempts = 10;

std::wstring TemporaryFolder() {
    const DWORD length = ::GetEnvironmentVariableW(L"TEMP", nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::wstring folder(length, L'\0');
    folder.resize(::GetEnvironmentVariableW(L"TEMP", folder.data(), length));
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return folder;
}

std::wstring RandomToken() {
    GUID random{};
    if (FAILED(::CoCreateGuid(&random))) {
        return {};
    }
    wchar_t token[40];
    std::swprintf(token, std::size(token), L"%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x",
                  static_cast<unsigned long>(random.Data1), random.Data2, random.Data3, random.Data4[0],
                  random.Data4[1], random.Data4[2], random.Data4[3], random.Data4[4], random.Data4[5],
                  random.Data4[6], random.Data4[7]);
    return token;
}

// Whether a running process was started from a file in `folder`: a watch copy still
// waits there, and its installer may still read its package.
bool RunsFromFolder(const std::wstring& folder) {
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return true; // unknown: left for a later start
    }
    const std::wstring prefix = folder + L"\\";
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        const UniqueHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        wchar_t image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (process && ::QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
            ::CompareStringOrdinal(image, static_cast<int>(std::min<size_t>(size, prefix.size())),
                                   prefix.c_str(), static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

} // namespace

UpdateFolder::UpdateFolder() {
    const std::wstring temporary = TemporaryFolder();
    if (temporary.empty()) {
        return;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::wstring token = RandomToken();
        if (token.empty()) {
            return;
        }
        std::wstring path = temporary + L"\\" + kFolderPrefix + token;
        // Created here or not used: a folder that exists already may be someone else's.
        if (::CreateDirectoryW(path.c_str(), nullptr)) {
            path_ = std::move(path);
            token_ = std::move(token);
            return;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            return;
        }
    }
}

UpdateFolder::~UpdateFolder() {
    if (!kept_ && !path_.empty()) {
        RemoveUpdateFolder(path_);
    }
}

void RemoveUpdateFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

bool IsUpdateFolder(const std::wstring& folder) {
    const size_t name = folder.find_last_of(L"\\/");
    return name != std::wstring::npos &&
           folder.compare(name + 1, std::size(kFolderPrefix) - 1, kFolderPrefix) == 0;
}

void RemoveFinishedUpdateFolders() {
    const std::wstring temporary = TemporaryFolder();
    if (temporary.empty()) {
        return;
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((temporary + L"\\" + kFolderPrefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            const std::wstring folder = temporary + L"\\" + found.cFileName;
            if (!RunsFromFolder(folder)) {
                RemoveUpdateFolder(folder);
            }
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}
