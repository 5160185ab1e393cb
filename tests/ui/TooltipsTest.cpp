#include "StubDialog.h"
#include "LocalizationTestIds.h"
#include "StringResourceReader.h"

#include "common/UniqueResource.h"
#include "ui/Localization.h"
#include "ui/Tooltips.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

namespace {

class Tooltips : public ::testing::Test {
protected:
    void SetUp() override {
        const INITCOMMONCONTROLSEX controls{sizeof(controls),
                                            ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        dialog_.reset(::CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_TEST_TOOLTIPS), nullptr,
                                           test_support::StubDialogProcedure, 0));
        ASSERT_TRUE(dialog_);
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_.get(), id); }

    UniqueHwnd dialog_;
};

TEST_F(Tooltips, EveryChildIsRegisteredCompositesThroughTheirInnerControl) {
    // Long tips wrap, and stay up twice as long as the 16-bit delay allows (after a long double-click time).
    const UINT doubleClickTime = ::GetDoubleClickTime();
    // Put back however the test ends: later tests and the session read it.
    const std::unique_ptr<const UINT, void (*)(const UINT*)> restore(&doubleClickTime, [](const UINT* time) {
        ::SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, *time, nullptr, 0);
    });
    HWND tooltip = nullptr;
    for (const UINT time : {4000u, doubleClickTime}) {
        ASSERT_TRUE(::SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, time, nullptr, 0));
        tooltip = CreateTooltips(dialog_.get());
        ASSERT_NE(tooltip, nullptr);
        EXPECT_EQ(::GetWindow(tooltip, GW_OWNER), dialog_.get());
        EXPECT_EQ(::SendMessageW(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
        const UniqueHwnd plain(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0,
                                                 dialog_.get(), nullptr, nullptr, nullptr));
        const LRESULT plainDelay = ::SendMessageW(plain.get(), TTM_GETDELAYTIME, TTDT_AUTOPOP, 0);
        EXPECT_EQ(::SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0),
                  std::min<LRESULT>(2 * plainDelay, 0x7FFF))
            << "plain delay " << plainDelay;
    }
    const HWND innerCombo =
        reinterpret_cast<HWND>(::SendMessageW(Item(IDC_TEST_COMBO), CBEM_GETCOMBOCONTROL, 0, 0));
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

// A tool named by window or by id; the reply points at LoadText's text, so buffer and instance are cleared.
TEST_F(Tooltips, TextIsTheStringOfTheControlIdOtherwiseDeclined) {
    const ScopedLanguage dutch(1043);
    const std::tuple<UINT, UINT_PTR, UINT, bool> requests[] = {
        // code, tool, flags, answered
        {TTN_GETDISPINFOW, reinterpret_cast<UINT_PTR>(Item(IDC_TEST_WITH_TEXT)), TTF_IDISHWND, true},
        {TTN_GETDISPINFOW, IDC_TEST_WITH_TEXT, 0, true},
        {TTN_GETDISPINFOW, reinterpret_cast<UINT_PTR>(Item(IDC_TEST_WITHOUT_TEXT)), TTF_IDISHWND, false},
        {NM_CUSTOMDRAW, IDC_TEST_WITH_TEXT, 0, false}};
    for (const auto& [code, tool, flags, answered] : requests) {
        NMTTDISPINFOW request{};
        request.hdr = {nullptr, tool, code};
        request.uFlags = flags;
        request.szText[0] = L'x';
        request.hinst = ::GetModuleHandleW(nullptr);
        ASSERT_EQ(HandleTooltipNotify(&request.hdr), answered) << tool;
        EXPECT_EQ(request.lpszText, answered ? LoadText(IDC_TEST_WITH_TEXT) : nullptr);
        if (answered) {
            EXPECT_STREQ(request.lpszText, L"Bestaat in het Engels en het Nederlands");
            EXPECT_EQ(request.szText[0], L'\0');
            EXPECT_EQ(request.hinst, nullptr);
        }
    }
    EXPECT_FALSE(HandleTooltipNotify(nullptr));
}

} // namespace
