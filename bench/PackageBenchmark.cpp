// The package against the bare program: its size, and how long Wine's installer takes to
// install it silently, to upgrade it to the next version and to remove it (medians of 3).
#include "BuildPath.h"
#include "Clock.h"
#include "InstalledVersions.h"

#include <windows.h>

#include <msi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 3;

double FileMegabytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return static_cast<double>(data.nFileSizeLow) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds `step` took, or a negative figure when it failed.
template <typename Step> double Timed(Step step) {
    const double start = NowMs();
    return step() == ERROR_SUCCESS ? NowMs() - start : -1;
}

} // namespace

int main() {
    const std::wstring program = test_support::BuildPath(ORVALUX_EXE_PATH);
    const std::wstring package = test_support::BuildPath(ORVALUX_PACKAGE_PATH);
    const std::wstring next = test_support::BuildPath(ORVALUX_NEXT_PACKAGE_PATH);
    std::printf("package: %.2f MB for a program of %.2f MB (%.0f %%)\n", FileMegabytes(package),
                FileMegabytes(program), 100 * FileMegabytes(package) / FileMegabytes(program));

    ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    UninstallEveryVersion();
    // The program is not started after installing: only the installer is timed.
    const wchar_t* properties = L"ORVALUX_NO_START=1";
    std::vector<double> installs, upgrades, removals;
    for (int round = 0; round < kRounds; ++round) {
        installs.push_back(Timed([&] { return ::MsiInstallProductW(package.c_str(), properties); }));
        upgrades.push_back(Timed([&] { return ::MsiInstallProductW(next.c_str(), properties); }));
        removals.push_back(Timed([] { return UninstallEveryVersion(); }));
    }
    std::printf("silent install %.0f ms, upgrade to the next version %.0f ms, uninstall %.0f ms "
                "(medians of %d under Wine's installer)\n",
                Median(installs), Median(upgrades), Median(removals), kRounds);
    return 0;
}
