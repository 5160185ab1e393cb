#include "update/UpdateCheck.h"

#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "common/WaitCursor.h"
#include "ui/Localization.h"
#include "ui/TextConversion.h"
#include "update/Download.h"
#include "update/Transfer.h"
#include "update/UpdateDialog.h"
#include "update/UpdateRules.h"

#include <winsock2.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

#ifndef ORVALUX_UPDATE_URL_DEFAULT
#error "ORVALUX_UPDATE_URL_DEFAULT names the built-in version check address"
#endif

RunningVersion runningVersion;

namespace {

constexpr unsigned kNoUpdateTextId = 10007;
constexpr unsigned kTransferFailedCaptionId = 10009;
constexpr unsigned kUpdateCaptionId = 10012;
constexpr wchar_t kLastCheckValue[] = L"LastCheckForUpdate";

using UniqueHhook = UniqueResource<SimpleResourceTraits<HHOOK, &::UnhookWindowsHookEx>>;

class WinsockSession {
public:
    explicit WinsockSession(WORD version) noexcept {
        WSADATA data;
        started_ = ::WSAStartup(version, &data) == 0;
    }
    ~WinsockSession() {
        if (started_) {
            ::WSACleanup();
        }
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    bool Started() const noexcept { return started_; }

private:
    bool started_ = false;
};

// The icon the CBT hook gives every window the run activates on its thread.
thread_local HICON runIcon = nullptr;

LRESULT CALLBACK SetRunIcon(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HCBT_ACTIVATE && wParam && runIcon) {
        ::SendMessageW(reinterpret_cast<HWND>(wParam), WM_SETICON, ICON_SMALL,
                       reinterpret_cast<LPARAM>(runIcon));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Every box and dialog of the run carries the program's icon; the hook goes with the
// scope, whatever way the run ends.
class RunIconHook {
public:
    explicit RunIconHook(uint16_t iconId) noexcept {
        // Shared: the system owns the icon, it must not be destroyed.
        runIcon = static_cast<HICON>(::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        hook_.reset(::SetWindowsHookExW(WH_CBT, SetRunIcon, nullptr, ::GetCurrentThreadId()));
    }
    ~RunIconHook() {
        hook_.reset();
        runIcon = nullptr;
    }
    RunIconHook(const RunIconHook&) = delete;
    RunIconHook& operator=(const RunIconHook&) = delete;

private:
    UniqueHhook hook_;
};

// The machine's name and first address, as the endpoint's statistics know machines.
// Either stays empty when it cannot be found.
void FindHostNameAndAddress(std::string& host, std::string& address) {
    const WinsockSession winsock(0x0101);
    if (!winsock.Started()) {
        return;
    }
    char name[256] = {};
    if (::gethostname(name, sizeof(name)) != 0) {
        return;
    }
    host = WideToUtf8(Utf8ToWide(name));
    const hostent* entry = ::gethostbyname(name);
    if (entry && entry->h_addrtype == AF_INET && entry->h_addr_list && entry->h_addr_list[0]) {
        in_addr first;
        std::memcpy(&first, entry->h_addr_list[0], sizeof(first));
        address = WideToUtf8(Utf8ToWide(::inet_ntoa(first)));
    }
}

struct AnswerBuffer {
    std::string text;
    size_t limit;
};

// Appends a received block; a short count ends the transfer with a write error, which
// is how an answer beyond the limit (or beyond memory) is refused.
size_t AppendToAnswer(char* data, size_t size, size_t count, void* userData) noexcept {
    auto& buffer = *static_cast<AnswerBuffer*>(userData);
    const size_t bytes = size * count;
    if (bytes > buffer.limit - buffer.text.size()) {
        return 0;
    }
    try {
        buffer.text.append(data, bytes);
    } catch (...) {
        return 0;
    }
    return bytes;
}

// One GET of `url`. On failure the input's error text says why.
bool QueryEndpoint(const std::string& url, const UpdateTransferLimits& limits, UpdateInput& input,
                   std::string& answer, TransferCancellation* cancellation) {
    AnswerBuffer buffer{{}, limits.maxAnswerBytes};
    UpdateTransfer transfer(url, limits, input.errorText);
    transfer.SetWriter(&AppendToAnswer, &buffer);
    transfer.SetTotalTimeout(limits.queryTimeoutMs);
    if (transfer.Perform(cancellation) != CURLE_OK) {
        return false;
    }
    answer = std::move(buffer.text);
    return true;
}

bool WriteLastCheckForUpdate(uint64_t fileTime) {
    UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExW(key.get(), kLastCheckValue, 0, REG_QWORD,
                            reinterpret_cast<const BYTE*>(&fileTime), sizeof(fileTime)) == ERROR_SUCCESS;
}

void ShowBox(HWND owner, const std::wstring& text, unsigned captionId, UINT icon) {
    ::MessageBoxW(owner, text.c_str(), LoadText(captionId), MB_OK | icon);
}

// Reads the input document, queries the endpoint and acts on its answer. Every failure
// ends here as kUpdateFailed, reported in a box unless quiet.
int RunCore(HWND owner, const std::string& document, const UpdateParams& params, bool quiet,
            TransferCancellation* cancellation) noexcept {
    std::string failure;
    try {
        UpdateInput input = ReadUpdateInput(document);
        const std::string url = BuildRequestUrl(input);
        if (!IsPermittedQueryUrl(url)) {
            throw UpdateError("The update address was refused: only https is allowed.");
        }
        std::string received;
        if (!QueryEndpoint(url, params.limits, input, received, cancellation)) {
            if (!quiet) {
                ShowBox(owner, Utf8ToWide(input.errorText.data()), kTransferFailedCaptionId, MB_ICONERROR);
            }
            return kUpdateFailed;
        }
        // Before the answer is examined: a rejected answer still counts as the day's check.
        WriteLastCheckForUpdate(LocalFileTimeNow());
        const UpdateAnswer answer = ReadUpdateAnswer(received);
        switch (DecideUpdate(answer)) {
        case UpdateDecision::Blacklisted:
            return kUpdateBlacklisted;
        case UpdateDecision::NoUpdate:
            if (!quiet) {
                ShowBox(owner, LoadText(kNoUpdateTextId), kUpdateCaptionId, MB_ICONINFORMATION);
            }
            return kUpdateNotNeeded;
        case UpdateDecision::UpdateNeeded:
            if (quiet) {
                return kUpdateAvailable;
            }
            if (ShowUpdateDialog(owner, params, answer) != kUpdatePageInstall) {
                return kUpdateNotNeeded;
            }
            return DownloadAndInstall(owner, params, input, answer);
        }
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
    }
    if (!quiet) {
        try {
            ShowBox(owner, failure.empty() ? std::wstring(L"Unknown Exception") : Utf8ToWide(failure),
                    kUpdateCaptionId, MB_ICONERROR);
        } catch (...) {
        }
    }
    return kUpdateFailed;
}

} // namespace

std::optional<RunningVersion> ReadFileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data()) ||
        !::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || !info ||
        infoSize < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    return RunningVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                          HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

int RunUpdate(HWND owner, const UpdateParams& params, bool quiet,
              TransferCancellation* cancellation) noexcept {
    const ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const WaitCursor waitCursor;
    try {
        if (params.exePath.empty()) {
            return kUpdateNotNeeded;
        }
        const std::optional<RunningVersion> version = ReadFileVersion(params.exePath);
        if (!version) {
            return kUpdateNotNeeded;
        }
        runningVersion = *version;
        VersionInputValues values;
        values.version = FormatVersionText(version->major, version->minor, version->build);
        FindHostNameAndAddress(values.host, values.ip);
        values.appName = WideToUtf8(params.appName);
        values.versionUrl = WideToUtf8(params.versionUrl);
        values.classToClose = WideToUtf8(params.classToClose);
        const std::string document = FillVersionInput(values);
        const RunIconHook iconHook(params.iconId);
        return RunCore(owner, document, params, quiet, cancellation);
    } catch (...) {
        // Only allocation can fail before the core; the core reports its own failures.
        return kUpdateFailed;
    }
}

uint64_t ReadLastCheckForUpdate() {
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                        key.put()) != ERROR_SUCCESS) {
        return 0;
    }
    uint64_t value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key.get(), kLastCheckValue, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_QWORD || size != sizeof(value)) {
        return 0;
    }
    return value;
}

uint64_t LocalFileTimeNow() {
    SYSTEMTIME systemTime;
    ::GetSystemTime(&systemTime);
    FILETIME utc{};
    FILETIME local{};
    ::SystemTimeToFileTime(&systemTime, &utc);
    ::FileTimeToLocalFileTime(&utc, &local);
    return (static_cast<uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
}

std::wstring VersionCheckUrl() {
    const DWORD length = ::GetEnvironmentVariableW(L"ORVALUX_UPDATE_URL", nullptr, 0);
    if (length > 1) {
        std::wstring url(length, L'\0');
        url.resize(::GetEnvironmentVariableW(L"ORVALUX_UPDATE_URL", url.data(), length));
        if (!url.empty()) {
            return url;
        }
    }
    return ORVALUX_UPDATE_URL_DEFAULT;
}

UpdateParams ProgramUpdateParams() {
    UpdateParams params;
    params.iconId = 100; // IDI_ORVALUX
    params.appName = L"Orvalux";
    params.versionUrl = VersionCheckUrl();
    params.classToClose = L"Orvalux";
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    params.exePath = std::move(path);
    return params;
}
