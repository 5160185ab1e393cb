#pragma once

#include <windows.h>

// The slider panel's controller. For now its window is a hidden top-level window that
// ends the message loop on close and on a display change, and answers the monitor-off
// request of a second start.
class PanelDialog {
public:
    // Creates a new panel window; the first one stays alive (hidden) until Destroy, as
    // the target of everything registered for it.
    HWND Create(HINSTANCE instance);
    // Destroys the panel windows this object keeps.
    void Destroy();

    HWND Window() const { return window; }

    // Brings the controls in line with the reference monitor and sets every display to
    // its own present brightness again, which also stores it.
    void SyncSliders();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    HWND firstWindow = nullptr; // kept through rebuilds; null until the first rebuild
};

extern PanelDialog panelDialog;
