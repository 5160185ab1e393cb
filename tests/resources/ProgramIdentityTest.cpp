// Version resource and manifest of the executable: the test program links the same
// resource objects as the product.
#include "ResourceAccess.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(VersionResource, CarriesTheProjectVersion) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<std::byte> block(GetFileVersionInfoSizeW(path, &ignored));
    ASSERT_TRUE(!block.empty() &&
                GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), ORVALUX_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), ORVALUX_VERSION_MINOR);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), ORVALUX_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);

    wchar_t* product = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, L"Orvalux");
}

// The manifest is in effect: the loader binds the side-by-side common controls 6
// assembly instead of the system's version 5 (Wine's copy of version 6 reports 5.81 from
// DllGetVersion, so the assembly's folder is what tells them apart). What it asks for
// beyond that has no other visible effect here.
TEST(Manifest, ActivatesCommonControlsSixAsksForDpiAwarenessAndTheUsersOwnRights) {
    const auto bytes = ResourceBytes(RT_MANIFEST, 1, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_FALSE(bytes.empty());
    const std::string manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
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
