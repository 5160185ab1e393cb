#include "update/InstallerWatch.h"

#include "common/UniqueResource.h"
#include "update/DownloadRules.h"
#include "update/UpdateFolder.h"

#include <cstdint>

namespace {

constexpr DWORD kInstanceEndPollMs = 100;
constexpr int kInstanceEndPolls = 100;

bool StartProcess(const std::wstring& file, std::wstring commandLine, bool inheritHandles) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                          nullptr, &startup, &started)) {
        return false;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return true;
}

} // namespace

bool StartInstallerWatch(HANDLE installer, const std::wstring& programPath, const std::wstring& folder,
                         const std::wstring& token) {
    // A copy: the program's own file must be free for the installer to replace. Its name
    // is as unguessable as its folder's, and an existing file is never taken over.
    const std::wstring watcher = folder + L"\\orvalux-update-watch-" + token + L".exe";
    if (folder.empty() || !::CopyFileW(programPath.c_str(), watcher.c_str(), TRUE)) {
        return false;
    }
    HANDLE inherited = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), installer, ::GetCurrentProcess(), &inherited,
                           SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0)) {
        return false;
    }
    const UniqueHandle ours(inherited); // the copy holds its own once started
    const std::wstring commandLine = L"\"" + watcher + L"\" afterupdate " +
                                     std::to_wstring(reinterpret_cast<uintptr_t>(inherited)) + L" " +
                                     programPath;
    return StartProcess(watcher, commandLine, true);
}

void WatchInstaller(HANDLE installer, const std::wstring& programPath, const wchar_t* instanceEventName) {
    const UniqueHandle owned(installer);
    DWORD exitCode = 0;
    const bool ended = ::WaitForSingleObject(installer, INFINITE) == WAIT_OBJECT_0;
    // The installer is done with its file; this copy goes with the folder at a later start.
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    const std::wstring folder = self.substr(0, self.find_last_of(L'\\'));
    if (ended && IsUpdateFolder(folder)) {
        RemoveUpdateFolder(folder);
    }
    if (!ended || !::GetExitCodeProcess(installer, &exitCode) || InstallerSucceeded(exitCode)) {
        return;
    }
    // The program asked to end when the installer started; a new start before it has
    // would end at once as a second instance.
    for (int poll = 0; poll < kInstanceEndPolls; ++poll) {
        const UniqueHandle instance(::OpenEventW(SYNCHRONIZE, FALSE, instanceEventName));
        if (!instance) {
            break;
        }
        ::Sleep(kInstanceEndPollMs);
    }
    StartProcess(programPath, L"\"" + programPath + L"\"", false);
}
