#include "update/DownloadRules.h"

#include <gtest/gtest.h>

namespace {

TEST(DownloadRules, TheLastPathComponentNamesTheFileWithoutCharactersWindowsRefuses) {
    EXPECT_EQ(DownloadFileName("https://orvalux.org/files/Setup-3.2.msi"), "Setup-3.2.msi");
    EXPECT_EQ(DownloadFileName("https://orvalux.org/get?file=Setup.msi&arch=64"),
              "get_file=Setup.msi&arch=64");
    EXPECT_EQ(DownloadFileName("https://orvalux.org/a/Setup.msi?v=\"3|2\"*<>"), "Setup.msi_v=_3_2____");
    EXPECT_EQ(DownloadFileName("C:\\folder\\Setup\t.msi"), "Setup_.msi");
    EXPECT_EQ(DownloadFileName("Setup.msi"), "Setup.msi");
    // Nothing after the last separator: no file to write.
    EXPECT_EQ(DownloadFileName(""), std::nullopt);
    EXPECT_EQ(DownloadFileName("https://orvalux.org/files/.."), std::nullopt);
    EXPECT_EQ(DownloadFileName("https://orvalux.org/files/Setup.msi. "), "Setup.msi");
}

TEST(DownloadRules, PackagesGoToTheSystemsMsiexecOtherFilesStartThemselves) {
    constexpr char msiexec[] = "C:\\Windows\\System32\\msiexec.exe";
    const InstallerCommand package = InstallerCommandFor("C:\\Temp\\SETUP.MSI", msiexec, false);
    EXPECT_EQ(package.file, msiexec);
    EXPECT_EQ(package.parameters, "/qb /promptrestart /i \"C:\\Temp\\SETUP.MSI\"");
    EXPECT_EQ(package.verb, "open");
    EXPECT_EQ(InstallerCommandFor("C:\\Temp\\setup.exe", msiexec, false).verb, "runas");
    EXPECT_EQ(InstallerCommandFor("C:\\Temp\\setup.exe", msiexec, true).verb, "open");
    EXPECT_EQ(InstallerCommandFor("msi", msiexec, true).file, "msi");

    EXPECT_TRUE(IsStartableInstaller("Orvalux-3.2.0.MSI"));
    for (const char* name : {"setup.cmd", "Orvalux-3.2.0.msi.part", "index.html", "msi", ""}) {
        EXPECT_FALSE(IsStartableInstaller(name)) << name;
    }
}

TEST(DownloadRules, AnInstallerSucceedsAlsoWhenTheMachineMustRestart) {
    for (const uint32_t done : {0u, 1641u, 3010u}) {
        EXPECT_TRUE(InstallerSucceeded(done)) << done;
    }
    for (const uint32_t failed : {1u, 1602u, 1603u, 1618u, 1620u}) {
        EXPECT_FALSE(InstallerSucceeded(failed)) << failed;
    }
}

TEST(DownloadRules, ProgressIsAWholePercentageAndZeroWithoutATotal) {
    EXPECT_EQ(ProgressPercent(0, 5000), 0);
    EXPECT_EQ(ProgressPercent(0.0000001, 1), 0);
    EXPECT_EQ(ProgressPercent(3, 2), 66);
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(1000, 5000), 100) << "a server that sends more than it announced";
}

} // namespace
