#include "LocalizationTestIds.h"
#include "StringResourceReader.h"

#include "common/UniqueResource.h"
#include "resource.h"
#include "ui/DialogTexts.h"
#include "ui/Localization.h"
#include "ui/ResourceLookup.h"
#include "ui/TrayMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

std::wstring Text(HWND window) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(window, buffer, 256);
    return buffer;
}

// Top-level windows shown on this thread while the hook is installed.
int shownTopLevelWindows = 0;
LRESULT CALLBACK CountShownWindows(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SHOWWINDOW && message->wParam &&
        !(::GetWindowLongW(message->hwnd, GWL_STYLE) & WS_CHILD)) {
        ++shownTopLevelWindows;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

int ThreadWindowCount() {
    int count = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND, LPARAM counter) noexcept -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

class DialogTexts : public ::testing::Test {
protected:
    void SetUp() override {
        live_.reset(
            ::CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_TEST_LIVE), nullptr, PlainDialogProc, 0));
        ASSERT_TRUE(live_);
    }
    std::wstring ItemText(int id) const { return Text(::GetDlgItem(live_.get(), id)); }

    UniqueHwnd live_;
};

// The live dialog has a control (IDC_TEST_SECOND) that the templates lack. German has no
// template: it gets the user default's, the UI language's (English here).
TEST_F(DialogTexts, TemplateOfTheCurrentLanguageLeavesExtraControlsAlone) {
    const struct {
        uint16_t language;
        const wchar_t* caption;
        const wchar_t* first;
        const wchar_t* button;
    } cases[] = {{1033, L"English caption", L"English 4101", L"English 4103"},
                 {1043, L"Nederlandse titel", L"Nederlands 4101", L"Nederlands 4103"},
                 {1031, L"English caption", L"English 4101", L"English 4103"}};
    for (const auto& expected : cases) {
        const ScopedLanguage scope(expected.language);
        ASSERT_TRUE(ApplyDialogTexts(IDD_TEST_TEXTS, live_.get()));
        EXPECT_EQ(Text(live_.get()), expected.caption);
        EXPECT_EQ(ItemText(IDC_TEST_FIRST), expected.first);
        EXPECT_EQ(ItemText(IDC_TEST_SECOND), L"live 4102");
        EXPECT_EQ(ItemText(IDC_TEST_BUTTON), expected.button);
    }
}

TEST_F(DialogTexts, NoTemplateLeavesTheDialogAsBuilt) {
    const ScopedLanguage english(1033);
    EXPECT_FALSE(ApplyDialogTexts(4199, live_.get()));
    EXPECT_EQ(Text(live_.get()), L"Live caption");
    EXPECT_EQ(ItemText(IDC_TEST_FIRST), L"live 4101");
    EXPECT_EQ(ItemText(IDC_TEST_BUTTON), L"live 4103");
}

// The template is marked visible; the copy the texts are read from must not flash up,
// and must not outlive the call.
TEST_F(DialogTexts, TheCopyIsNeverShownAndGoesAway) {
    const ScopedLanguage english(1033);
    const int windowsBefore = ThreadWindowCount();
    shownTopLevelWindows = 0;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, CountShownWindows, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const bool applied = ApplyDialogTexts(IDD_TEST_TEXTS, live_.get());
    ::UnhookWindowsHookEx(hook);
    ASSERT_TRUE(applied);
    EXPECT_EQ(shownTopLevelWindows, 0);
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

// The resource tests read each language's copy with this: a full id (Dutch, the
// Netherlands) does not reach the copy stored under its primary language, as it would
// through FindResourceExW.
TEST(ResourceLookup, FindsOnlyTheExactLanguage) {
    EXPECT_EQ(ResourceLanguages(nullptr, RT_DIALOG, IDD_TEST_TEXTS), (std::vector<uint16_t>{9, 19}));
    EXPECT_TRUE(FindExactResource(nullptr, RT_DIALOG, IDD_TEST_TEXTS, 19));
    EXPECT_FALSE(FindExactResource(nullptr, RT_DIALOG, IDD_TEST_TEXTS, 1043));
    EXPECT_FALSE(FindExactResource(nullptr, RT_DIALOG, 4199, 9));
}

// Run in a process whose UI language is Polish (LC_ALL=pl_PL.UTF-8 under Wine), which the
// program does not ship: with the first entry of the language list the tray menu and the
// dialogs come as the user default (English), rather than not at all.
using PolishUserInterface = DialogTexts;
TEST_F(PolishUserInterface, MenuAndDialogsComeAsTheUserDefault) {
    ASSERT_EQ(::GetUserDefaultUILanguage(), 1045) << "this test needs a Polish user interface language";
    const ScopedLanguage restore(currentLangId);
    SetLanguage(0);
    ASSERT_EQ(currentLangId, 1045);
    const UniqueHmenu menu = LoadTrayMenu();
    ASSERT_TRUE(menu);
    EXPECT_NE(::GetMenuState(menu.get(), IDM_EXIT, MF_BYCOMMAND), UINT_MAX);
    ASSERT_TRUE(ApplyDialogTexts(IDD_HOTKEYS, live_.get()));
    EXPECT_EQ(Text(live_.get()), L"Define hotkeys");
}

} // namespace
