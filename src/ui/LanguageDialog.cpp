#include "ui/LanguageDialog.h"

#include "common/GdiResources.h"
#include "common/Settings.h"
#include "ui/Localization.h"
#include "ui/PopupRules.h"
#include "ui/ScaledPictures.h"
#include "ui/Tooltips.h"
#include "ui/framework/Dpi.h"
#include "ui/framework/DpiRules.h"

#include "resource.h"

namespace {

int32_t ListedIndex(uint32_t index) {
    // A stored index past the table shows the first entry.
    return index < kLanguageCount ? static_cast<int32_t>(index) : 0;
}

} // namespace

CLanguageDlg::CLanguageDlg(uint32_t currentIndex)
    // The button-shadow colour one step off: a colour nothing else on the popup uses.
    : CPopupDlg(GreenStepColorKey(::GetSysColor(COLOR_BTNSHADOW))), selection(ListedIndex(currentIndex)) {}

CLanguageDlg::~CLanguageDlg() {
    if (flags) {
        ::ImageList_Destroy(flags);
    }
}

UINT CLanguageDlg::GetTemplateId() const {
    return IDD_LANGUAGE;
}

INT_PTR CLanguageDlg::Run(HWND anchor) {
    return DoModal(nullptr, reinterpret_cast<LPARAM>(anchor));
}

void CLanguageDlg::FillList(HWND list) {
    ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
    if (flags) {
        ::ImageList_Destroy(flags);
    }
    const uint32_t dpi = WindowDpi(window);
    const SIZE flagSize = FlagSizeForDpi(dpi);
    flags = ::ImageList_Create(flagSize.cx, flagSize.cy, ILC_COLOR32, static_cast<int>(kLanguageCount), 1);
    ::SendMessageW(list, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(flags));
    for (uint32_t index = 0; index < kLanguageCount; ++index) {
        const UniqueHbitmap flag = LoadFlagBitmap(index, dpi);
        if (flag && flags) {
            ::ImageList_Add(flags, flag.get(), nullptr);
        }
        // Entry i always shows image i: a missing flag leaves a gap, not a shift.
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = static_cast<INT_PTR>(index);
        item.pszText = const_cast<wchar_t*>(LanguageName(index));
        item.iImage = static_cast<int>(index);
        item.iSelectedImage = static_cast<int>(index);
        ::SendMessageW(list, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

INT_PTR CLanguageDlg::OnInitDialog(WPARAM, LPARAM) {
    ::SetLayeredWindowAttributes(window, colorKey, 255, LWA_COLORKEY);
    tooltip = CreateTooltips(window);
    const HWND list = ::GetDlgItem(window, IDC_LANGUAGE_LIST);
    FillList(list);
    uint32_t stored = 0;
    ReadSettingDword(L"Language", stored);
    selection = ListedIndex(stored);
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    PlaceAgain();
    ::SetForegroundWindow(window);
    return TRUE;
}

void CLanguageDlg::PlaceAgain() {
    if (placed) { // a change of scale: flags at the new size, the choice kept
        const HWND list = ::GetDlgItem(window, IDC_LANGUAGE_LIST);
        const LRESULT chosen = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
        FillList(list);
        ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    }
    RECT anchor{};
    ::GetWindowRect(Anchor(), &anchor);
    ::SetWindowPos(window, nullptr, anchor.left + ScaleForDpi(1, WindowDpi(window)), anchor.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    placed = true;
}

LRESULT CLanguageDlg::OnCommand(WPARAM wParam, LPARAM) {
    if (EndOnOkOrCancel(LOWORD(wParam))) {
        return 1;
    }
    switch (LOWORD(wParam)) {
    case IDC_LANGUAGE_LIST:
        if (HIWORD(wParam) != CBN_CLOSEUP) {
            return 0;
        }
        // The open list takes Escape for itself and closes; the user meant to cancel.
        if (::GetKeyState(VK_ESCAPE) < 0) {
            selection = -1;
        } else if (const auto current = static_cast<int32_t>(
                       ::SendDlgItemMessageW(window, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0));
                   current >= 0) {
            selection = current;
        }
        EndModal(selection);
        return 1;
    default:
        return 0;
    }
}

INT_PTR CLanguageDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam) {
            ::SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, CB_SHOWDROPDOWN, TRUE, 0);
        }
        break;
    case WM_NOTIFY:
        return HandleTooltipNotify(reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;
    default:
        break;
    }
    return CPopupDlg::DialogProc(dialog, message, wParam, lParam);
}
