// A dialog procedure that handles nothing: a template's controls as the dialog manager
// makes them, with no code of the program's around them.
#pragma once

#include <windows.h>

namespace test_support {

inline INT_PTR CALLBACK StubDialogProcedure(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

} // namespace test_support
