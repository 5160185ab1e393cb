#pragma once

#include "common/UniqueResource.h"

#include <windows.h>

#include <atomic>
#include <string>

// What the download and its progress window share. The transfer runs on the update
// run's thread, the window on a thread of its own; the flags cross between them.
struct DownloadProgress {
    std::wstring confirmationCaption; // the cancel question's caption and text
    std::wstring confirmationText;
    std::atomic<HWND> window{nullptr};
    std::atomic<HWND> bar{nullptr};
    std::atomic<bool> paused{false};    // the cancel question is on screen
    std::atomic<bool> cancelled{false}; // the user confirmed Cancel
    std::atomic<bool> finished{false};  // the transfer has ended: the window must go
};

// The progress window (dialog 10100) on its own thread, for one download.
class DownloadProgressWindow {
public:
    // Starts the thread; the window appears on it.
    explicit DownloadProgressWindow(DownloadProgress& progress);
    // Ends the window, also when it has not appeared yet, and waits for its thread while
    // the calling thread's own messages go on being dispatched.
    ~DownloadProgressWindow();
    DownloadProgressWindow(const DownloadProgressWindow&) = delete;
    DownloadProgressWindow& operator=(const DownloadProgressWindow&) = delete;

    // Shows `percent` on the bar and in the caption.
    void Show(int percent);

private:
    DownloadProgress& progress_;
    UniqueHandle thread_;
    int shownPercent_ = -1;
    HWND shownWindow_ = nullptr;
};
