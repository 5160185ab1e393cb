#pragma once

#include <windows.h>

#include <msi.h>

#include <string>

// Removes every installed version of the package; the error of the first removal that
// fails, or ERROR_SUCCESS. (Wine's installer does not list per-user packages by their
// upgrade code, so they are found by name.)
inline UINT UninstallEveryVersion() {
    wchar_t product[39];
    for (DWORD index = 0; ::MsiEnumProductsW(index, product) == ERROR_SUCCESS;) {
        wchar_t name[64] = {};
        DWORD size = 64;
        ::MsiGetProductInfoW(product, INSTALLPROPERTY_PRODUCTNAME, name, &size);
        if (std::wstring(name) != L"Orvalux") {
            ++index;
        } else if (const UINT removed =
                       ::MsiConfigureProductExW(product, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT, L"");
                   removed != ERROR_SUCCESS) {
            return removed;
        }
    }
    return ERROR_SUCCESS;
}
