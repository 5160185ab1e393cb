// The browser host in this process. Wine has no HTML engine here, so nothing renders:
// the host's answers to the control, its navigation rule and its page files are checked
// by calling it directly.
#include "TemporaryFolder.h"
#include "Waiting.h"
#include "common/ComInitialization.h"
#include "common/ComPtr.h"
#include "common/UniqueResource.h"
#include "update/Webform.h"

#include <gtest/gtest.h>

#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtmhst.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr int kPageId = 10201;

// The page's parent: records the notifications it receives.
class Parent {
public:
    Parent() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.lpszClassName = L"OrvaluxWebformTestParent";
        ::RegisterClassW(&windowClass);
        window.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                                       nullptr, nullptr, nullptr, nullptr));
        lastCommand = 0;
        commands = 0;
    }

    UniqueHwnd window;
    static inline WPARAM lastCommand = 0;
    static inline LPARAM lastSource = 0;
    static inline int commands = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_COMMAND) {
            lastCommand = wParam;
            lastSource = lParam;
            ++commands;
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
};

class WebformTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterWebformClass());
        page =
            ::CreateWindowExW(0, kWebformClassName, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 400, 300,
                              parent.window.get(), reinterpret_cast<HMENU>(kPageId), nullptr, nullptr);
        ASSERT_NE(page, nullptr);
    }
    void TearDown() override { ::DestroyWindow(page); }

    size_t PageFiles() const {
        std::error_code missing; // no folder: no files
        return std::distance(std::filesystem::directory_iterator(temporary / "Pictavel", missing), {});
    }

    ComInitialization com{COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE};
    // A temporary folder of its own, without the page folder in it.
    const TemporaryFolder folder{"orvalux-webform"};
    const std::filesystem::path& temporary = folder.Path();
    Parent parent;
    HWND page = nullptr;
};

TEST_F(WebformTest, TheHostAnswersTheControlAsAnInertDialogPage) {
    IUnknown* host = WebformHostOf(page);
    ASSERT_NE(host, nullptr) << "the browser control was not created";
    EXPECT_EQ(::GetWindowLongW(page, GWL_STYLE) & WS_VSCROLL, 0) << "the browser draws its own scroll bars";

    ComPtr<IDocHostUIHandler> handler;
    ASSERT_EQ(host->QueryInterface(IID_IDocHostUIHandler, handler.put_void()), S_OK);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_DISABLE_HELP_MENU |
                                               DOCHOSTUIFLAG_NO3DOUTERBORDER | DOCHOSTUIFLAG_DPI_AWARE))
        << "scroll bars allowed: created with WS_VSCROLL";
    EXPECT_EQ(handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK) << "no menu of the browser's own";

    ComPtr<IDispatch> events;
    ASSERT_EQ(host->QueryInterface(IID_IDispatch, events.put_void()), S_OK);
    VARIANT result{}; // VT_EMPTY
    DISPPARAMS none{};
    EXPECT_EQ(events->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result,
                             nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0x40000790) << "pictures load, nothing runs, nothing is said";
    EXPECT_EQ(
        events->Invoke(DISPID_NEWWINDOW2, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND);
}

