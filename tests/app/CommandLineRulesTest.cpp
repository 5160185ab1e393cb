#include "app/CommandLineRules.h"
#include "app/RemoteCommandRules.h"

#include <gtest/gtest.h>

namespace {

CommandRequest Parsed(std::wstring_view text) {
    ParsedCommand parsed = ParseCommandLine(text);
    EXPECT_TRUE(parsed.request) << parsed.error;
    return parsed.request.value_or(CommandRequest{});
}

std::string ErrorOf(std::wstring_view text) {
    const ParsedCommand parsed = ParseCommandLine(text);
    EXPECT_FALSE(parsed.request) << "accepted: " << std::string(text.begin(), text.end());
    return parsed.error;
}

} // namespace

TEST(CommandLineParser, ReadsEveryValueWordInAnyCaseWithShortFormsAndSigns) {
    const CommandRequest set =
        Parsed(L"SET b 40 C +15 red -5 Green 0 blue 100 temperature 8 --monitor \"Dell U2415\"");
    EXPECT_EQ(set.verb, CommandVerb::Set);
    ASSERT_EQ(set.changes.size(), 6u);
    const MonitorParameter order[] = {MonitorParameter::Brightness, MonitorParameter::Contrast,
                                      MonitorParameter::GainRed,    MonitorParameter::GainGreen,
                                      MonitorParameter::GainBlue,   MonitorParameter::ColorTemperature};
    const int amounts[] = {40, 15, -5, 0, 100, 8};
    const bool relative[] = {false, true, true, false, false, false};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(set.changes[i].parameter, order[i]);
        EXPECT_EQ(set.changes[i].amount, amounts[i]);
        EXPECT_EQ(set.changes[i].relative, relative[i]);
    }
    EXPECT_EQ(set.monitor, L"Dell U2415");

    EXPECT_TRUE(Parsed(L"get --JSON").json);
    EXPECT_EQ(Parsed(L"set brightness 40 --help").verb, CommandVerb::Help);
    EXPECT_EQ(Parsed(L"/?").verb, CommandVerb::Help);
}

TEST(CommandLineParser, RefusesJunkBoundsAndRepeatsNamingTheWord) {
    EXPECT_NE(ErrorOf(L"set brightness +101").find("0..100"), std::string::npos);
    EXPECT_NE(ErrorOf(L"set brightness -0101").find("\"-0101\""), std::string::npos);
    EXPECT_NE(ErrorOf(L"set brightness 4O").find("\"4O\""), std::string::npos);
    EXPECT_NE(ErrorOf(L"set brightness").find("brightness needs"), std::string::npos);
    EXPECT_NE(ErrorOf(L"set temperature 9").find("preset 0..8"), std::string::npos);
    EXPECT_NE(ErrorOf(L"set temperature +1").find("\"+1\""), std::string::npos);
    EXPECT_NE(ErrorOf(L"set brightness 4 b 5").find("twice"), std::string::npos);
    EXPECT_NE(ErrorOf(L"set bright 40").find("\"bright\""), std::string::npos);
    EXPECT_NE(ErrorOf(L"set").find("needs a value"), std::string::npos);
    EXPECT_NE(ErrorOf(L"set brightness 4 --json").find("\"--json\""), std::string::npos);
    EXPECT_NE(ErrorOf(L"get --monitor").find("--monitor needs"), std::string::npos);
    EXPECT_NE(ErrorOf(L"get --monitor \"\"").find("--monitor needs"), std::string::npos);
    EXPECT_NE(ErrorOf(L"list --monitor 1").find("\"--monitor\""), std::string::npos);
    EXPECT_NE(ErrorOf(L"--frobnicate").find("\"--frobnicate\""), std::string::npos);
    EXPECT_NE(ErrorOf(std::wstring(40000, L'x')).find("too long"), std::string::npos);

    // A long word is quoted by its start only; ten thousand words end at the first repeat.
    EXPECT_LT(ErrorOf(L"get " + std::wstring(30000, L'y')).size(), 100u);
    std::wstring many = L"set";
    for (int i = 0; i < 5000; ++i) {
        many += L" b 1";
    }
    EXPECT_NE(ErrorOf(many).find("twice"), std::string::npos);
}

TEST(CommandLineParser, TellsCommandsFromOtherStartsAndSplitsLikeTheRuntime) {
    EXPECT_TRUE(IsCommandLineRequest(L"Set brightness 4"));
    EXPECT_TRUE(IsCommandLineRequest(L"--help"));
    EXPECT_TRUE(IsCommandLineRequest(L"-x"));
    EXPECT_FALSE(IsCommandLineRequest(L"monitoroff"));
    EXPECT_FALSE(IsCommandLineRequest(L""));
    EXPECT_FALSE(IsCommandLineRequest(L"afterupdate 12 C:\\x.exe"));
    EXPECT_EQ(SplitArguments(L" a  \"b c\" \"\" d\\\"e f\\\\\"g h\" i\\j"),
              (std::vector<std::wstring>{L"a", L"b c", L"", L"d\"e", L"f\\g h", L"i\\j"}));
}

