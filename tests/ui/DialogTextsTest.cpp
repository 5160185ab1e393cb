#include "LocalizationTestIds.h"
#include "StringResourceReader.h"

#include "common/UniqueResource.h"
#include "ui/DialogTexts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

std::wstring Text(HWND window) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(window, buffer, 256);
    return buffer;
}

// Counts top-level windows other than `ignored` that are shown while it is installed.
class ShowWatcher {
public:
    explicit ShowWatcher(HWND ignored) {
        ignored_ = ignored;
        shown_ = 0;
        hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, Watch, nullptr, ::GetCurrentThreadId());
    }
    ~ShowWatcher() { ::UnhookWindowsHookEx(hook_); }
    ShowWatcher(const ShowWatcher&) = delete;
    ShowWatcher& operator=(const ShowWatcher&) = delete;
    int shown() const { return shown_; }

private:
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) noexcept {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == WM_SHOWWINDOW && message->wParam &&
            message->hwnd != ignored_ && !(::GetWindowLongW(message->hwnd, GWL_STYLE) & WS_CHILD)) {
            ++shown_;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HWND ignored_ = nullptr;
    static inline int shown_ = 0;
    HHOOK hook_ = nullptr;
};

class DialogTexts : public ::testing::Test {
protected:
    void SetUp() override {
        live_.reset(
            ::CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_TEST_LIVE), nullptr, PlainDialogProc, 0));
        ASSERT_TRUE(live_);
    }
    HWND Item(int id) const { return ::GetDlgItem(live_.get(), id); }
    void ExpectUntouched() const {
        EXPECT_EQ(Text(live_.get()), L"Live caption");
        EXPECT_EQ(Text(Item(IDC_TEST_FIRST)), L"live 4101");
        EXPECT_EQ(Text(Item(IDC_TEST_SECOND)), L"live 4102");
        EXPECT_EQ(Text(Item(IDC_TEST_BUTTON)), L"live 4103");
    }

    UniqueHwnd live_;
};

TEST_F(DialogTexts, ControlsMissingFromTheTemplateKeepTheirTexts) {
    const ScopedLanguage english(1033);
    ASSERT_TRUE(ApplyDialogTexts(IDD_TEST_TEXTS, live_.get()));
    EXPECT_EQ(Text(live_.get()), L"English caption");
    EXPECT_EQ(Text(Item(IDC_TEST_FIRST)), L"English 4101");
    EXPECT_EQ(Text(Item(IDC_TEST_SECOND)), L"live 4102");
    EXPECT_EQ(Text(Item(IDC_TEST_BUTTON)), L"English 4103");
}

TEST_F(DialogTexts, TemplateOfTheCurrentLanguageIsUsed) {
    const ScopedLanguage dutch(1043);
    ASSERT_TRUE(ApplyDialogTexts(IDD_TEST_TEXTS, live_.get()));
    EXPECT_EQ(Text(live_.get()), L"Nederlandse titel");
    EXPECT_EQ(Text(Item(IDC_TEST_FIRST)), L"Nederlands 4101");
    EXPECT_EQ(Text(Item(IDC_TEST_SECOND)), L"live 4102");
}

TEST_F(DialogTexts, NoTemplateLeavesTheDialogAsBuilt) {
    const ScopedLanguage english(1033);
    EXPECT_FALSE(ApplyDialogTexts(0, live_.get()));
    EXPECT_FALSE(ApplyDialogTexts(4199, live_.get()));
    ExpectUntouched();
    // No other language stands in for a dialog missing in the current one.
    const ScopedLanguage german(1031);
    EXPECT_FALSE(ApplyDialogTexts(IDD_TEST_TEXTS, live_.get()));
    ExpectUntouched();
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

TEST_F(DialogTexts, TheCopyIsNeverShownAndGoesAway) {
    const ScopedLanguage english(1033);
    const int windowsBefore = ThreadWindowCount();
    const ShowWatcher watcher(live_.get());
    ASSERT_TRUE(ApplyDialogTexts(IDD_TEST_TEXTS, live_.get()));
    EXPECT_EQ(watcher.shown(), 0);
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

// The program's hotkey dialog differs between languages only in its caption; a full
// language id reaches the template stored under its primary language.
TEST(ProgramDialogs, HotkeyDialogCaptionFollowsTheLanguage) {
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    const UniqueHwnd dialog(
        ::CreateDialogParamW(nullptr, MAKEINTRESOURCEW(1045), nullptr, PlainDialogProc, 0));
    ASSERT_TRUE(dialog);
    const std::pair<uint16_t, const wchar_t*> captions[] = {{1049, L"Определение клавиш"},
                                                            {1041, L"ホットキーを定義します。"},
                                                            {1025, L"تعريف مفاتيح التشغيل السريع"},
                                                            {2052, L"定义热键"},
                                                            {1028, L"定義熱鍵"},
                                                            {1033, L"Define hotkeys"}};
    for (const auto& [language, caption] : captions) {
        const ScopedLanguage scope(language);
        ASSERT_TRUE(ApplyDialogTexts(1045, dialog.get())) << language;
        EXPECT_EQ(Text(dialog.get()), caption) << language;
    }
}

} // namespace
