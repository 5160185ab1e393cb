#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Bounds of the update transfers. The defaults are the product's; tests shorten them so
// that a stalled server ends a test in about a second.
struct UpdateTransferLimits {
    long connectTimeoutMs = 15'000;
    long lowSpeedBytesPerSecond = 1; // abort below this rate...
    long lowSpeedSeconds = 30;       // ...kept up for this long
    size_t maxAnswerBytes = 16 * 1024 * 1024;
    // The version query as a whole: an endpoint that drips just above the low-speed
    // limit must not hold an interactive run (on the main thread) for ever. The download
    // has none: it may be slow, and its progress window can cancel it.
    long queryTimeoutMs = 60'000;
};

// What the update component knows of the program it updates.
struct UpdateParams {
    uint16_t iconId = 0;       // small icon of every window an update run activates
    std::wstring appName;      // names the program in the page and the boxes
    std::wstring versionUrl;   // the endpoint's version check address
    std::wstring classToClose; // window class closed before installing
    std::wstring exePath;      // file whose version resource gives the running version
    UpdateTransferLimits limits;
};

// The program's own record: icon 100, name and class "Orvalux", the version check
// address of VersionCheckUrl and the path of the running program's file.
UpdateParams ProgramUpdateParams();

// The version check address: the environment variable ORVALUX_UPDATE_URL when set (a
// test or staging endpoint), otherwise the address the program was built with.
std::wstring VersionCheckUrl();
