#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string>
#include <string_view>

// The installer download's decisions that need no window.

// The name the installer is saved under: the last path component of `location` (what
// follows its last "/", "\" or ":"), with every character Windows refuses in a file name
// (control characters and < > : " / \ | ? *) replaced by "_", so a query string does not
// make the name unusable, and without trailing dots and blanks, which Windows drops.
// None when nothing is left to name the file.
std::optional<std::string> DownloadFileName(std::string_view location);

// Whether a downloaded file of this name is started as the installer: a Windows Installer
// package or a program (".msi" or ".exe" in any case). Anything else (a page, a script, a
// part of a file) is never started.
bool IsStartableInstaller(std::string_view fileName);

// How the downloaded installer is started.
struct InstallerCommand {
    std::string file;
    std::string parameters;
    std::string verb;
};

// A Windows Installer package (".msi" in any case) goes to `msiexecPath` (the full path
// in the system folder, so no msiexec.exe elsewhere on the search path is started)
// with the package quoted; any other file is started itself, through "runas" unless
// the program already runs elevated.
InstallerCommand InstallerCommandFor(std::string_view downloadPath, std::string_view msiexecPath,
                                     bool elevated);

// The whole percentage of `received` in `total`; 0 while the total is unknown.
int ProgressPercent(double total, double received);

// Whether an installer's exit code means the update is in place: done, or done once the
// machine restarts (1641, 3010).
bool InstallerSucceeded(uint32_t exitCode);
