#include "update/Transfer.h"

#include "update/UpdateRules.h"

#define SECURITY_WIN32
#include <wincrypt.h>
#include <security.h>
#include <schannel.h>

#include <cstdio>
#include <cstring>
#include <memory>

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
    ::curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, &UpdateTransfer::CheckServer);
    ::curl_easy_setopt(handle, CURLOPT_PREREQDATA, this);
}

namespace {

// The host the transfer is connected to: the address it follows at the moment.
std::wstring CurrentHost(CURL* handle) {
    char* url = nullptr;
    ::curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &url);
    const std::unique_ptr<CURLU, decltype(&::curl_url_cleanup)> parsed(::curl_url(), &::curl_url_cleanup);
    char* host = nullptr;
    if (!url || !parsed || ::curl_url_set(parsed.get(), CURLUPART_URL, url, 0) != CURLUE_OK ||
        ::curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) {
        return {};
    }
    std::wstring wide(host, host + std::strlen(host)); // a host name is ASCII once parsed
    ::curl_free(host);
    if (wide.size() > 2 && wide.front() == L'[' && wide.back() == L']') {
        wide = wide.substr(1, wide.size() - 2);
    }
    return wide;
}

// 0 when the certificate of the TLS session chains to a trusted root and is made for
// `host`, else the reason (a CERT_E_ or TRUST_E_ code).
DWORD VerifyServerCertificate(const curl_tlssessioninfo& session, const std::wstring& host) {
    PCCERT_CONTEXT certificate = nullptr;
    if (session.backend != CURLSSLBACKEND_SCHANNEL || !session.internals ||
        ::QueryContextAttributesW(static_cast<CtxtHandle*>(session.internals),
                                  SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
        !certificate) {
        return static_cast<DWORD>(TRUST_E_NOSIGNATURE);
    }
    const std::unique_ptr<const CERT_CONTEXT, decltype(&::CertFreeCertificateContext)> owned(
        certificate, &::CertFreeCertificateContext);
    char serverAuthentication[] = szOID_PKIX_KP_SERVER_AUTH;
    char* usages[] = {serverAuthentication};
    CERT_CHAIN_PARA chainParameters{};
    chainParameters.cbSize = sizeof(chainParameters);
    chainParameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainParameters.RequestedUsage.Usage = {1, usages};
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainParameters,
                                   0, nullptr, &chain)) {
        return ::GetLastError();
    }
    const std::unique_ptr<const CERT_CHAIN_CONTEXT, decltype(&::CertFreeCertificateChain)> ownedChain(
        chain, &::CertFreeCertificateChain);
    std::wstring serverName = host;
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA server{};
    server.cbSize = sizeof(server);
    server.dwAuthType = AUTHTYPE_SERVER;
    server.pwszServerName = serverName.data();
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof(policy);
    policy.pvExtraPolicyPara = &server;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof(status);
    if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status)) {
        return ::GetLastError();
    }
    return status.dwError;
}

} // namespace

// Runs once the connection stands, before the request leaves. Schannel on Windows has
// checked the certificate already; Wine's does not, so the transfer checks it itself the
// same way everywhere.
int UpdateTransfer::CheckServer(void* self, char*, char*, int, int) noexcept {
    auto& transfer = *static_cast<UpdateTransfer*>(self);
    CURL* handle = transfer.curl_.get();
    char* scheme = nullptr;
    if (::curl_easy_getinfo(handle, CURLINFO_SCHEME, &scheme) != CURLE_OK || !scheme ||
        ::_stricmp(scheme, "https") != 0) {
        return CURL_PREREQFUNC_OK; // plain http goes to permitted loopback addresses only
    }
    curl_tlssessioninfo* session = nullptr;
    transfer.certificateError_ = static_cast<DWORD>(TRUST_E_NOSIGNATURE);
    if (::curl_easy_getinfo(handle, CURLINFO_TLS_SSL_PTR, &session) == CURLE_OK && session) {
        try {
            transfer.certificateError_ = VerifyServerCertificate(*session, CurrentHost(handle));
        } catch (...) {
        }
    }
    return transfer.certificateError_ == 0 ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
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
    if (result == CURLE_ABORTED_BY_CALLBACK && certificateError_ != 0) {
        std::snprintf(errorText_.data(), errorText_.size(),
                      "The server's certificate could not be verified (error 0x%08lX).", certificateError_);
    } else if (result != CURLE_OK && errorText_[0] == '\0') {
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