TEST(CommandLineParser, CalibrateExcludeAndIncludeNeedAMonitorAndSoundRanges) {
    const ParsedCommand calibrate = ParseCommandLine(L"Calibrate --monitor 2 b 20..60 contrast 0..0");
    ASSERT_TRUE(calibrate.request) << calibrate.error;
    EXPECT_EQ(calibrate.request->verb, CommandVerb::Calibrate);
    EXPECT_EQ(calibrate.request->brightnessShare, (ShareRange{20, 60}));
    EXPECT_EQ(calibrate.request->contrastShare, (ShareRange{0, 0}));
    for (const wchar_t* bad :
         {L"calibrate brightness 20..60", L"calibrate --monitor 1",
          L"calibrate --monitor 1 brightness 20..101", L"calibrate --monitor 1 brightness 20",
          L"calibrate --monitor 1 red 0..50", L"calibrate --monitor 1 b 1..2 b 1..2", L"exclude",
          L"include --monitor 1 --json", L"exclude --monitor 1 brightness 20..60"}) {
        EXPECT_FALSE(ParseCommandLine(bad).request) << NameUtf8(bad);
    }
    EXPECT_EQ(ParseCommandLine(L"calibrate --monitor 1 brightness 60..20").error,
              "brightness needs LOW..HIGH with 0 <= LOW <= HIGH <= 100, not \"60..20\".");
}

TEST(CommandLineParser, StepsStartFromTheCurrentValueAndStayWithin0To100) {
    EXPECT_EQ(ResolveChange({MonitorParameter::Brightness, true, 15}, 95), 100u);
    EXPECT_EQ(ResolveChange({MonitorParameter::Brightness, true, -15}, 5), 0u);
}

TEST(CommandLineAnswers, JsonEscapesNamesAndShowsWhatIsMissingAsNull) {
    MonitorReading monitor;
    monitor.index = 1;
    monitor.name = L"A \"quoted\" \\ name\n\x01\u00e9\xD800";
    monitor.levels[0] = ReadingOf(0, 20, 50);
    monitor.levels[1] = ReadingOf(0, 0, 0); // never read
    EXPECT_EQ(
        MonitorsJson({monitor}),
        "{\"monitors\":[{\"index\":1,\"name\":\"A \\\"quoted\\\" \\\\ name\\n\\u0001\xC3\xA9\xEF\xBF\xBD\","
        "\"laptop\":false,\"brightness\":{\"percent\":40,\"value\":20,\"minimum\":0,\"maximum\":50},"
        "\"contrast\":null,\"red\":null,\"green\":null,\"blue\":null,\"temperature\":null,"
        "\"calibration\":{\"brightness\":{\"low\":0,\"high\":100},\"contrast\":{\"low\":0,\"high\":100}},"
        "\"excluded\":false}]}\n");
    monitor.preset = 0;
    monitor.supportedPresets = 0x15;
    monitor.laptop = true;
    const std::string json = MonitorsJson({monitor, monitor});
    EXPECT_NE(json.find("\"laptop\":true"), std::string::npos);
    EXPECT_NE(json.find("\"temperature\":{\"preset\":null,\"supported\":[1,3,5]},\"calibration\":{"),
              std::string::npos);
    EXPECT_NE(json.find("\"excluded\":false},{\"index\":1,"), std::string::npos) << json;
    EXPECT_EQ(MonitorsJson({}), "{\"monitors\":[]}\n");

    EXPECT_EQ(SelectMonitor({monitor}, L"1"), 0u);
    EXPECT_EQ(SelectMonitor({monitor}, L"2"), std::nullopt);
    monitor.name = L"Left";
    EXPECT_EQ(SelectMonitor({monitor}, L"LEFT"), 0u);
    EXPECT_NE(ValuesTable({monitor}).find("1  Left     40 "), std::string::npos) << ValuesTable({monitor});
}

TEST(RemoteCommandMessages, OnlyWholeWellFormedMessagesAreTaken) {
    const std::string request = EncodeRequest({0x1234, u"set brightness 40"});
    ASSERT_TRUE(DecodeRequest(request));
    EXPECT_FALSE(DecodeRequest(request.substr(0, request.size() - 1)));
    EXPECT_FALSE(DecodeRequest(request + "xx"));
    EXPECT_FALSE(DecodeRequest(""));
    EXPECT_FALSE(DecodeRequest(std::string(16, '\xFF')));
    EXPECT_FALSE(DecodeRequest(EncodeRequest({0, u"get"})));

    const std::string answer = EncodeAnswer({4, "out", "err"});
    const auto back = DecodeAnswer(answer);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->exitCode, 4u);
    EXPECT_EQ(back->output, "out");
    EXPECT_EQ(back->error, "err");
    EXPECT_FALSE(DecodeAnswer(answer.substr(1)));
    EXPECT_FALSE(DecodeAnswer(EncodeAnswer({77, "", ""})));
}
