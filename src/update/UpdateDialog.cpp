#include "update/UpdateDialog.h"

#include "ui/Localization.h"
#include "ui/TextConversion.h"
#include "ui/framework/CDlgWnd.h"
#include "update/UpdateCheck.h"
#include "update/UpdatePageRules.h"
#include "update/Webform.h"

#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

constexpr WORD kHtmlResourceType = 23;
static_assert(kUpdatePageInstall == IDC_INSTALL && kUpdatePageInstall != kModalCancelled);

class UpdateDialog final : public CDlgWnd {
public:
    UpdateDialog(const UpdateParams& params, const UpdateAnswer& answer) : params_(params), answer_(answer) {}

    UINT GetTemplateId() const override { return IDD_UPDATE; }

    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLOSE) {
            EndModal(kModalCancelled);
            return TRUE;
        }
        return CDlgWnd::DialogProc(dialog, message, wParam, lParam);
    }

    INT_PTR OnInitDialog(WPARAM, LPARAM) override {
        const HWND page = ReplacePlaceholder();
        ::SendDlgItemMessageW(window, IDC_INSTALL, BCM_SETSHIELD, 0, TRUE);
        const std::u16string text = PageText();
        CentreWhenOwnerHasNoWidth();
        ::SendMessageW(page, kWebformOpenPage, 0, reinterpret_cast<LPARAM>(L".html"));
        ::SendMessageW(page, kWebformWritePage, text.size() * sizeof(char16_t),
                       reinterpret_cast<LPARAM>(text.data()));
        ::SetWindowTextW(page, L"");
        return FALSE;
    }

    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override {
        switch (LOWORD(wParam)) {
        case IDC_UPDATE_PAGE:
            if (lParam && HIWORD(wParam) == kWebformLinkClicked) {
                // The page never follows a link itself: the user's browser shows it.
                const auto* link = reinterpret_cast<const wchar_t*>(
                    ::SendMessageW(reinterpret_cast<HWND>(lParam), kWebformClickedLink, 0, 0));
                if (link && IsLinkToOpen(reinterpret_cast<const char16_t*>(link))) {
                    ::ShellExecuteW(window, L"open", link, nullptr, nullptr, SW_SHOWNORMAL);
                }
            }
            return TRUE;
        case IDCANCEL:
            EndModal(kModalCancelled);
            return TRUE;
        case IDC_INSTALL:
            EndModal(kUpdatePageInstall);
            return TRUE;
        default:
            return FALSE;
        }
    }

private:
    // The black frame gives the page its place; the page window takes over its id.
    HWND ReplacePlaceholder() const {
        const HWND placeholder = ::GetDlgItem(window, IDC_UPDATE_PAGE);
        RECT frame{};
        ::GetWindowRect(placeholder, &frame);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&frame), 2);
        ::DestroyWindow(placeholder);
        const HWND page = ::CreateWindowExW(
            0, kWebformClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL, frame.left,
            frame.top, frame.right - frame.left + ::GetSystemMetrics(SM_CXVSCROLL), frame.bottom - frame.top,
            window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongW(page, GWL_ID, IDC_UPDATE_PAGE);
        return page;
    }

    std::u16string PageText() const {
        std::u16string page;
        const HMODULE module = ResourceModule();
        if (const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_UPDATE_PAGE),
                                                MAKEINTRESOURCEW(kHtmlResourceType))) {
            const HGLOBAL loaded = ::LoadResource(module, found);
            const auto* text = static_cast<const char16_t*>(::LockResource(loaded));
            if (text) {
                page.assign(text, ::SizeofResource(module, found) / sizeof(char16_t));
            }
        }
        wchar_t running[32];
        std::swprintf(running, std::size(running), L"%d.%d.%d", runningVersion.major, runningVersion.minor,
                      runningVersion.build);
        const UpdatePageValues values{WideToUtf16(params_.appName), WideToUtf16(running),
                                      Utf8ToUtf16(answer_.version), answer_.changes};
        return FillUpdatePage(std::move(page), values);
    }

    void CentreWhenOwnerHasNoWidth() const {
        RECT owner{};
        ::GetWindowRect(::GetWindow(window, GW_OWNER), &owner);
        if (owner.left != owner.right) {
            return;
        }
        RECT desktop{};
        RECT placed{};
        ::GetWindowRect(::GetDesktopWindow(), &desktop);
        ::GetWindowRect(window, &placed);
        ::SetWindowPos(window, nullptr, (desktop.right - desktop.left - (placed.right - placed.left)) / 2,
                       (desktop.bottom - desktop.top - (placed.bottom - placed.top)) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
    }

    static std::u16string WideToUtf16(std::wstring_view text) { return {text.begin(), text.end()}; }

    const UpdateParams& params_;
    const UpdateAnswer& answer_;
};

} // namespace

INT_PTR ShowUpdateDialog(HWND owner, const UpdateParams& params, const UpdateAnswer& answer) {
    if (!RegisterWebformClass()) {
        return kModalCancelled;
    }
    UpdateDialog dialog(params, answer);
    return dialog.DoModal(owner, 0);
}