TEST_F(WebformTest, ANavigationTheHostDidNotStartIsCancelledAndReported) {
    IUnknown* host = WebformHostOf(page);
    ASSERT_NE(host, nullptr);
    ComPtr<IDispatch> events;
    ASSERT_EQ(host->QueryInterface(IID_IDispatch, events.put_void()), S_OK);

    // BeforeNavigate2's arguments, last first: Cancel, Headers, PostData, TargetFrameName,
    // Flags, URL, the browser.
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT address{};
    address.vt = VT_BSTR;
    address.bstrVal = ::SysAllocString(L"https://orvalux.org/changes");
    VARIANT arguments[7] = {}; // VT_EMPTY
    arguments[0].vt = VT_BYREF | VT_BOOL;
    arguments[0].pboolVal = &cancel;
    arguments[5].vt = VT_BYREF | VT_VARIANT;
    arguments[5].pvarVal = &address;
    DISPPARAMS parameters{arguments, nullptr, 7, 0};
    const auto navigate = [&] {
        cancel = VARIANT_FALSE;
        EXPECT_EQ(events->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr,
                                 nullptr, nullptr),
                  S_OK);
        EXPECT_EQ(cancel, VARIANT_TRUE);
    };
    EXPECT_EQ(::SendMessageW(page, kWebformClickedLink, 0, 0), 0) << "no link yet";

    // A frame (any object but the browser itself) navigates: not reported, as the count
    // of commands once the page's own navigation is shows.
    arguments[6].vt = VT_DISPATCH;
    arguments[6].pdispVal = events.get();
    navigate();
    EXPECT_EQ(::SendMessageW(page, kWebformClickedLink, 0, 0), 0);
    ComPtr<IDispatch> browser;
    ASSERT_EQ(WebformBrowserOf(page)->QueryInterface(IID_IDispatch, browser.put_void()), S_OK);
    arguments[6].pdispVal = browser.get();
    navigate();
    // The report is posted: this thread's messages are dispatched until it arrives.
    EXPECT_TRUE(test_support::WaitFor([] {
        for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            ::DispatchMessageW(&message);
        }
        return Parent::lastCommand != 0;
    }));
    EXPECT_EQ(Parent::lastCommand, MAKEWPARAM(kPageId, kWebformLinkClicked));
    EXPECT_EQ(Parent::lastSource, reinterpret_cast<LPARAM>(page));
    EXPECT_EQ(Parent::commands, 1) << "a frame's navigation was reported";
    const auto* link = reinterpret_cast<const wchar_t*>(::SendMessageW(page, kWebformClickedLink, 0, 0));
    ASSERT_NE(link, nullptr);
    EXPECT_STREQ(link, L"https://orvalux.org/changes");
    ::VariantClear(&address);
}

TEST_F(WebformTest, APageFileIsOpenedOnceWrittenAsGivenAndShownOnEmptyText) {
    EXPECT_EQ(::SendMessageW(page, kWebformWritePage, 4, reinterpret_cast<LPARAM>("none")), 0)
        << "no file open";
    ::SetWindowTextW(page, L"");
    EXPECT_EQ(PageFiles(), 0u) << "showing without a file changes nothing";

    const auto file = reinterpret_cast<HANDLE>(::SendMessageW(page, kWebformOpenPage, 0, 0));
    ASSERT_NE(file, nullptr) << "the page folder is made when missing";
    EXPECT_EQ(reinterpret_cast<HANDLE>(::SendMessageW(page, kWebformOpenPage, 0, 0)), file);
    EXPECT_EQ(PageFiles(), 1u);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(::GetFinalPathNameByHandleW(file, path, MAX_PATH, 0), 0u);
    const std::wstring name = std::filesystem::path(path).filename().wstring();
    EXPECT_EQ(name.substr(0, 3), L"wbf");
    EXPECT_EQ(name.substr(name.size() - 5), L".html");

    const std::u16string page16 = u"\uFEFF<html><body><p>Gr\u00FCn</p></body></html>";
    const size_t bytes = page16.size() * sizeof(char16_t);
    EXPECT_EQ(::SendMessageW(page, kWebformWritePage, bytes, reinterpret_cast<LPARAM>(page16.data())),
              static_cast<LRESULT>(bytes));
    ::SetWindowTextW(page, L"");
    EXPECT_EQ(::SendMessageW(page, kWebformWritePage, 4, reinterpret_cast<LPARAM>("late")), 0) << "closed";
    std::ifstream written(std::filesystem::path(path), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}),
              std::string(reinterpret_cast<const char*>(page16.data()), bytes));
    EXPECT_EQ(PageFiles(), 1u);
}

} // namespace
