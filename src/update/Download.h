#pragma once

#include "update/UpdateParams.h"
#include "update/UpdateRules.h"

#include <windows.h>

#include <string>

// Downloads the offered installer into the temporary folder with a progress window,
// asks windows of the class to close to go, starts the installer and asks `owner` to
// close. Returns kUpdateInstallerStarted, or kUpdateFailed (reported in a box unless the
// user cancelled or the installer's start was refused).
int DownloadAndInstall(HWND owner, const UpdateParams& params, UpdateInput& input,
                       const UpdateAnswer& answer);
// Asks the windows of the class (another copy of the program, say) to close, ten times at
// most; a window that does not answer within a few seconds is left alone.
void CloseWindowsOfClass(const std::string& className);
