#pragma once

#include "update/UpdateParams.h"

#include <curl/curl.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

// Lets another thread end a running transfer at once, whatever the server does.
class TransferCancellation {
public:
    // Ends the transfer that runs or is about to run; a later one is refused at its start.
    void Cancel() noexcept;
    bool Cancelled() const noexcept { return cancelled_; }

private:
    friend class UpdateTransfer;
    std::atomic<bool> cancelled_{false};
    std::mutex lock_;          // guards running_ against the transfer's end
    CURLM* running_ = nullptr; // woken on Cancel
};

// One GET as every update transfer makes it: redirects followed only to https, the
// server's certificate checked before the request leaves, and a stalled server given up on
// (UpdateTransferLimits), since an interactive run's transfers run on the program's main thread.
class UpdateTransfer {
public:
    // Throws UpdateError when the transfer library cannot start.
    UpdateTransfer(const std::string& url, const UpdateTransferLimits& limits,
                   std::array<char, 256>& errorText);

    void SetWriter(curl_write_callback writer, void* data);
    void SetProgressReporter(curl_xferinfo_callback reporter, void* data);
    // Ends the whole transfer after `milliseconds`, however it goes.
    void SetTotalTimeout(long milliseconds);
    // Runs the transfer. On failure the error text says why, also where the library
    // leaves its own buffer empty. With `cancellation`, Cancel ends it within moments
    // (CURLE_ABORTED_BY_CALLBACK).
    CURLcode Perform(TransferCancellation* cancellation = nullptr);

private:
    static int CheckServer(void* self, char* primaryIp, char* localIp, int primaryPort,
                           int localPort) noexcept;
    CURLcode PerformCancellable(TransferCancellation& cancellation);

    std::unique_ptr<CURL, decltype(&::curl_easy_cleanup)> curl_;
    std::array<char, 256>& errorText_;
    unsigned long certificateError_ = 0; // why the server's certificate was refused
};
