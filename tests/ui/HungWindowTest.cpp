// Windows of other programs that stop answering: sends to them give up instead of hanging.
#include "common/ForeignWindow.h"
#include "common/UniqueResource.h"
#include "ui/TrayLocator.h"
#include "update/Download.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBound = std::chrono::milliseconds(kForeignWindowTimeoutMs + 3000);

// A window whose thread stops reading messages once it exists, for 12 s or until released.
class HungWindow {
public:
    explicit HungWindow(const wchar_t* windowClass)
        : released_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        const UniqueHandle created(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_ = std::thread([this, windowClass, event = created.get()] {
            window_ = ::CreateWindowExW(0, windowClass, L"", WS_POPUP, 0, 0, 99, 30, nullptr, nullptr,
                                        nullptr, nullptr);
            ::SetEvent(event);
            ::WaitForSingleObject(released_.get(), 12000);
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
            ::DestroyWindow(window_);
        });
        ::WaitForSingleObject(created.get(), 10000);
    }
    ~HungWindow() {
        ::SetEvent(released_.get());
        thread_.join();
    }
    HWND get() const { return window_; }

private:
    UniqueHandle released_;
    HWND window_ = nullptr;
    std::thread thread_;
};

TEST(HungWindowTest, ClosingWindowsOfAClassAndTheTrayProbeGiveUpOnAWindowThatDoesNotAnswer) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.lpszClassName = L"OrvaluxHungWindowTest";
    ::RegisterClassW(&windowClass);
    {
        const HungWindow hung(L"OrvaluxHungWindowTest");
        ASSERT_NE(hung.get(), nullptr);
        const auto start = Clock::now();
        CloseWindowsOfClass("OrvaluxHungWindowTest");
        EXPECT_LT(Clock::now() - start, kBound);
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    const HungWindow toolbar(TOOLBARCLASSNAMEW);
    ASSERT_NE(toolbar.get(), nullptr);
    RECT rect{};
    const auto start = Clock::now();
    EXPECT_FALSE(LocateTrayIconInToolbar(toolbar.get(), rect));
    EXPECT_LT(Clock::now() - start, kBound);
}

} // namespace
