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
    EXPECT_EQ(DownloadFileName("https://orvalux.org/files/"), std::nullopt);
    EXPECT_EQ(DownloadFileName(""), std::nullopt);
}

} // namespace
