#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(MonitorOffSwitch, MatchesInAnyCaseOfTheLettersAToZAndNothingElse) {
    for (const wchar_t* on : {L"monitoroff", L"MONITOROFF", L"MonitorOff"}) {
        EXPECT_TRUE(IsMonitorOffCommandLine(on)) << on;
    }
    // Anything else is a normal start. Letters outside A to Z never fold: a dotless or
    // dotted capital I is not an i.
    for (const wchar_t* off : {L"", L"monitoroff now", L" monitoroff", L"monitoroff ", L"monitor off",
                               L"/monitoroff", L"mon\u0130toroff", L"mon\u0131toroff"}) {
        EXPECT_FALSE(IsMonitorOffCommandLine(off)) << off;
    }
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
