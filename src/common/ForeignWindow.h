#pragma once

#include <windows.h>

#include <optional>

// A window of another program may belong to a thread that hangs: no send to one waits
// longer than this.
inline constexpr UINT kForeignWindowTimeoutMs = 3000;

// Sends `message` to a window that may belong to another program: its answer, or none
// when it did not answer in time (or hangs, or is gone). Messages sent to this thread
// meanwhile are still served.
inline std::optional<LRESULT> SendToForeignWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               kForeignWindowTimeoutMs, &answer)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(answer);
}
