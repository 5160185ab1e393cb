#include "app/Installation.h"

#include <windows.h>

#include <memory>

#ifndef ORVALUX_UPGRADE_CODE
#error "ORVALUX_UPGRADE_CODE names the package's upgrade code"
#endif

namespace {

using EnumRelatedProducts = UINT(WINAPI*)(LPCWSTR upgradeCode, DWORD reserved, DWORD index,
                                          LPWSTR productCode);

struct LibraryDeleter {
    void operator()(HMODULE module) const noexcept { ::FreeLibrary(module); }
};

} // namespace

bool IsUpdateReplacingInstallation() {
    // The installer's library is needed only here: loaded from the system folder for this call.
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter> msi(
        ::LoadLibraryExW(L"msi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const auto enumerate = msi ? reinterpret_cast<EnumRelatedProducts>(reinterpret_cast<void*>(
                                     ::GetProcAddress(msi.get(), "MsiEnumRelatedProductsW")))
                               : nullptr;
    if (!enumerate) {
        return false;
    }
    DWORD registered = 0;
    wchar_t productCode[39];
    while (registered < 2 &&
           enumerate(L"{" ORVALUX_UPGRADE_CODE L"}", 0, registered, productCode) == ERROR_SUCCESS) {
        ++registered;
    }
    return registered >= 2;
}
