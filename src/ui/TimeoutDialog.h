#pragma once

#include "common/UniqueResource.h"
#include "ui/framework/CDlgWnd.h"
#include "ui/framework/CTrackSlider.h"

#include <commctrl.h>

#include <cstdint>
#include <string>

// The re-apply delay popup: one vertical slider from 0 to 10 s beside the panel's button.
// Its result is the chosen delay in milliseconds, or -1 when cancelled.
class CTimeoutDlg final : public CDlgWnd {
public:
    explicit CTimeoutDlg(uint32_t currentDelayMs);
    ~CTimeoutDlg() override;

    // Runs the popup beside `anchor`, the button that opened it.
    INT_PTR Run(HWND anchor);

    UINT GetTemplateId() const override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;

    int32_t value;

private:
    // The slider shows the value in a tracking tooltip while it is dragged.
    class Slider final : public CTrackSlider {
    public:
        explicit Slider(CTimeoutDlg& owner) : owner_(owner) {}
        LRESULT OnLButtonDown(WPARAM keys, int x, int y) override;
        LRESULT OnLButtonUp(WPARAM keys, int x, int y) override;

    private:
        CTimeoutDlg& owner_;
    };

    void SetValue(int32_t milliseconds);
    void TrackTooltip(bool on);
    HWND Anchor() const { return reinterpret_cast<HWND>(creationParameter); }

    HWND tooltip = nullptr;
    TTTOOLINFOW toolInfo{};
    std::wstring valueText;
    COLORREF colorKey = 0;
    UniqueResource<SimpleResourceTraits<HBRUSH, &::DeleteObject>> keyBrush;
    Slider slider{*this};
};
