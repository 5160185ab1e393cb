#pragma once

#include "ui/PopupDialog.h"

#include <commctrl.h>

#include <cstdint>

// The language popup: a drop-down list of the languages with their flags, lying exactly
// over the panel's flag button. The list opens by itself; picking an entry ends the popup
// with its index, Escape with -1, a click elsewhere with the entry that was selected.
class CLanguageDlg final : public CPopupDlg {
public:
    explicit CLanguageDlg(uint32_t currentIndex);
    ~CLanguageDlg() override;

    // Runs the popup over `anchor`, the button that opened it.
    INT_PTR Run(HWND anchor);

    UINT GetTemplateId() const override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;

    int32_t selection;

private:
    INT_PTR CurrentResult() const override { return selection; }
    void MarkCancelled() override { selection = -1; }
    void FillList(HWND list);
    // Over the anchor, one pixel (at 100 %) right of its left edge, with the flags at the
    // popup's scale.
    void PlaceAgain() override;

    HIMAGELIST flags = nullptr; // the list's images, destroyed with the popup object
};
