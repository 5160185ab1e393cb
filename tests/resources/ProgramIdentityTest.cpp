// The manifest of the executable: the test program links the same resource objects as the
// product. (The version resource is read by the update tests from the program file.)
#include "ResourceAccess.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// The manifest is in effect: the loader binds the side-by-side common controls 6
// assembly instead of the system's version 5 (Wine's copy of version 6 reports 5.81 from
// DllGetVersion, so the assembly's folder is what tells them apart).
TEST(Manifest, ActivatesCommonControlsSix) {
    InitCommonControls();
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(controls, path, MAX_PATH), 0u);
    EXPECT_NE(std::wstring(_wcslwr(path)).find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << path;
}

} // namespace
