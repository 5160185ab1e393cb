#pragma once

#include "common/GdiResources.h"
#include "ui/framework/CDlgWnd.h"
#include "ui/framework/CTrackSlider.h"

#include <commctrl.h>

#include <cstdint>

// A borderless popup opened from a button (its anchor, the creation parameter) of another
// window. Everything painted in its colour key is transparent; it ends with its current
// result when another window is activated, and tells the anchor's window about that
// activation unless it is the anchor itself that gains it.
class CPopupDlg : public CDlgWnd {
public:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    // At a new scale the popup takes the size the system proposes, lies beside its anchor
    // again and is drawn anew.
    LRESULT OnDpiChanged(UINT dpi, const RECT& suggested) override;

    // Shows the value next to the pointer while a slider is held (on), the control's hint
    // as a balloon otherwise (off).
    void TrackTooltip(bool on);

protected:
    explicit CPopupDlg(COLORREF key);

    HWND Anchor() const { return reinterpret_cast<HWND>(creationParameter); }
    // What the popup ends with when it loses the activation or on Enter.
    virtual INT_PTR CurrentResult() const = 0;
    // Marks the result as cancelled (-1).
    virtual void MarkCancelled() = 0;
    // Enter ends the popup with its result, Escape with -1. Whether it was one of them.
    bool EndOnOkOrCancel(WORD id);
    // Creates the popup's tooltips and keeps the tool record of `control` for tracking.
    void CreateTrackingTooltips(HWND control);
    // Moves the popup beside its anchor: a horizontal slider above it, a vertical one to
    // its right.
    void PlaceAtAnchor(bool horizontal);
    // Places the popup again after a change of scale: by default as PlaceAtAnchor last did.
    virtual void PlaceAgain();

    bool placed = false;
    bool placedHorizontal = false;

    const COLORREF colorKey;
    UniqueHbrush keyBrush;
    HWND tooltip = nullptr;
    TTTOOLINFOW toolInfo{};
};

// The slider of a popup: a press on it switches the popup's tooltip to tracking the value,
// the release back; with `closeOnRelease` the release also accepts the value.
class CPopupSlider final : public CTrackSlider {
public:
    explicit CPopupSlider(CPopupDlg& popup) : popup_(popup) {}
    LRESULT OnLButtonDown(WPARAM keys, int x, int y) override;
    LRESULT OnLButtonUp(WPARAM keys, int x, int y) override;

    bool closeOnRelease = false;

private:
    CPopupDlg& popup_;
};
