#pragma once

#include <windows.h>

#include <unknwn.h>

// A child window that hosts the system's web browser control and shows pages its parent
// writes into it. The page stays inert (no scripts, Java or ActiveX, no context menu),
// and the browser never follows a link by itself: a navigation the window did not start
// is cancelled; one of the page itself (not of a frame in it) is reported to the parent,
// which decides what to do with the address.

inline constexpr wchar_t kWebformClassName[] = L"WebformClass";

// Opens a page file (wParam: the page kind, 0 = HTML written exactly as given) unless
// one is open; returns its handle.
inline constexpr UINT kWebformOpenPage = WM_USER;
// Writes wParam bytes from lParam to the open page file; returns the count written.
inline constexpr UINT kWebformWritePage = WM_USER + 1;
// Returns the address of the last cancelled navigation (const wchar_t*), or null.
inline constexpr UINT kWebformClickedLink = WM_USER + 2;
// WM_SETTEXT with no text closes the page file and shows it.

// The notification code of the WM_COMMAND sent to the parent when a navigation is
// cancelled (the control id in the low word, the window as lParam).
inline constexpr WORD kWebformLinkClicked = 2;

// Registers the window class, once per process. False when it cannot be registered.
bool RegisterWebformClass();

// The browser host of a Webform window, for checking its answers to the control; no
// reference is added. Null when the window has no browser.
IUnknown* WebformHostOf(HWND webform);
// The browser control of a Webform window, whose own document's navigations are
// reported; no reference is added. Null when the window has no browser.
IUnknown* WebformBrowserOf(HWND webform);
