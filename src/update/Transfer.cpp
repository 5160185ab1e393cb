#include "update/Transfer.h"

#include "update/UpdateRules.h"

#include <cstring>

UpdateTransfer::UpdateTransfer(const std::string& url, const UpdateTransferLimits& limits,
                               std::array<char, 256>& errorText)
    : curl_(::curl_easy_init(), &::curl_easy_cleanup), errorText_(errorText) {
    if (!curl_) {
        throw UpdateError("The transfer library could not start.");
    }
    CURL* handle = curl_.get();
    ::curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    ::curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    ::curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    // A redirect must not lead the transfer off https, whatever the first address was.
#if LIBCURL_VERSION_NUM >= 0x075500
    ::curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    ::curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "https");
#else
    ::curl_easy_setopt(handle, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
    ::curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS, static_cast<long>(CURLPROTO_HTTPS));
#endif
    ::curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    ::curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    ::curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    ::curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
    ::curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds);
    ::curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText_.data());
}

void UpdateTransfer::SetWriter(curl_write_callback writer, void* data) {
    ::curl_easy_setopt(curl_.get(), CURLOPT_WRITEFUNCTION, writer);
    ::curl_easy_setopt(curl_.get(), CURLOPT_WRITEDATA, data);
}

void UpdateTransfer::SetProgressReporter(curl_xferinfo_callback reporter, void* data) {
    ::curl_easy_setopt(curl_.get(), CURLOPT_NOPROGRESS, 0L);
    ::curl_easy_setopt(curl_.get(), CURLOPT_XFERINFOFUNCTION, reporter);
    ::curl_easy_setopt(curl_.get(), CURLOPT_XFERINFODATA, data);
}

void UpdateTransfer::SetTotalTimeout(long milliseconds) {
    ::curl_easy_setopt(curl_.get(), CURLOPT_TIMEOUT_MS, milliseconds);
}

void TransferCancellation::Cancel() noexcept {
    cancelled_ = true;
    const std::lock_guard guard(lock_);
    if (running_) {
        ::curl_multi_wakeup(running_);
    }
}

CURLcode UpdateTransfer::Perform(TransferCancellation* cancellation) {
    const CURLcode result =
        cancellation ? PerformCancellable(*cancellation) : ::curl_easy_perform(curl_.get());
    if (result != CURLE_OK && errorText_[0] == '\0') {
        std::strncpy(errorText_.data(), ::curl_easy_strerror(result), errorText_.size() - 1);
    }
    return result;
}

// The multi interface's wait can be woken from another thread; the easy interface's
// cannot, and a stalled server would hold the transfer until its low-speed limit.
CURLcode UpdateTransfer::PerformCancellable(TransferCancellation& cancellation) {
    const std::unique_ptr<CURLM, decltype(&::curl_multi_cleanup)> multi(::curl_multi_init(),
                                                                        &::curl_multi_cleanup);
    if (!multi || ::curl_multi_add_handle(multi.get(), curl_.get()) != CURLM_OK) {
        return CURLE_OUT_OF_MEMORY;
    }
    {
        const std::lock_guard guard(cancellation.lock_);
        cancellation.running_ = multi.get();
    }
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    while (!cancellation.Cancelled()) {
        int running = 0;
        if (::curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
        if (running == 0) {
            int left = 0;
            const CURLMsg* done = ::curl_multi_info_read(multi.get(), &left);
            result = done && done->msg == CURLMSG_DONE ? done->data.result : CURLE_RECV_ERROR;
            break;
        }
        ::curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
    }
    {
        const std::lock_guard guard(cancellation.lock_);
        cancellation.running_ = nullptr;
    }
    ::curl_multi_remove_handle(multi.get(), curl_.get());
    if (result == CURLE_ABORTED_BY_CALLBACK) {
        std::strncpy(errorText_.data(), "The transfer was cancelled.", errorText_.size() - 1);
    }
    return result;
}
