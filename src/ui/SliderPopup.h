#pragma once

#include "ui/PopupDialog.h"

#include <cstdint>
#include <string>

// The name of the property in which a slider popup leaves its value on its anchor.
inline constexpr wchar_t kSliderPopupValueProperty[] = L"Value";
// The notification code of the value reports a slider popup sends its anchor's window.
inline constexpr WORD kSliderPopupValueReport = 1;

// A small popup with one slider, built in memory (it has no dialog resource), that opens
// next to the control it belongs to (its anchor). Every change is reported at once: the
// value goes into the anchor's "Value" property and the anchor's window gets a WM_COMMAND
// from the anchor with kSliderPopupValueReport. The result is the value, or -1 when
// cancelled or when the popup cannot be built.
class CSliderPopup final : public CPopupDlg {
public:
    using FormatFunction = void (*)(uint32_t value, std::wstring& text);

    CSliderPopup(HWND anchor, uint32_t initialValue);

    // Runs the popup at its anchor (`parameter`, or the one given at construction when 0).
    INT_PTR DoModal(HWND owner, LPARAM parameter) override;
    INT_PTR DoModalIndirect(HWND owner, const DLGTEMPLATE* dialogTemplate, LPARAM parameter) override;
    UINT GetTemplateId() const override { return 0; }
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnEraseBkgnd(HDC deviceContext) override;

    uint32_t value;
    uint32_t minimum = 1;
    uint32_t maximum = 100;
    uint32_t color1 = 0; // ARGB; 0 leaves the wedge's default
    uint32_t color2 = 0;
    bool wedge = false;
    bool horizontal = false;         // vertical by default, its maximum at the top
    bool closeOnRelease = false;     // releasing the slider accepts the value
    unsigned tooltipStringId = 0;    // the slider's hint; 0 for none
    FormatFunction format = nullptr; // the value's text while the slider is held

private:
    INT_PTR CurrentResult() const override { return static_cast<int32_t>(value); }
    void MarkCancelled() override { value = static_cast<uint32_t>(-1); }
    void SetValue(uint32_t newValue, bool report);
    bool AnswerTooltipRequest(NMTTDISPINFOW* request);
    void SnapPointerToThumb() const;

    HWND anchor;
    std::wstring valueText;
    CPopupSlider slider{*this};
};
