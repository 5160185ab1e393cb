#pragma once

#include "update/UpdateParams.h"
#include "update/UpdateRules.h"

#include <windows.h>

// The interactive hand-over once the endpoint has offered an update: shows the update
// page and, on Install, downloads and starts the installer. Returns
// kUpdateInstallerStarted, kUpdateNotNeeded when the page was closed without installing,
// or kUpdateFailed. Runs on the update run's thread with its COM apartment.
int OfferUpdate(HWND owner, const UpdateParams& params, UpdateInput& input, const UpdateAnswer& answer);
