#include "ui/HotkeyDialog.h"

#include "ui/SliderPopup.h"
#include "ui/SmallIcons.h"
#include "ui/Tooltips.h"

#include "resource.h"

#include <array>
#include <cwchar>

namespace {

constexpr uint32_t kIncrementFirstColor = 0xFF89E3F7;
constexpr uint32_t kIncrementSecondColor = 0xFF0B7FD6;

struct HotkeyField {
    int controlId;
    uint32_t CHotkeyDlg::*code;
};
constexpr std::array<HotkeyField, 5> kFields = {{
    {IDC_MONITOR_OFF_HOTKEY, &CHotkeyDlg::hotkeyMonitorOff},
    {IDC_BRIGHTNESS_UP_HOTKEY, &CHotkeyDlg::hotkeyBrightnessUp},
    {IDC_BRIGHTNESS_DOWN_HOTKEY, &CHotkeyDlg::hotkeyBrightnessDown},
    {IDC_CONTRAST_UP_HOTKEY, &CHotkeyDlg::hotkeyContrastUp},
    {IDC_CONTRAST_DOWN_HOTKEY, &CHotkeyDlg::hotkeyContrastDown},
}};

struct Mark {
    int controlId;
    WORD iconId;
};
constexpr std::array<Mark, 5> kMarks = {{
    {IDC_MONITOR_OFF_MARK, IDI_HOTKEY_MONITOR_OFF},
    {IDC_BRIGHTNESS_UP_MARK, IDI_HOTKEY_BRIGHTNESS_UP},
    {IDC_BRIGHTNESS_DOWN_MARK, IDI_HOTKEY_BRIGHTNESS_DOWN},
    {IDC_CONTRAST_UP_MARK, IDI_HOTKEY_CONTRAST_UP},
    {IDC_CONTRAST_DOWN_MARK, IDI_HOTKEY_CONTRAST_DOWN},
}};

// What the hotkey control can show: a code with bits above its two bytes is no hotkey.
WPARAM ControlCode(uint32_t code) {
    return code > 0xFFFF ? 0 : code;
}

} // namespace

UINT CHotkeyDlg::GetTemplateId() const {
    return IDD_HOTKEYS;
}

INT_PTR CHotkeyDlg::Run(HWND owner) {
    return DoModal(owner, 0);
}

void CHotkeyDlg::ShowIncrement() const {
    wchar_t text[16];
    std::swprintf(text, 16, L"%u", increment);
    ::SetDlgItemTextW(window, IDC_INCREMENT, text);
}

void CHotkeyDlg::SetIcons() {
    SetButtonIcon(window, IDOK, IDI_OK);
    SetButtonIcon(window, IDCANCEL, IDI_CANCEL);
    SetButtonIcon(window, IDC_INCREMENT, IDI_INCREMENT);
    for (const Mark& mark : kMarks) {
        const HWND holder = ::GetDlgItem(window, mark.controlId);
        ::SendMessageW(holder, STM_SETICON, reinterpret_cast<WPARAM>(LoadSmallIcon(mark.iconId, window)), 0);
        ::ShowWindow(holder, SW_SHOW);
    }
}

LRESULT CHotkeyDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
    const LRESULT result = CDlgWnd::OnDpiChanged(dpi, suggested);
    SetIcons();
    return result;
}

INT_PTR CHotkeyDlg::OnInitDialog(WPARAM, LPARAM) {
    CreateTooltips(window);
    SetDialogIcons(window);
    SetIcons();
    ShowIncrement();
    for (const HotkeyField& field : kFields) {
        ::SendDlgItemMessageW(window, field.controlId, HKM_SETHOTKEY, ControlCode(this->*field.code), 0);
    }
    ::SetForegroundWindow(window);
    const HWND first = ::GetDlgItem(window, IDC_MONITOR_OFF_HOTKEY);
    ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    return FALSE; // the focus is set
}

void CHotkeyDlg::ChooseIncrement(HWND button) {
    const uint32_t opened = increment;
    CSliderPopup popup(button, increment);
    popup.color1 = kIncrementFirstColor;
    popup.color2 = kIncrementSecondColor;
    popup.wedge = true;
    popup.horizontal = true;
    popup.closeOnRelease = true;
    const INT_PTR chosen = popup.DoModal(nullptr, 0);
    // Cancelled: the value reports received meanwhile are undone.
    increment = chosen >= 0 ? static_cast<uint32_t>(chosen) : opened;
    ::RemovePropW(button, kSliderPopupValueProperty);
    ShowIncrement();
}

LRESULT CHotkeyDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const auto control = reinterpret_cast<HWND>(lParam);
    if (!control) {
        return 0; // menus and accelerators: this dialog has none
    }
    switch (LOWORD(wParam)) {
    case IDOK:
        for (const HotkeyField& field : kFields) {
            this->*field.code =
                static_cast<uint32_t>(::SendDlgItemMessageW(window, field.controlId, HKM_GETHOTKEY, 0, 0));
        }
        EndModal(1);
        return 1;
    case IDCANCEL:
        EndModal(0);
        return 1;
    case IDC_INCREMENT:
        if (HIWORD(wParam) == kSliderPopupValueReport) {
            increment = static_cast<uint32_t>(
                reinterpret_cast<uintptr_t>(::GetPropW(control, kSliderPopupValueProperty)));
            ShowIncrement();
        } else {
            ChooseIncrement(control);
        }
        return 1;
    default:
        return 0;
    }
}

INT_PTR CHotkeyDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && HandleTooltipNotify(reinterpret_cast<NMHDR*>(lParam))) {
        return TRUE;
    }
    return CDlgWnd::DialogProc(dialog, message, wParam, lParam);
}
