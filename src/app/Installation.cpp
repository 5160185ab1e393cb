#include "app/Installation.h"

#include "common/UniqueResource.h"

#include <windows.h>

#include <string_view>

namespace {

using EnumProductsFunction = UINT(WINAPI*)(DWORD index, LPWSTR productCode);
using ProductInfoFunction = UINT(WINAPI*)(LPCWSTR productCode, LPCWSTR property, LPWSTR value, LPDWORD size);

template <typename Function> Function Find(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

// The package's installations are told by product name and publisher: Wine's installer
// does not list per-user packages by their upgrade code.
bool IsUpdateReplacingInstallation() {
    // The installer's library is needed only here: loaded from the system folder for this call.
    const UniqueHmodule msi(::LoadLibraryExW(L"msi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const auto enumerate = msi ? Find<EnumProductsFunction>(msi.get(), "MsiEnumProductsW") : nullptr;
    const auto property = msi ? Find<ProductInfoFunction>(msi.get(), "MsiGetProductInfoW") : nullptr;
    if (!enumerate || !property) {
        return false;
    }
    int installations = 0;
    wchar_t product[39];
    for (DWORD index = 0; installations < 2 && enumerate(index, product) == ERROR_SUCCESS; ++index) {
        wchar_t name[64] = {};
        wchar_t publisher[64] = {};
        DWORD nameSize = 64;
        DWORD publisherSize = 64;
        if (property(product, L"ProductName", name, &nameSize) == ERROR_SUCCESS &&
            property(product, L"Publisher", publisher, &publisherSize) == ERROR_SUCCESS &&
            std::wstring_view(name) == L"Orvalux" && std::wstring_view(publisher) == L"Kestrine") {
            ++installations;
        }
    }
    return installations >= 2;
}
