#include "update/Download.h"

#include "common/ForeignWindow.h"
#include "ui/Localization.h"
#include "ui/TextConversion.h"
#include "update/DownloadProgressDialog.h"
#include "update/DownloadRules.h"
#include "update/InstallerWatch.h"
#include "update/Transfer.h"
#include "update/UpdateFolder.h"
#include "update/UpdateRules.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr unsigned kTransferFailedCaptionId = 10009;
constexpr unsigned kCancelQuestionId = 10011;
constexpr int kCloseAttempts = 10;

struct DownloadState {
    HANDLE file;
    DownloadProgress& progress;
    DownloadProgressWindow& window;
};

size_t WriteBlock(char* data, size_t size, size_t count, void* userData) noexcept {
    auto& transfer = *static_cast<DownloadState*>(userData);
    const size_t bytes = size * count;
    if (transfer.progress.cancelled || bytes > MAXDWORD) {
        return 0; // ends the transfer with a write error
    }
    DWORD written = 0;
    return ::WriteFile(transfer.file, data, static_cast<DWORD>(bytes), &written, nullptr) ? written : 0;
}

int ReportProgress(void* userData, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) noexcept {
    auto& transfer = *static_cast<DownloadState*>(userData);
    // The transfer stands still while the user decides whether to cancel.
    while (transfer.progress.paused) {
        ::Sleep(1000);
    }
    // Confirmed while the last block came in: nothing more is written to end it.
    if (transfer.progress.cancelled) {
        return 1;
    }
    transfer.window.Show(ProgressPercent(static_cast<double>(total), static_cast<double>(received)));
    return 0;
}

void SetErrorText(UpdateInput& input, const char* text) {
    std::strncpy(input.errorText.data(), text, input.errorText.size() - 1);
}

// The file for `location` in the run's own folder; empty (with the reason in the error
// text) when there is none.
std::wstring DownloadPath(const std::string& location, const UpdateFolder& folder, UpdateInput& input) {
    const std::optional<std::string> name = DownloadFileName(location);
    if (!name) {
        SetErrorText(input, "The update's address names no file to download.");
        return {};
    }
    if (!IsStartableInstaller(*name)) {
        SetErrorText(input, "The update's file is neither an installer package nor a program.");
        return {};
    }
    if (folder.Path().empty()) {
        SetErrorText(input, "The installer could not be saved in the temporary folder.");
        return {};
    }
    return folder.Path() + L"\\" + Utf8ToWide(*name);
}

// The written file, open to read and still closed to writers: a program cannot start
// while anyone (this run included) may write to it. None when the file at `path` is no
// longer the one written.
UniqueHandle ReopenToRead(UniqueHandle written, const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION before{};
    BY_HANDLE_FILE_INFORMATION after{};
    if (!::GetFileInformationByHandle(written.get(), &before)) {
        return {};
    }
    written.reset();
    UniqueHandle reading(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!reading || !::GetFileInformationByHandle(reading.get(), &after) ||
        after.dwVolumeSerialNumber != before.dwVolumeSerialNumber ||
        after.nFileIndexHigh != before.nFileIndexHigh || after.nFileIndexLow != before.nFileIndexLow) {
        return {};
    }
    return reading;
}

bool IsElevated() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    const UniqueHandle owned(token);
    TOKEN_ELEVATION elevation{};
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    return ::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated &&
           ::GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size) &&
           (type == TokenElevationTypeDefault || type == TokenElevationTypeFull);
}

} // namespace

void CloseWindowsOfClass(const std::string& className) {
    if (className.empty()) {
        return;
    }
    HWND window = ::FindWindowExA(nullptr, nullptr, className.c_str(), nullptr);
    for (int attempt = 0; window && attempt < kCloseAttempts; ++attempt) {
        if (!SendToForeignWindow(window, WM_CLOSE, 0, 0)) {
            return; // a window that does not answer will not close when asked again
        }
        ::Sleep(16);
        window = ::FindWindowExA(nullptr, nullptr, className.c_str(), nullptr);
    }
}

namespace {

// Starts the installer; `process` is its process when there is one to follow (a start
// through a document association may have none).
bool StartInstaller(const std::wstring& path, UniqueHandle& process) {
    wchar_t system[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring msiexec =
        length > 0 && length < MAX_PATH ? std::wstring(system) + L"\\msiexec.exe" : L"msiexec.exe";
    const InstallerCommand command = InstallerCommandFor(WideToUtf8(path), WideToUtf8(msiexec), IsElevated());
    const std::wstring file = Utf8ToWide(command.file);
    const std::wstring parameters = Utf8ToWide(command.parameters);
    const std::wstring verb = Utf8ToWide(command.verb);
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_NOASYNC | SEE_MASK_UNICODE | SEE_MASK_NOCLOSEPROCESS;
    start.lpVerb = verb.c_str();
    start.lpFile = file.c_str();
    start.lpParameters = parameters.c_str();
    start.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&start)) {
        return false;
    }
    process.reset(start.hProcess);
    return true;
}

} // namespace

int DownloadAndInstall(HWND owner, const UpdateParams& params, UpdateInput& input,
                       const UpdateAnswer& answer) {
    DownloadProgress progress;
    progress.confirmationCaption = Utf8ToWide(input.messageBoxTitle);
    progress.confirmationText = LoadText(kCancelQuestionId);
    UpdateFolder folder;
    const std::wstring path = DownloadPath(answer.location, folder, input);
    // Written without sharing the right to write, and kept open until the installer has
    // started, so no one can change it between the download and the start.
    UniqueHandle file;
    CURLcode result = CURLE_WRITE_ERROR;
    {
        DownloadProgressWindow window(progress);
        // The downloaded file is executed: anyone between here and the server must not be
        // able to substitute it.
        if (!IsPermittedQueryUrl(answer.location)) {
            SetErrorText(input, "The installer's address was refused: only https is allowed.");
        } else if (!path.empty()) {
            file.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) {
                SetErrorText(input, "The installer could not be saved in the temporary folder.");
            }
        }
        if (file) {
            DownloadState transfer{file.get(), progress, window};
            UpdateTransfer download(answer.location, params.limits, input.errorText);
            download.SetWriter(&WriteBlock, &transfer);
            download.SetProgressReporter(&ReportProgress, &transfer);
            result = download.Perform();
        }
    } // the progress window ends here, whichever came first
    // A confirmed cancel wins over a transfer that ended meanwhile: nothing is started.
    UniqueHandle installerFile;
    if (result == CURLE_OK && !progress.cancelled) {
        installerFile = ReopenToRead(std::move(file), path);
        if (!installerFile) {
            SetErrorText(input, "The installer could not be saved in the temporary folder.");
        }
    }
    file.reset();
    if (!installerFile) {
        if (!progress.cancelled) {
            ::MessageBoxW(owner, Utf8ToWide(input.errorText.data()).c_str(),
                          LoadText(kTransferFailedCaptionId), MB_OK);
        }
        return kUpdateFailed;
    }
    CloseWindowsOfClass(input.className2Close);
    UniqueHandle installer;
    if (!StartInstaller(path, installer)) {
        return kUpdateFailed;
    }
    installerFile.reset();
    // The installer reads its file: the watch removes it once the installer has ended.
    folder.Keep();
    if (installer) {
        StartInstallerWatch(installer.get(), params.exePath, folder.Path(), folder.Token());
    }
    ::PostMessageW(owner, WM_CLOSE, 0, 0);
    return kUpdateInstallerStarted;
}
