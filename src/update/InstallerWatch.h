#pragma once

#include <windows.h>

#include <string>

// The program ends once the update's installer has started, so the installer can replace
// its file. A copy of the program in the update's own folder stays behind and waits for
// the installer, then removes the installer's file: when the installer failed, the
// installation is rolled back and the program, still in place, is started again, so a
// failed update never leaves the user without it.

// Starts the watch over `installer` for the program at `programPath`, as a copy in
// `folder` named with `token` (see UpdateFolder). False when it cannot be started; the
// update goes on without it.
bool StartInstallerWatch(HANDLE installer, const std::wstring& programPath, const std::wstring& folder,
                         const std::wstring& token);

// The watch itself (the copy's whole run): waits for `installer`; unless it succeeded,
// waits until the instance named `instanceEventName` has ended and starts the program.
void WatchInstaller(HANDLE installer, const std::wstring& programPath, const wchar_t* instanceEventName);
