#pragma once

#include <windows.h>

#include <commctrl.h>

// Every window of the program is bound to an object with virtual message handlers. The
// window property "CWnd" names the object, and also marks the window as one of the
// program's own.
inline constexpr char kWindowObjectProperty[] = "CWnd";

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    HWND Window() const { return window; }

    // The object bound to `target`, or null for a window that is not one of ours.
    static CWnd* FromWindow(HWND target);

    // Handlers. A non-zero result means handled, except where the dispatch says otherwise.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSysKeyDown(UINT virtualKey, UINT repeatCount, UINT keyFlags);
    virtual LRESULT OnKeyDown(UINT virtualKey, UINT repeatCount, UINT keyFlags);
    virtual LRESULT OnEraseBkgnd(HDC deviceContext);
    virtual LRESULT OnPaint();
    virtual INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnActivate(UINT minimized, HWND otherWindow, UINT state);
    virtual LRESULT OnLButtonDown(WPARAM keys, int x, int y);
    virtual LRESULT OnLButtonUp(WPARAM keys, int x, int y);
    virtual LRESULT OnCustomDraw(NMCUSTOMDRAW* draw);
    // The window moved to a monitor of another scale (`dpi`); `suggested` is the window
    // rectangle the system proposes there. The base takes that rectangle and leaves the
    // rest (a dialog's controls) to the default handling.
    virtual LRESULT OnDpiChanged(UINT dpi, const RECT& suggested);

protected:
    // Binds `control` to this object and routes its messages through WindowProc; the
    // control's own procedure is kept as the previous one.
    void Subclass(HWND control);
    // Marks `target` as bound to this object.
    void BindProperty(HWND target);

    // The newest window bound to this object.
    HWND window = nullptr;
    // The control's own procedure, for subclassed controls; null otherwise.
    WNDPROC previousProcedure = nullptr;

private:
    friend LRESULT CALLBACK SharedSubclassProcedure(HWND, UINT, WPARAM, LPARAM) noexcept;
};

// The window procedure of every subclassed control.
LRESULT CALLBACK SharedSubclassProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
