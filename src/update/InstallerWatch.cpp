#include "update/InstallerWatch.h"

#include "common/UniqueResource.h"
#include "update/DownloadRules.h"

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

bool StartInstallerWatch(HANDLE installer, const std::wstring& programPath) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    // A copy: the program's own file must be free for the installer to replace.
    const std::wstring watcher = std::wstring(folder) + L"orvalux-update-watch.exe";
    if (!::CopyFileW(programPath.c_str(), watcher.c_str(), FALSE)) {
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
    if (::WaitForSingleObject(installer, INFINITE) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(installer, &exitCode) || InstallerSucceeded(exitCode)) {
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
