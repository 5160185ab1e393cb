#pragma once

#include "common/UniqueResource.h"
#include "update/UpdateParams.h"

#include <windows.h>

#include <memory>

// The daily check on a thread of its own: a slow or stalled endpoint must never hold up
// the windows, the tray icon and the hotkeys of the thread that asked for it.
class QuietUpdateCheck {
public:
    QuietUpdateCheck() = default;
    ~QuietUpdateCheck() { Stop(); }
    QuietUpdateCheck(const QuietUpdateCheck&) = delete;
    QuietUpdateCheck& operator=(const QuietUpdateCheck&) = delete;

    // Starts a quiet RunUpdate; its result is posted to `window` as `message` with the
    // result in wParam. False when no thread could be started.
    bool Start(HWND window, UINT message, const UpdateParams& params) noexcept;
    // Cancels a running check and waits a little for its thread; nothing is posted
    // afterwards. A thread still held up in the system's name lookup is left to end by
    // itself (or with the process).
    void Stop() noexcept;

private:
    struct Run;
    static DWORD WINAPI Check(void* parameter) noexcept;

    std::shared_ptr<Run> run_;
    UniqueHandle thread_;
};
