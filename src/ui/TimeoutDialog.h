#pragma once

#include "ui/PopupDialog.h"

#include <cstdint>
#include <string>

// The re-apply delay popup: one vertical slider from 0 to 10 s beside the panel's button.
// Its result is the chosen delay in milliseconds, or -1 when cancelled.
class CTimeoutDlg final : public CPopupDlg {
public:
    explicit CTimeoutDlg(uint32_t currentDelayMs);

    // Runs the popup beside `anchor`, the button that opened it.
    INT_PTR Run(HWND anchor);

    UINT GetTemplateId() const override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;

    int32_t value;

private:
    INT_PTR CurrentResult() const override { return value; }
    void MarkCancelled() override { value = -1; }
    void SetValue(int32_t milliseconds);

    std::wstring valueText;
    CPopupSlider slider{*this};
};
