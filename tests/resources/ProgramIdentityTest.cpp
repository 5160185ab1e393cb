// The manifest of the executable: the test links the same resource objects as the product.
#include "ResourceAccess.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// The manifest binds the common controls 6 assembly; Wine's copy reports 5.81, so its folder tells.
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
