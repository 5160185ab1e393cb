// The window framework on real windows: the slider's focus flag and the glass frame.
#include "ui/framework/CDlgWnd.h"
#include "ui/framework/CTrackSlider.h"

#include "common/UniqueResource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

namespace {

class FakeDwm final : public DwmApi {
public:
    explicit FakeDwm(bool composition) : composition_(composition) {}
    bool IsCompositionEnabled() override { return composition_; }
    HRESULT ExtendFrameIntoClientArea(HWND, const MARGINS& margins) override {
        ++extensions;
        lastMargins = margins;
        return S_OK;
    }
    int extensions = 0;
    MARGINS lastMargins{};

private:
    bool composition_;
};

class TestDialog final : public CDlgWnd {
public:
    UINT GetTemplateId() const override { return 0; } // built in memory, no texts
    LRESULT OnCommand(WPARAM wParam, LPARAM) override { return LOWORD(wParam) == 42 ? 7 : 0; }
};

// An empty popup dialog template, aligned as the dialog manager wants it.
struct EmptyTemplate {
    alignas(4) DLGTEMPLATE header{WS_POPUP | WS_THICKFRAME, 0, 0, 0, 0, 120, 80};
    WORD menu = 0, windowClass = 0, title = 0;
};

WPARAM lastUiState = 0;

// A window that records the user-interface state updates it receives.
UniqueHwnd Recorder() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_UPDATEUISTATE) {
            lastUiState = wParam;
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.lpszClassName = L"OrvaluxUiStateRecorder";
    ::RegisterClassW(&windowClass);
    return UniqueHwnd(::CreateWindowExW(0, L"OrvaluxUiStateRecorder", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr));
}

// (Its inverted positions: the whole-program tests read every slider as the user does.)
TEST(Framework, ASliderNeverShowsFocus) {
    // The focus flag is always set on its way to the trackbar, never cleared.
    const UniqueHwnd window = Recorder();
    ASSERT_TRUE(window);
    CTrackSlider recorded;
    recorded.Attach(window.get(), 0, 8, 1, 1, 0xFFA699F1, 0xFFF199A6, true);
    for (const WORD action : {WORD{UIS_SET}, WORD{UIS_CLEAR}}) {
        ::SendMessageW(recorded.Window(), WM_UPDATEUISTATE,
                       MAKEWPARAM(action, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
        EXPECT_EQ(LOWORD(lastUiState), action);
        EXPECT_EQ(HIWORD(lastUiState),
                  action == UIS_SET ? (UISF_HIDEFOCUS | UISF_HIDEACCEL) : UISF_HIDEACCEL);
    }
}

TEST(Framework, TheGlassFrameFollowsCompositionAndTheMargins) {
    for (const bool composition : {false, true}) {
        for (const int margin : {0, 1}) {
            TestDialog dialog;
            auto dwm = std::make_unique<FakeDwm>(composition);
            FakeDwm& fake = *dwm;
            dialog.UseDwmApi(std::move(dwm));
            dialog.frameMargins = MARGINS{margin, margin, margin, margin};
            EmptyTemplate empty;
            const HWND window = ::CreateDialogIndirectParamW(
                nullptr, &empty.header, nullptr, &SharedDialogProcedure, reinterpret_cast<LPARAM>(&dialog));
            ASSERT_NE(window, nullptr);

            ::SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
            EXPECT_EQ(fake.extensions > 0, composition && margin) << composition << margin;
            EXPECT_EQ(fake.lastMargins.cyBottomHeight, fake.extensions ? margin : 0);

            NCCALCSIZE_PARAMS calculation{};
            calculation.rgrc[0] = RECT{10, 10, 110, 90};
            const INT_PTR result =
                dialog.DialogProc(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&calculation));
            const int inset = composition ? margin : 0;
            EXPECT_EQ(result, composition ? WVR_REDRAW : 0);
            EXPECT_EQ(calculation.rgrc[0].left, 10 + inset);
            EXPECT_EQ(calculation.rgrc[0].bottom, 90 - inset);
            // A command's result is the dialog's message result as well.
            EXPECT_EQ(::SendMessageW(window, WM_COMMAND, 42, 0), 7);
            ::DestroyWindow(window);
        }
    }
}

} // namespace
