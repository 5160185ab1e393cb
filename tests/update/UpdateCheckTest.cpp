// RunUpdate against a loopback server in this process, with the real program file for
// the running version and a throwaway settings key.
#include "LoopbackHttpServer.h"

#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "ui/Localization.h"
#include "ui/TextConversion.h"
#include "update/UpdateCheck.h"
#include "update/UpdateRules.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <regex>

namespace {

constexpr char kNoUpdate[] = "<VERSION><NeedToBeUpdated>no</NeedToBeUpdated></VERSION>";
constexpr char kUpdate[] =
    "<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated><Location>https://x/a.msi</Location>"
    "<Changes>PHRyPg==</Changes></VERSION>";

std::wstring ProgramPath() {
    const std::string path = ORVALUX_EXE_PATH;
    // Under Wine the build path is a Unix path; its Z: drive maps the root.
    return Utf8ToWide(path[0] == '/' ? "Z:" + path : path);
}

// Every window created on this thread while it lives, message boxes included.
class WindowCreationCount {
public:
    WindowCreationCount() : hook_(::SetWindowsHookExW(WH_CBT, Count, nullptr, ::GetCurrentThreadId())) {
        created = 0;
    }
    ~WindowCreationCount() { ::UnhookWindowsHookEx(hook_); }
    static inline int created = 0;

private:
    static LRESULT CALLBACK Count(int code, WPARAM wParam, LPARAM lParam) {
        created += code == HCBT_CREATEWND;
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

// What an interactive run showed: every box is read when it activates, then closed.
class BoxReader {
public:
    struct Box {
        std::wstring caption, text;
        bool hasSmallIcon;
    };
    BoxReader() : hook_(::SetWindowsHookExW(WH_CBT, Read, nullptr, ::GetCurrentThreadId())) { boxes.clear(); }
    ~BoxReader() { ::UnhookWindowsHookEx(hook_); }
    static inline std::vector<Box> boxes;

private:
    static LRESULT CALLBACK Read(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && wParam) {
            const auto box = reinterpret_cast<HWND>(wParam);
            wchar_t caption[256] = {};
            wchar_t text[1024] = {};
            ::GetWindowTextW(box, caption, 256);
            ::GetDlgItemTextW(box, 0xFFFF, text, 1024); // the message box's text control
            boxes.push_back({caption, text, ::SendMessageW(box, WM_GETICON, ICON_SMALL, 0) != 0});
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

class UpdateCheckTest : public ::testing::Test {
protected:
    // The program's main thread is a COM apartment already when it checks.
    const ComInitialization com{COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE};

    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
        SetSettingsKeyPathForTesting(keyPath_);
        params.iconId = 100;
        params.appName = L"Orvalux";
        params.classToClose = L"Orvalux";
        params.exePath = ProgramPath();
        params.limits.connectTimeoutMs = 1000;
        params.limits.lowSpeedSeconds = 1;
    }
    void TearDown() override {
        SetSettingsKeyPathForTesting(L"");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
    }
    int Run(const std::string& baseUrl, bool quiet = true) {
        params.versionUrl = Utf8ToWide(baseUrl + "/Orvalux/VersionCheck.aspx");
        return RunUpdate(nullptr, params, quiet);
    }
    UpdateParams params;

private:
    std::wstring keyPath_ =
        L"Software\\Kestrine\\OrvaluxUpdateTest-" + std::to_wstring(::GetCurrentProcessId());
};

TEST_F(UpdateCheckTest, QuietRunsGiveTheEndpointsAnswerAndStoreTheCheck) {
    struct Case {
        std::string response;
        int result;
    };
    const Case cases[] = {
        {LoopbackHttpServer::Response(kUpdate), kUpdateAvailable},
        {LoopbackHttpServer::Response(kNoUpdate), kUpdateNotNeeded},
        {LoopbackHttpServer::Response("<VERSION><Blacklisted/></VERSION>"), kUpdateBlacklisted},
        {LoopbackHttpServer::Response("<!DOCTYPE html><html></html>", "404 Not Found"), kUpdateFailed},
    };
    char hostName[256] = {};
    ::gethostname(hostName, sizeof(hostName));
    const std::regex request(
        "GET /Orvalux/VersionCheck\\.aspx\\?version=" + std::to_string(ORVALUX_VERSION_MAJOR) + "\\." +
        std::to_string(ORVALUX_VERSION_MINOR) + std::to_string(ORVALUX_VERSION_PATCH) +
        "&machine=64&host=" + hostName + "&ip=\\d+\\.\\d+\\.\\d+\\.\\d+ HTTP/1\\.1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.response);
        LoopbackHttpServer server(c.response);
        const uint64_t before = LocalFileTimeNow();
        const WindowCreationCount windows;
        EXPECT_EQ(Run(server.BaseUrl()), c.result);
        EXPECT_EQ(windows.created, 0);
        const std::vector<std::string> lines = server.RequestLines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(std::regex_match(lines[0], request)) << lines[0];
        const uint64_t stored = ReadLastCheckForUpdate();
        EXPECT_GE(stored, before);
        EXPECT_LE(stored, LocalFileTimeNow());
        ASSERT_EQ(::RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), L"LastCheckForUpdate"),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(runningVersion.major, ORVALUX_VERSION_MAJOR);
    EXPECT_EQ(runningVersion.build, ORVALUX_VERSION_PATCH);
}

TEST_F(UpdateCheckTest, FailedTransfersStoreNothing) {
    const WindowCreationCount windows;
    EXPECT_EQ(Run("http://127.0.0.1:" + std::to_string(LoopbackHttpServer::ClosedPort())), kUpdateFailed);

    // Ended by the shortened low-speed limit (a second), not the product's half minute.
    LoopbackHttpServer stalled("", true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(stalled.BaseUrl()), kUpdateFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(stalled.RequestLines().size(), 1u);

    // A redirect off https is not followed, not even back to the loopback server.
    LoopbackHttpServer redirect(LoopbackHttpServer::Response("", "302 Found", "Location: #BASE#/again\r\n"));
    EXPECT_EQ(Run(redirect.BaseUrl()), kUpdateFailed);
    EXPECT_EQ(redirect.RequestLines().size(), 1u);

    // An answer beyond the bound ends the transfer.
    params.limits.maxAnswerBytes = 1000;
    LoopbackHttpServer large(LoopbackHttpServer::Response(std::string(2000, ' ') + kNoUpdate));
    EXPECT_EQ(Run(large.BaseUrl()), kUpdateFailed);
    params.limits = {};

    // Plain http to another host is refused before any transfer: through this proxy the
    // query would reach the loopback server.
    LoopbackHttpServer proxy(LoopbackHttpServer::Response(kNoUpdate));
    ::_putenv_s("http_proxy", proxy.BaseUrl().c_str());
    EXPECT_EQ(Run("http://updates.example"), kUpdateFailed);
    ::_putenv_s("http_proxy", "");
    EXPECT_TRUE(proxy.RequestLines().empty());

    EXPECT_EQ(ReadLastCheckForUpdate(), 0u);
    EXPECT_EQ(windows.created, 0);

    // No running version, no check.
    params.exePath = L"C:\\windows\\no-such-file.exe";
    LoopbackHttpServer unused(LoopbackHttpServer::Response(kUpdate));
    EXPECT_EQ(Run(unused.BaseUrl()), kUpdateNotNeeded);
    EXPECT_TRUE(unused.RequestLines().empty());
}

// Each box costs about two seconds under Wine without a window manager: three cover
// the three kinds (no update, failed transfer, refused answer).
TEST_F(UpdateCheckTest, InteractiveRunsReportInBoxesWithTheProgramIcon) {
    ASSERT_STRNE(LoadText(10007), L"");
    LoopbackHttpServer noUpdate(LoopbackHttpServer::Response(kNoUpdate));
    LoopbackHttpServer invalid(LoopbackHttpServer::Response("<VERSION/>"));
    LoopbackHttpServer offer(LoopbackHttpServer::Response(kUpdate));
    const BoxReader reader;
    EXPECT_EQ(Run(noUpdate.BaseUrl(), false), kUpdateNotNeeded);
    EXPECT_EQ(Run("http://127.0.0.1:" + std::to_string(LoopbackHttpServer::ClosedPort()), false),
              kUpdateFailed);
    EXPECT_EQ(Run(invalid.BaseUrl(), false), kUpdateFailed);
    // Until the update page exists, an offered update ends as if the page were closed.
    EXPECT_EQ(Run(offer.BaseUrl(), false), kUpdateNotNeeded);

    ASSERT_EQ(reader.boxes.size(), 3u);
    EXPECT_EQ(reader.boxes[0].caption, LoadText(10012));
    EXPECT_EQ(reader.boxes[0].text, LoadText(10007));
    EXPECT_EQ(reader.boxes[1].caption, LoadText(10009));
    EXPECT_NE(reader.boxes[1].text.find(L"127.0.0.1"), std::wstring::npos) << reader.boxes[1].text;
    EXPECT_EQ(reader.boxes[2].caption, LoadText(10012));
    EXPECT_EQ(reader.boxes[2].text, L"NeedToBeUpdated node is missed.");
    for (const auto& box : reader.boxes) {
        EXPECT_TRUE(box.hasSmallIcon) << box.text;
    }
}

TEST(UpdateParams, ProgramRecordUsesTheBuiltInAddressUnlessOverridden) {
    ::SetEnvironmentVariableW(L"ORVALUX_UPDATE_URL", nullptr);
    EXPECT_EQ(ProgramUpdateParams().versionUrl.rfind(L"https://", 0), 0u);
    ::SetEnvironmentVariableW(L"ORVALUX_UPDATE_URL", L"http://127.0.0.1:8080/Orvalux/VersionCheck.aspx");
    const UpdateParams params = ProgramUpdateParams();
    ::SetEnvironmentVariableW(L"ORVALUX_UPDATE_URL", nullptr);
    EXPECT_EQ(params.versionUrl, L"http://127.0.0.1:8080/Orvalux/VersionCheck.aspx");
    EXPECT_EQ(params.iconId, 100);
    EXPECT_NE(params.exePath.find(L"update_check_tests.exe"), std::wstring::npos);
}

} // namespace
