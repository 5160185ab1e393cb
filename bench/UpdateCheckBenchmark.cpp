// How long a quiet update check blocks the calling thread (the program's main thread,
// which runs it from a timer): median of 20 runs against a loopback server in this
// process, so the figure is the component's own cost plus one local HTTP exchange.
// Then the installer download with its progress window against a bare libcurl transfer
// of the same 50 MB from the same server: the progress reporting must not slow it.
#include "BuildPath.h"
#include "LoopbackHttpServer.h"
#include "ScopedSettingsKey.h"

#include "common/ComInitialization.h"
#include "common/UniqueResource.h"
#include "ui/TextConversion.h"
#include "update/Download.h"
#include "update/UpdateCheck.h"
#include "update/UpdateRules.h"

#include <windows.h>

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 20;
constexpr int kDownloadRuns = 3;
constexpr double kDownloadMegabytes = 50;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
    return std::fwrite(data, size, count, static_cast<FILE*>(file)) * size;
}

// The same file fetched by libcurl with nothing around it: what the network allows.
double BareTransferSeconds(const std::string& url, const std::wstring& path) {
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    CURL* curl = ::curl_easy_init();
    ::curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    ::curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteToFile);
    ::curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
    const Clock::time_point start = Clock::now();
    ::curl_easy_perform(curl);
    const double seconds = Seconds(start);
    ::curl_easy_cleanup(curl);
    std::fclose(file);
    return seconds;
}

// The installer download as the update page's Install runs it: progress window, writer,
// reporter, then the start of the (do-nothing) installer.
bool MeasureDownload(const UpdateParams& params) {
    // The "installer" is a program that ends at once, as a successful installation does;
    // the rest is padding behind its image.
    std::ifstream standIn(std::filesystem::path(test_support::BuildPath(INSTALLER_STAND_IN_PATH)),
                          std::ios::binary);
    std::string installer((std::istreambuf_iterator<char>(standIn)), std::istreambuf_iterator<char>());
    if (installer.empty()) {
        std::printf("installer download: the installer stand-in could not be read\n");
        return false;
    }
    installer.resize(static_cast<size_t>(kDownloadMegabytes * 1e6), ' ');
    LoopbackHttpServer server({{"/files/", LoopbackHttpServer::Response(installer)}});
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring barePath = std::wstring(folder) + L"orvalux-bench-bare.exe";
    const UniqueHwnd owner(
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    UpdateAnswer answer;
    answer.location = server.BaseUrl() + "/files/orvalux-bench-installer.exe";
    std::vector<double> bare;
    std::vector<double> download;
    for (int i = 0; i < kDownloadRuns; ++i) {
        bare.push_back(BareTransferSeconds(answer.location, barePath));
        UpdateInput input;
        const Clock::time_point start = Clock::now();
        const int result = DownloadAndInstall(owner.get(), params, input, answer);
        download.push_back(Seconds(start));
        if (result != kUpdateInstallerStarted) {
            std::printf("installer download: run %d gave %d: %s\n", i, result, input.errorText.data());
            return false;
        }
    }
    const double bareRate = kDownloadMegabytes / Median(bare);
    const double downloadRate = kDownloadMegabytes / Median(download);
    std::printf("installer download, %.0f MB on loopback: %.0f MB/s with the progress window, %.0f MB/s bare "
                "libcurl (%.0f %%; medians of %d)\n",
                kDownloadMegabytes, downloadRate, bareRate, 100 * downloadRate / bareRate, kDownloadRuns);
    ::DeleteFileW(barePath.c_str());
    ::DeleteFileW((std::wstring(folder) + L"installer-ran.txt").c_str());
    return true;
}

} // namespace

int main() {
    const ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const test_support::ScopedSettingsKey settingsKey(L"OrvaluxBenchmark");

    LoopbackHttpServer server(
        LoopbackHttpServer::Response("<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated><Version>9.0.0</Version>"
                                     "<Location>https://x/Orvalux-9.0.0.msi</"
                                     "Location><Changes>PHRyPjx0ZD4xPC90ZD48L3RyPg==</Changes></VERSION>"));
    UpdateParams params;
    params.iconId = 100;
    params.appName = L"Orvalux";
    params.classToClose = L"Orvalux";
    params.exePath = test_support::BuildPath(ORVALUX_EXE_PATH);
    params.versionUrl = Utf8ToWide(server.BaseUrl() + "/Orvalux/VersionCheck.aspx");

    std::vector<double> blocked;
    for (int i = 0; i < kRuns; ++i) {
        const Clock::time_point start = Clock::now();
        const int result = RunUpdate(nullptr, params, true);
        blocked.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (result != kUpdateAvailable) {
            std::printf("quiet update check: run %d gave %d, expected %d\n", i, result, kUpdateAvailable);
            return 1;
        }
    }
    std::sort(blocked.begin(), blocked.end());
    std::printf(
        "quiet update check on loopback: caller blocked %.1f ms (median of %d; fastest %.1f, slowest %.1f)\n",
        (blocked[kRuns / 2 - 1] + blocked[kRuns / 2]) / 2, kRuns, blocked.front(), blocked.back());

    return MeasureDownload(params) ? 0 : 1;
}
