#pragma once

#include "update/UpdateParams.h"

class TransferCancellation;

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// The version of the running program as its file-version block gives it.
struct RunningVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t build = 0;
    uint16_t revision = 0; // kept, never shown or sent
};

// Filled by every update run, read by the update page while the run is active.
extern RunningVersion runningVersion;

// The fixed file-version block of `path`; none when the file has no readable one.
std::optional<RunningVersion> ReadFileVersion(const std::wstring& path);

// Asks the endpoint whether an update exists. Quiet runs never show a window and give
// kUpdateAvailable for an update; interactive runs report every outcome in a message
// box and hand an offered update to the update page. Returns one of the kUpdate…
// results of update/UpdateRules.h. Blocks the calling thread for the whole transfer;
// `cancellation` lets another thread end the query early (kUpdateFailed).
int RunUpdate(HWND owner, const UpdateParams& params, bool quiet,
              TransferCancellation* cancellation = nullptr) noexcept;

// "LastCheckForUpdate": local FILETIME of the last check whose transfer succeeded,
// 0 when none is stored.
uint64_t ReadLastCheckForUpdate();
// The current local time as a FILETIME count.
uint64_t LocalFileTimeNow();
