// Windows of other programs that stop answering: the program's sends to them give up after
// a few seconds instead of hanging with them.
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

// How long a hung window stays hung at most, so that a send without a time-out ends too.
constexpr DWORD kHangMs = 12000;
constexpr auto kBound = std::chrono::milliseconds(kForeignWindowTimeoutMs + 3000);

// A window whose thread stops reading messages once it exists, until released.
class HungWindow {
public:
    explicit HungWindow(const wchar_t* windowClass)
        : created_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          released_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, windowClass] {
            window_ = ::CreateWindowExW(0, windowClass, L"", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr,
                                        nullptr, nullptr);
            ::SetEvent(created_.get());
            ::WaitForSingleObject(released_.get(), kHangMs);
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
            ::DestroyWindow(window_);
        });
        ::WaitForSingleObject(created_.get(), 10000);
    }
    ~HungWindow() {
        ::SetEvent(released_.get());
        thread_.join();
    }
    HungWindow(const HungWindow&) = delete;
    HungWindow& operator=(const HungWindow&) = delete;

    HWND get() const { return window_; }

private:
    UniqueHandle created_;
    UniqueHandle released_;
    HWND window_ = nullptr;
    std::thread thread_;
};

template <typename Call> Clock::duration TimeOf(Call call) {
    const auto start = Clock::now();
    call();
    return Clock::now() - start;
}

TEST(HungWindowTest, ClosingWindowsOfAClassGivesUpOnOneThatDoesNotAnswer) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.lpszClassName = L"OrvaluxHungWindowTest";
    ::RegisterClassW(&windowClass);
    const HungWindow hung(L"OrvaluxHungWindowTest");
    ASSERT_NE(hung.get(), nullptr);
    EXPECT_LT(TimeOf([] { CloseWindowsOfClass("OrvaluxHungWindowTest"); }), kBound);
}

TEST(HungWindowTest, TheTrayLocatorGivesUpOnAToolbarThatDoesNotAnswer) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    const HungWindow toolbar(TOOLBARCLASSNAMEW);
    ASSERT_NE(toolbar.get(), nullptr);
    RECT rect{};
    bool found = true;
    EXPECT_LT(TimeOf([&] { found = LocateTrayIconInToolbar(toolbar.get(), rect); }), kBound);
    EXPECT_FALSE(found);
}

} // namespace
