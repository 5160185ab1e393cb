#pragma once

#include "update/UpdateParams.h"

#include <curl/curl.h>

#include <array>
#include <memory>
#include <string>

// One GET as every update transfer makes it: redirects followed only to https, the
// server's certificate checked before the request leaves, and a stalled server given up on
// (UpdateTransferLimits), since the transfers run on the program's main thread.
class UpdateTransfer {
public:
    // Throws UpdateError when the transfer library cannot start.
    UpdateTransfer(const std::string& url, const UpdateTransferLimits& limits,
                   std::array<char, 256>& errorText);

    void SetWriter(curl_write_callback writer, void* data);
    void SetProgressReporter(curl_xferinfo_callback reporter, void* data);
    // Runs the transfer. On failure the error text says why, also where the library
    // leaves its own buffer empty.
    CURLcode Perform();

private:
    static int CheckServer(void* self, char* primaryIp, char* localIp, int primaryPort,
                           int localPort) noexcept;

    std::unique_ptr<CURL, decltype(&::curl_easy_cleanup)> curl_;
    std::array<char, 256>& errorText_;
    unsigned long certificateError_ = 0; // why the server's certificate was refused
};
