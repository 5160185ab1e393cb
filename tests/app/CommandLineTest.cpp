#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(MonitorOffSwitch, MatchesInAnyCaseOfTheLettersAToZ) {
    EXPECT_TRUE(IsMonitorOffCommandLine(L"monitoroff"));
    EXPECT_TRUE(IsMonitorOffCommandLine(L"MONITOROFF"));
    EXPECT_TRUE(IsMonitorOffCommandLine(L"MonitorOff"));
}

TEST(MonitorOffSwitch, AnythingElseIsANormalStart) {
    EXPECT_FALSE(IsMonitorOffCommandLine(L""));
    EXPECT_FALSE(IsMonitorOffCommandLine(L"monitoroff now"));
    EXPECT_FALSE(IsMonitorOffCommandLine(L" monitoroff"));
    EXPECT_FALSE(IsMonitorOffCommandLine(L"monitoroff "));
    EXPECT_FALSE(IsMonitorOffCommandLine(L"monitor off"));
    EXPECT_FALSE(IsMonitorOffCommandLine(L"/monitoroff"));
    // Letters outside A to Z never fold: a dotless or dotted capital I is not an i.
    EXPECT_FALSE(IsMonitorOffCommandLine(L"mon\u0130toroff"));
    EXPECT_FALSE(IsMonitorOffCommandLine(L"mon\u0131toroff"));
}

TEST(MonitorOffSwitch, TheArgumentTextIsWhatFollowsTheProgramPathAndOneBlank) {
    EXPECT_EQ(ArgumentText(L"orvalux.exe monitoroff"), L"monitoroff");
    EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\Orvalux\\orvalux.exe\" monitoroff"), L"monitoroff");
    EXPECT_EQ(ArgumentText(L"orvalux.exe\tmonitoroff"), L"monitoroff");
    // A second blank is part of the arguments, so the switch no longer matches.
    EXPECT_EQ(ArgumentText(L"orvalux.exe  monitoroff"), L" monitoroff");
    EXPECT_FALSE(IsMonitorOffCommandLine(ArgumentText(L"\"orvalux.exe\"  monitoroff")));
    EXPECT_EQ(ArgumentText(L"orvalux.exe"), L"");
    EXPECT_EQ(ArgumentText(L"\"orvalux.exe\""), L"");
    EXPECT_EQ(ArgumentText(L"\"unterminated path"), L"");
}
