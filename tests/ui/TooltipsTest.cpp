#include "LocalizationTestIds.h"
#include "StringResourceReader.h"

#include "common/UniqueResource.h"
#include "ui/Localization.h"
#include "ui/Tooltips.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

class Tooltips : public ::testing::Test {
protected:
    void SetUp() override {
        const INITCOMMONCONTROLSEX controls{sizeof(controls),
                                            ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        dialog_.reset(
            ::CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_TEST_TOOLTIPS), nullptr, PlainDialogProc, 0));
        ASSERT_TRUE(dialog_);
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_.get(), id); }

    UniqueHwnd dialog_;
};

TEST_F(Tooltips, EveryChildIsRegisteredCompositesThroughTheirInnerControl) {
    HWND tooltip = CreateTooltips(dialog_.get());
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(::GetWindow(tooltip, GW_OWNER), dialog_.get());
    // Long tips wrap rather than run across the screen, and stay up twice as long.
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
    const UniqueHwnd plain(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_.get(),
                                             nullptr, nullptr, nullptr));
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0),
              2 * ::SendMessageW(plain.get(), TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));

    HWND innerCombo =
        reinterpret_cast<HWND>(::SendMessageW(Item(IDC_TEST_COMBO), CBEM_GETCOMBOCONTROL, 0, 0));
    ASSERT_NE(innerCombo, nullptr);
    const std::vector<HWND> expected = {innerCombo, Item(IDC_TEST_WITH_TEXT), Item(IDC_TEST_WITHOUT_TEXT)};
    std::vector<HWND> registered;
    const auto count = static_cast<UINT>(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (UINT i = 0; i < count; ++i) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        ASSERT_TRUE(::SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
        EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), UINT{TTF_IDISHWND | TTF_SUBCLASS});
        EXPECT_EQ(tool.hwnd, dialog_.get());
        registered.push_back(reinterpret_cast<HWND>(tool.uId));
    }
    EXPECT_EQ(registered, expected);
}

TEST_F(Tooltips, TextIsTheStringOfTheControlIdOtherwiseDeclined) {
    const ScopedLanguage dutch(1043);
    NMTTDISPINFOW request{};
    request.hdr.code = TTN_GETDISPINFOW;
    request.hdr.idFrom = reinterpret_cast<UINT_PTR>(Item(IDC_TEST_WITH_TEXT));
    request.uFlags = TTF_IDISHWND;
    request.szText[0] = L'x';
    request.hinst = ::GetModuleHandleW(nullptr);
    ASSERT_TRUE(HandleTooltipNotify(&request.hdr));
    EXPECT_EQ(request.lpszText, LoadText(IDC_TEST_WITH_TEXT));
    EXPECT_STREQ(request.lpszText, L"Bestaat in het Engels en het Nederlands");
    EXPECT_EQ(request.szText[0], L'\0');
    EXPECT_EQ(request.hinst, nullptr);

    // A tool identified by its id rather than its window.
    NMTTDISPINFOW byId{};
    byId.hdr.code = TTN_GETDISPINFOW;
    byId.hdr.idFrom = IDC_TEST_WITH_TEXT;
    EXPECT_TRUE(HandleTooltipNotify(&byId.hdr));
    EXPECT_EQ(byId.lpszText, request.lpszText);

    NMTTDISPINFOW withoutText{};
    withoutText.hdr.code = TTN_GETDISPINFOW;
    withoutText.hdr.idFrom = reinterpret_cast<UINT_PTR>(Item(IDC_TEST_WITHOUT_TEXT));
    withoutText.uFlags = TTF_IDISHWND;
    EXPECT_FALSE(HandleTooltipNotify(&withoutText.hdr));
    EXPECT_EQ(withoutText.lpszText, nullptr);
    NMHDR other{};
    other.code = NM_CUSTOMDRAW;
    other.idFrom = IDC_TEST_WITH_TEXT;
    EXPECT_FALSE(HandleTooltipNotify(&other));
    EXPECT_FALSE(HandleTooltipNotify(nullptr));
}

} // namespace
