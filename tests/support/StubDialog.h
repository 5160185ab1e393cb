// A dialog procedure that handles nothing, for a template's controls as the dialog manager makes
// them with no code of the program's around them; and the text a window shows.
#pragma once

#include <windows.h>

#include <string>

namespace test_support {

inline std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

inline INT_PTR CALLBACK StubDialogProcedure(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

} // namespace test_support
