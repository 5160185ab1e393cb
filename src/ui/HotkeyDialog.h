#pragma once

#include "ui/framework/CDlgWnd.h"

#include <cstdint>

// The dialog in which the user defines the five global hotkeys and the step of the
// brightness and contrast hotkeys. Hotkeys are hotkey-control codes: the virtual key in
// the low byte, the control's modifier flags in the next; 0 is none.
class CHotkeyDlg final : public CDlgWnd {
public:
    // 1 for OK, with the members read back from the controls; otherwise (Cancel, or an end
    // by a quit message) 0 or kModalCancelled, and the members are not to be used.
    INT_PTR Run(HWND owner);

    UINT GetTemplateId() const override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The dialog's own size follows its dialog units; its icons are loaded for the new scale.
    LRESULT OnDpiChanged(UINT dpi, const RECT& suggested) override;

    uint32_t hotkeyMonitorOff = 0;
    uint32_t hotkeyBrightnessUp = 0;
    uint32_t hotkeyBrightnessDown = 0;
    uint32_t hotkeyContrastUp = 0;
    uint32_t hotkeyContrastDown = 0;
    uint32_t increment = 10; // 1..100

private:
    void ShowIncrement() const;
    void SetIcons();
    void ChooseIncrement(HWND button);
};
