#pragma once

#include "ui/framework/CWnd.h"
#include "ui/framework/DwmApi.h"

#include <cstdint>
#include <memory>
#include <optional>

// What a modal run returns when its own handlers did not end it: a quit message met by
// the modal loop, or a failed start.
inline constexpr INT_PTR kModalCancelled = -1;

// A dialog bound to its object. Handles the glass frame when the desktop composes
// windows: the frame is extended into the client area by `frameMargins`.
class CDlgWnd : public CWnd {
public:
    CDlgWnd();
    ~CDlgWnd() override;

    // Derived dialogs override it and call this one first.
    virtual INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual UINT GetTemplateId() const = 0;
    // A modal run returns what its handlers chose with `EndModal`, otherwise kModalCancelled.
    virtual INT_PTR DoModal(HWND owner, LPARAM parameter);
    virtual INT_PTR DoModalIndirect(HWND owner, const DLGTEMPLATE* dialogTemplate, LPARAM parameter);
    virtual HWND CreateModeless();

    bool IsCompositionEnabled() const;
    // For tests: another source of the composition state and the frame extension.
    void UseDwmApi(std::unique_ptr<DwmApi> api) { dwm = std::move(api); }

    MARGINS frameMargins{};

protected:
    // Stores `result` as the dialog's message result and returns it, as a dialog
    // procedure answers when the value itself matters.
    static INT_PTR SetDialogResult(HWND dialog, INT_PTR result);
    // Hands a custom-draw notification to the object of the control that sent it and makes
    // its answer the dialog's message result. False when it is none or the control has no
    // object.
    static bool ForwardCustomDraw(HWND dialog, NMHDR* notification);
    // Ends the modal run with `result`, the only way a result counts (see DoModal).
    void EndModal(INT_PTR result);

    uint64_t creationParameter = 0;

private:
    friend INT_PTR CALLBACK SharedDialogProcedure(HWND, UINT, WPARAM, LPARAM) noexcept;

    void PaintFrameBands(HWND dialog) const;
    bool HasFrameMargins() const;
    INT_PTR TakeChosenResult();

    std::unique_ptr<DwmApi> dwm;
    std::optional<INT_PTR> chosenResult; // of the running modal run
};

// The dialog procedure every dialog of the program is created with; the creation
// parameter is the dialog's object.
INT_PTR CALLBACK SharedDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Gives `dialog` the program's icon (100) as its large and small icon.
void SetDialogIcons(HWND dialog);
