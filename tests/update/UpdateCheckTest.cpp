// RunUpdate against a loopback server in this process, with the real program file for
// the running version and a throwaway settings key.
#include "BuildPath.h"
#include "LoopbackHttpServer.h"
#include "ProgramFixture.h"
#include "ScopedSettingsKey.h"
#include "TemporaryFolder.h"
#include "Waiting.h"

#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "ui/Localization.h"
#include "ui/TextConversion.h"
#include "update/UpdateCheck.h"
#include "update/UpdateFolder.h"
#include "update/UpdateRules.h"

#include <gtest/gtest.h>

#include <winsock2.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <regex>
#include <thread>

namespace {

constexpr char kNoUpdate[] = "<VERSION><NeedToBeUpdated>no</NeedToBeUpdated></VERSION>";
constexpr char kUpdate[] =
    "<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated><Location>https://x/a.msi</Location>"
    "<Changes>PHRyPg==</Changes></VERSION>";

constexpr int kInstallButton = 10202;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// What a run showed: every window created on this thread counted, every box read when it
// activates, then closed.
class BoxReader {
public:
    struct Box {
        std::wstring caption, text;
        bool hasSmallIcon;
    };
    explicit BoxReader(WORD answer = IDCANCEL)
        : hook_(::SetWindowsHookExW(WH_CBT, Read, nullptr, ::GetCurrentThreadId())) {
        boxes.clear();
        created = 0;
        pagesShown = 0;
        pageAnswer = answer;
    }
    ~BoxReader() { ::UnhookWindowsHookEx(hook_); }
    static inline std::vector<Box> boxes;
    static inline int created = 0; // windows, message boxes included
    // How often the update page was shown, and the button it is answered with.
    static inline int pagesShown = 0;
    static inline WORD pageAnswer = IDCANCEL;

private:
    static LRESULT CALLBACK Read(int code, WPARAM wParam, LPARAM lParam) {
        created += code == HCBT_CREATEWND;
        wchar_t className[16] = {};
        if (code == HCBT_ACTIVATE && wParam &&
            ::GetClassNameW(reinterpret_cast<HWND>(wParam), className, 16) &&
            std::wstring(className) == L"#32770") {
            const auto box = reinterpret_cast<HWND>(wParam);
            if (::GetDlgItem(box, kInstallButton)) {
                ++pagesShown; // the update page
                ::PostMessageW(box, WM_COMMAND, pageAnswer, 0);
                return ::CallNextHookEx(nullptr, code, wParam, lParam);
            }
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
        params.iconId = 100;
        params.appName = L"Orvalux";
        params.classToClose = L"Orvalux";
        params.exePath = program_test::ProgramPath();
        params.limits.connectTimeoutMs = 1000;
        params.limits.lowSpeedSeconds = 1;
    }
    int Run(const std::string& baseUrl, bool quiet = true, HWND owner = nullptr) {
        params.versionUrl = Utf8ToWide(baseUrl + "/Orvalux/VersionCheck.aspx");
        return RunUpdate(owner, params, quiet);
    }
    const test_support::ScopedSettingsKey settingsKey{L"OrvaluxUpdateTest"};
    UpdateParams params;
};

TEST_F(UpdateCheckTest, QuietRunsGiveTheEndpointsAnswerAndStoreTheCheck) {
    const std::pair<std::string, int> cases[] = {
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
    for (const auto& [response, result] : cases) {
        SCOPED_TRACE(response);
        LoopbackHttpServer server(response);
        const uint64_t before = LocalFileTimeNow();
        const BoxReader windows;
        EXPECT_EQ(Run(server.BaseUrl()), result);
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
}

TEST_F(UpdateCheckTest, FailedTransfersStoreNothing) {
    const BoxReader windows;
    EXPECT_EQ(Run(LoopbackHttpServer::ClosedUrl()), kUpdateFailed);

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

    // Plain http to another host is refused before any transfer: through this proxy the
    // query would reach the loopback server.
    LoopbackHttpServer proxy(LoopbackHttpServer::Response(kNoUpdate));
    ::_putenv_s("http_proxy", proxy.BaseUrl().c_str());
    EXPECT_EQ(Run("http://updates.example"), kUpdateFailed);
    ::_putenv_s("http_proxy", "");
    EXPECT_TRUE(proxy.RequestLines().empty());

    // An answer beyond the bound ends the transfer.
    params.limits.maxAnswerBytes = 1000;
    LoopbackHttpServer large(LoopbackHttpServer::Response(std::string(2000, ' ') + kNoUpdate));
    EXPECT_EQ(Run(large.BaseUrl()), kUpdateFailed);

    // A server that drips its answer faster than the stall limit is given up on as well.
    params.limits.queryTimeoutMs = 1000;
    params.limits.lowSpeedSeconds = 30;
    LoopbackHttpServer dripping({{"/", LoopbackHttpServer::Response(std::string(100, ' ') + kNoUpdate)}}, 1,
                                100);
    const auto dripStart = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(dripping.BaseUrl()), kUpdateFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - dripStart, std::chrono::seconds(5));

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
    EXPECT_EQ(Run(LoopbackHttpServer::ClosedUrl(), false), kUpdateFailed);
    EXPECT_EQ(Run(invalid.BaseUrl(), false), kUpdateFailed);
    // The offer closed without installing.
    EXPECT_EQ(Run(offer.BaseUrl(), false), kUpdateNotNeeded);
    EXPECT_EQ(reader.pagesShown, 1);

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

// An offer of the installer at `location` (on the same server when it starts "#BASE#").
std::string OfferOf(const std::string& location) {
    return LoopbackHttpServer::Response(
        "<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated><Version>9.8.7</Version><Location>" + location +
        "</Location><Changes>PHRyPjx0ZD5GYXN0ZXI8L3RkPjwvdHI+</Changes></VERSION>");
}

// The progress window of a download running in this process, once it is there.
HWND WaitForProgressWindow() {
    HWND found = nullptr;
    test_support::WaitFor([&] {
        ::EnumWindows(
            [](HWND window, LPARAM result) -> BOOL {
                DWORD process = 0;
                ::GetWindowThreadProcessId(window, &process);
                if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window) &&
                    ::FindWindowExW(window, nullptr, L"msctls_progress32", nullptr)) {
                    *reinterpret_cast<HWND*>(result) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found != nullptr;
    });
    return found;
}

// Cancel on the progress window, answered with `answer` once the question shows.
void CancelDownload(WORD answer) {
    const HWND progress = WaitForProgressWindow();
    ASSERT_NE(progress, nullptr);
    // The caption follows the transfer: "…: <percent>%".
    const std::wstring format = LoadText(10013);
    const std::wstring prefix = format.substr(0, format.find(L'%'));
    wchar_t caption[128] = {};
    EXPECT_TRUE(test_support::WaitFor([&] {
        ::GetWindowTextW(progress, caption, 128);
        return std::wstring(caption).find(prefix) == 0;
    })) << WideToUtf8(caption);
    ::PostMessageW(progress, WM_COMMAND, IDCANCEL, 0);
    HWND question = nullptr;
    test_support::WaitFor([&] {
        question = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
        while (question && (::GetWindow(question, GW_OWNER) != progress || !::IsWindowVisible(question))) {
            question = ::FindWindowExW(nullptr, question, L"#32770", nullptr);
        }
        return question != nullptr;
    });
    ASSERT_NE(question, nullptr) << "no question before cancelling";
    wchar_t text[256] = {};
    ::GetDlgItemTextW(question, 0xFFFF, text, 256);
    EXPECT_STREQ(text, LoadText(10011));
    ::PostMessageW(question, WM_COMMAND, answer, 0);
}

// Beside run-with-untrusted-endpoint only: an https endpoint with a certificate that
// signs itself, which anyone between the program and the server could present.
TEST_F(UpdateCheckTest, AnEndpointWithAnUntrustedCertificateIsRefused) {
    const char* endpoint = std::getenv("ORVALUX_TEST_UNTRUSTED_ENDPOINT");
    ASSERT_NE(endpoint, nullptr) << "run through run-with-untrusted-endpoint";
    params.versionUrl = Utf8ToWide(endpoint);
    const BoxReader reader;
    EXPECT_EQ(RunUpdate(nullptr, params, false), kUpdateFailed);
    ASSERT_EQ(reader.boxes.size(), 1u);
    EXPECT_EQ(reader.boxes[0].caption, LoadText(10009));
    EXPECT_NE(reader.boxes[0].text.find(L"certificate"), std::wstring::npos)
        << WideToUtf8(reader.boxes[0].text);
    EXPECT_EQ(ReadLastCheckForUpdate(), 0u);
}

class DownloadTest : public UpdateCheckTest {
protected:
    int RunInteractive(const LoopbackHttpServer& server) { return Run(server.BaseUrl(), false, owner.get()); }
    bool OwnerAskedToClose() {
        MSG message;
        return ::PeekMessageW(&message, owner.get(), WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
    }
    // The folders downloads made in the temporary folder.
    std::vector<std::filesystem::path> UpdateFolders() const {
        std::vector<std::filesystem::path> folders;
        for (const auto& entry : std::filesystem::directory_iterator(temporary)) {
            if (entry.is_directory() && entry.path().filename().wstring().starts_with(L"orvalux-update-")) {
                folders.push_back(entry.path());
            }
        }
        return folders;
    }
    // The update page's file, the only one in this test's temporary folder, as UTF-8.
    std::string PageFile() const {
        const std::filesystem::directory_iterator pages(temporary / "Pictavel");
        const std::string bytes =
            pages == std::filesystem::directory_iterator() ? "" : ReadBytes(pages->path());
        return Utf16ToUtf8({reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2});
    }
    // Waits for the watch copies to end; then a start of the program leaves nothing behind.
    void ExpectTheUpdateToLeaveNothing() {
        for (const auto& updateFolder : UpdateFolders()) {
            for (const auto& entry : std::filesystem::directory_iterator(updateFolder)) {
                EXPECT_TRUE(program_test::WaitFor([&] {
                    return program_test::ProcessesFrom(entry.path()).empty();
                })) << entry.path()
                    << " goes on running";
            }
        }
        RemoveFinishedUpdateFolders();
        EXPECT_TRUE(UpdateFolders().empty());
    }
    std::string InstallerRan() {
        std::string ran;
        program_test::WaitFor([&] { return !(ran = ReadBytes(temporary / "installer-ran.txt")).empty(); });
        std::filesystem::remove(temporary / "installer-ran.txt");
        return ran;
    }

    const BoxReader reader{kInstallButton}; // the update page is answered with Install
    const TemporaryFolder folder{"orvalux-download"};
    const std::filesystem::path& temporary = folder.Path();
    UniqueHwnd owner{::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr)};
};

// The installer: a program that writes down how it was started.
const std::string kInstaller = ReadBytes(test_support::BuildPath(INSTALLER_STAND_IN_PATH));

TEST_F(DownloadTest, InstallDownloadsAndStartsTheInstallerAndClosesTheProgram) {
    LoopbackHttpServer server({{"/Orvalux/", OfferOf("#BASE#/files/setup.exe")},
                               {"/files/", LoopbackHttpServer::Response(kInstaller)}});
    EXPECT_EQ(RunInteractive(server), kUpdateInstallerStarted);
    EXPECT_TRUE(reader.boxes.empty()) << WideToUtf8(reader.boxes.empty() ? L"" : reader.boxes[0].text);
    EXPECT_TRUE(OwnerAskedToClose());

    // The page: running and offered versions and the decoded change table.
    ASSERT_EQ(reader.pagesShown, 1);
    const std::string page = PageFile();
    EXPECT_NE(page.find("Your version: " + std::to_string(ORVALUX_VERSION_MAJOR) + "." +
                        std::to_string(ORVALUX_VERSION_MINOR) + "." + std::to_string(ORVALUX_VERSION_PATCH)),
              std::string::npos);
    EXPECT_NE(page.find("Latest version: 9.8.7"), std::string::npos);
    EXPECT_NE(page.find("<tr><td>Faster</td></tr>"), std::string::npos);

    EXPECT_EQ(server.RequestLines().back(), "GET /files/setup.exe HTTP/1.1");
    // The installer ran with the installer's arguments.
    EXPECT_EQ(InstallerRan(), "/qb /promptrestart /i\r\n");
    // It ran from a folder of this update's own, beside a watch copy named as no other.
    EXPECT_FALSE(std::filesystem::exists(temporary / "setup.exe"));
    const std::vector<std::filesystem::path> folders = UpdateFolders();
    ASSERT_EQ(folders.size(), 1u);
    std::vector<std::wstring> left;
    ASSERT_TRUE(program_test::WaitFor([&] {
        left.clear();
        for (const auto& entry : std::filesystem::directory_iterator(folders[0])) {
            left.push_back(entry.path().filename().wstring());
        }
        return left.size() == 1;
    })) << "the installer's file stays after it ended";
    EXPECT_TRUE(left[0].starts_with(L"orvalux-update-watch-") && left[0].size() > 30) << WideToUtf8(left[0]);
    // The installer succeeded: the watch over it ends and starts nothing.
    ExpectTheUpdateToLeaveNothing();
    EXPECT_TRUE(program_test::ProcessesFrom(std::filesystem::path(program_test::ProgramPath())).empty());
}

TEST_F(DownloadTest, AFailedInstallationStartsTheProgramAgain) {
    // Started again, the program runs on simulated monitors with this test's settings.
    ::SetEnvironmentVariableW(L"ORVALUX_SIMULATED_MONITORS", L"display; monitor");
    ::SetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", SettingsKeyPath().c_str());
    LoopbackHttpServer server({{"/Orvalux/", OfferOf("#BASE#/files/setup-fail.exe")},
                               {"/files/", LoopbackHttpServer::Response(kInstaller)}});
    EXPECT_EQ(RunInteractive(server), kUpdateInstallerStarted);
    EXPECT_TRUE(OwnerAskedToClose());
    std::vector<UniqueHandle> restarted;
    EXPECT_TRUE(program_test::WaitFor([&] {
        return !(restarted = program_test::ProcessesFrom(std::filesystem::path(program_test::ProgramPath())))
                    .empty();
    })) << "the program did not come back after the failed installation";
    for (UniqueHandle& process : restarted) {
        ::TerminateProcess(process.get(), 0);
        ::WaitForSingleObject(process.get(), 5000);
    }
    ::SetEnvironmentVariableW(L"ORVALUX_SIMULATED_MONITORS", nullptr);
    ::SetEnvironmentVariableW(L"ORVALUX_SETTINGS_KEY", nullptr);
}

TEST_F(DownloadTest, CancelAsksFirstAndALaterDownloadStillWorks) {
    // 4 MB in blocks of 64 KB with pauses: about three seconds.
    LoopbackHttpServer server(
        {{"/Orvalux/", OfferOf("#BASE#/files/setup.exe")},
         {"/files/", LoopbackHttpServer::Response(kInstaller + std::string(4 << 20, ' '))}},
        64 << 10, 50);

    // No: the download goes on to the end.
    std::thread no(CancelDownload, IDNO);
    EXPECT_EQ(RunInteractive(server), kUpdateInstallerStarted);
    no.join();
    EXPECT_FALSE(InstallerRan().empty());
    EXPECT_TRUE(OwnerAskedToClose());
    ExpectTheUpdateToLeaveNothing();

    // Yes: the run ends without a box and the program stays.
    std::thread yes(CancelDownload, IDYES);
    EXPECT_EQ(RunInteractive(server), kUpdateFailed);
    yes.join();
    EXPECT_TRUE(reader.boxes.empty()) << "a cancel is no failure to report";
    EXPECT_FALSE(OwnerAskedToClose());
    EXPECT_TRUE(UpdateFolders().empty()) << "the part downloaded stays";

    // A cancel is not remembered: the next download runs.
    EXPECT_EQ(RunInteractive(server), kUpdateInstallerStarted);
    EXPECT_FALSE(InstallerRan().empty());
    ExpectTheUpdateToLeaveNothing();
}

TEST_F(DownloadTest, ACancelConfirmedAfterTheLastBlockStartsNothing) {
    // The whole installer at once, with no length: the transfer ends when the server
    // closes the connection, seconds later.
    LoopbackHttpServer server(
        {{"/Orvalux/", OfferOf("#BASE#/files/setup.exe")},
         {"/files/", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + kInstaller, 5000}});
    std::thread yes([&] {
        program_test::WaitFor([&] {
            const std::vector<std::filesystem::path> folders = UpdateFolders();
            std::error_code error;
            return folders.size() == 1 &&
                   std::filesystem::file_size(folders[0] / "setup.exe", error) == kInstaller.size();
        });
        CancelDownload(IDYES);
    });
    EXPECT_EQ(RunInteractive(server), kUpdateFailed);
    yes.join();
    EXPECT_TRUE(reader.boxes.empty());
    EXPECT_FALSE(OwnerAskedToClose());
    EXPECT_FALSE(std::filesystem::exists(temporary / "installer-ran.txt"))
        << "the installer started after a cancel";
    EXPECT_TRUE(UpdateFolders().empty());
}

TEST_F(DownloadTest, TheEndOfTheProgressWindowKeepsAQuitAndIsWaitedFor) {
    // About a second of download: the progress window is there while it runs.
    LoopbackHttpServer server(
        {{"/Orvalux/", OfferOf("#BASE#/files/setup.exe")},
         {"/files/", LoopbackHttpServer::Response(kInstaller + std::string(1 << 20, ' '))}},
        64 << 10, 50);
    const DWORD runThread = ::GetCurrentThreadId();

    // The program is asked to end meanwhile: its message loop must still learn of it.
    std::thread quit([&] {
        WaitForProgressWindow();
        ::PostThreadMessageW(runThread, WM_QUIT, 7, 0);
    });
    EXPECT_EQ(RunInteractive(server), kUpdateInstallerStarted);
    quit.join();
    MSG message{};
    EXPECT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was lost";
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_TRUE(OwnerAskedToClose());

    // A call queued to the waiting thread does not end the wait: the window has gone.
    const UniqueHandle runThreadHandle(::OpenThread(THREAD_SET_CONTEXT, FALSE, runThread));
    HWND progress = nullptr;
    std::thread call([&] {
        progress = WaitForProgressWindow();
        ::QueueUserAPC([](ULONG_PTR) {}, runThreadHandle.get(), 0);
    });
    EXPECT_EQ(RunInteractive(server), kUpdateInstallerStarted);
    call.join();
    EXPECT_FALSE(::IsWindow(progress)) << "the progress window outlived the download";
    EXPECT_TRUE(OwnerAskedToClose());
    InstallerRan();
    ExpectTheUpdateToLeaveNothing();
}

TEST_F(DownloadTest, AddressesThatCannotBeTrustedOrNamedAreRefused) {
    // Through this proxy a plain http download would reach the loopback server.
    LoopbackHttpServer proxy(LoopbackHttpServer::Response(kInstaller));
    ::_putenv_s("http_proxy", proxy.BaseUrl().c_str());
    ::_putenv_s("no_proxy", "127.0.0.1");
    LoopbackHttpServer plain({{"/", OfferOf("http://updates.example/setup.msi")}});
    LoopbackHttpServer nameless({{"/", OfferOf("#BASE#/files/")}});
    LoopbackHttpServer script({{"/", OfferOf("#BASE#/files/setup.cmd")}});
    // The server announces more than it sends: the part must not be started.
    LoopbackHttpServer truncated(
        {{"/Orvalux/", OfferOf("#BASE#/files/setup.exe")},
         {"/files/", "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kInstaller.size() + 1000) +
                         "\r\nConnection: close\r\n\r\n" + kInstaller}});
    EXPECT_EQ(RunInteractive(plain), kUpdateFailed);
    EXPECT_EQ(RunInteractive(nameless), kUpdateFailed);
    EXPECT_EQ(RunInteractive(truncated), kUpdateFailed);
    EXPECT_EQ(RunInteractive(script), kUpdateFailed);
    ::_putenv_s("http_proxy", "");
    ::_putenv_s("no_proxy", "");
    EXPECT_TRUE(proxy.RequestLines().empty());
    EXPECT_EQ(nameless.RequestLines().size(), 1u) << "nothing downloaded";
    ASSERT_EQ(reader.boxes.size(), 4u);
    EXPECT_EQ(reader.boxes[0].caption, LoadText(10009));
    EXPECT_EQ(reader.boxes[0].text, L"The installer's address was refused: only https is allowed.");
    EXPECT_EQ(reader.boxes[1].text, L"The update's address names no file to download.");
    EXPECT_NE(reader.boxes[2].text.find(L"transfer closed with"), std::wstring::npos)
        << WideToUtf8(reader.boxes[2].text);
    EXPECT_EQ(reader.boxes[3].text, L"The update's file is neither an installer package nor a program.");
    EXPECT_EQ(script.RequestLines().size(), 1u) << "nothing downloaded";
    EXPECT_FALSE(OwnerAskedToClose());
    EXPECT_FALSE(std::filesystem::exists(temporary / "installer-ran.txt")) << "a partial installer ran";
}

} // namespace
