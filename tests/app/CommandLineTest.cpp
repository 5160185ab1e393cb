#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(MonitorOffSwitch, MatchesInAnyCaseOfTheLettersAToZAndNothingElse) {
    EXPECT_TRUE(IsMonitorOffCommandLine(L"monitoroff"));
    EXPECT_TRUE(IsMonitorOffCommandLine(L"MONITOROFF"));
    EXPECT_TRUE(IsMonitorOffCommandLine(L"MonitorOff"));
    // Anything else is a normal start.
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

TEST(UninstallSwitch, ForgetsOnlyARunValueThatStartsThisProgram) {
    EXPECT_TRUE(IsUninstallCommandLine(L"Uninstall"));
    EXPECT_FALSE(IsUninstallCommandLine(L"uninstall now"));
    constexpr wchar_t program[] = L"C:\\Users\\Ann\\AppData\\Local\\Programs\\Orvalux\\orvalux.exe";
    EXPECT_TRUE(RunValueStartsProgram(L"\"C:\\users\\ann\\AppData\\Local\\Programs\\Orvalux\\ORVALUX.exe\"",
                                      program));
    EXPECT_TRUE(RunValueStartsProgram(program, program));
    EXPECT_FALSE(RunValueStartsProgram(L"\"D:\\Tools\\orvalux.exe\"", program)) << "a copy elsewhere";
    EXPECT_FALSE(RunValueStartsProgram(L"\"", program));
    EXPECT_FALSE(RunValueStartsProgram(L"", L""));
}

TEST(AfterUpdateSwitch, TakesTheInstallersHandleAndTheProgramsPath) {
    const auto parsed =
        ParseAfterUpdateCommandLine(L"afterupdate 1234 C:\\Program Files\\Orvalux\\orvalux.exe");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->installer, 1234u);
    EXPECT_EQ(parsed->program, L"C:\\Program Files\\Orvalux\\orvalux.exe");
    for (const wchar_t* wrong :
         {L"afterupdate", L"afterupdate 12", L"afterupdate 12 ", L"afterupdate x C:\\a.exe",
          L"afterupdate 0 C:\\a.exe", L"afterupdate 99999999999999999999999 C:\\a.exe",
          L"monitoroff 12 C:\\a.exe"}) {
        EXPECT_FALSE(ParseAfterUpdateCommandLine(wrong)) << wrong;
    }
}
