// How long a quiet update check blocks the calling thread (the program's main thread,
// which runs it from a timer): median of 20 runs against a loopback server in this
// process, so the figure is the component's own cost plus one local HTTP exchange.
#include "LoopbackHttpServer.h"

#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "ui/TextConversion.h"
#include "update/UpdateCheck.h"
#include "update/UpdateRules.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr const wchar_t* kBenchmarkKey = L"Software\\Kestrine\\OrvaluxBenchmark";
constexpr int kRuns = 20;

} // namespace

int main() {
    const ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchmarkKey);
    SetSettingsKeyPathForTesting(kBenchmarkKey);

    LoopbackHttpServer server(
        LoopbackHttpServer::Response("<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated><Version>9.0.0</Version>"
                                     "<Location>https://x/Orvalux-9.0.0.msi</"
                                     "Location><Changes>PHRyPjx0ZD4xPC90ZD48L3RyPg==</Changes></VERSION>"));
    UpdateParams params;
    params.iconId = 100;
    params.appName = L"Orvalux";
    params.classToClose = L"Orvalux";
    std::string exePath = ORVALUX_EXE_PATH;
    params.exePath = Utf8ToWide(exePath[0] == '/' ? "Z:" + exePath : exePath);
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

    SetSettingsKeyPathForTesting(L"");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchmarkKey);
    return 0;
}
