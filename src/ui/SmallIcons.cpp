#include "ui/SmallIcons.h"

#include "common/UniqueResource.h"
#include "ui/Localization.h"
#include "ui/framework/Dpi.h"

#include <commctrl.h>

#include <map>
#include <utility>

namespace {

using LoadIconWithScaleDownFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

HICON LoadAtSize(WORD id, int size) {
    // Common controls 6 scales down from a larger picture, which stays crisp; the plain
    // loader may scale a smaller one up.
    static const auto scaleDown = [] {
        const HMODULE controls = ::GetModuleHandleW(L"comctl32.dll");
        return controls ? reinterpret_cast<LoadIconWithScaleDownFunction>(
                              reinterpret_cast<void*>(::GetProcAddress(controls, "LoadIconWithScaleDown")))
                        : nullptr;
    }();
    HICON icon = nullptr;
    if (scaleDown && SUCCEEDED(scaleDown(ResourceModule(), MAKEINTRESOURCEW(id), size, size, &icon)) &&
        icon) {
        return icon;
    }
    return static_cast<HICON>(
        ::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

} // namespace

HICON IconAtSize(WORD id, int size) {
    // Shared icons come in one size per resource; monitors of different scales need several.
    // Only the main thread shows icons.
    static std::map<std::pair<WORD, int>, UniqueHicon> loaded;
    const auto key = std::make_pair(id, size);
    if (const auto found = loaded.find(key); found != loaded.end()) {
        return found->second.get();
    }
    UniqueHicon icon(LoadAtSize(id, size));
    const HICON result = icon.get();
    if (result) {
        loaded.emplace(key, std::move(icon));
    }
    return result;
}

HICON LoadSmallIcon(WORD id, HWND window) {
    return IconAtSize(id, SystemMetricForDpi(SM_CXSMICON, WindowDpi(window)));
}

void SetButtonIcon(HWND dialog, int controlId, WORD iconId) {
    const HWND button = ::GetDlgItem(dialog, controlId);
    // Square at the small-icon width, whatever the height metric says.
    const HICON icon = LoadSmallIcon(iconId, dialog);
    if (!button || !icon) {
        return;
    }
    if (!isVistaOrLater) {
        ::SetWindowLongPtrW(button, GWL_STYLE, ::GetWindowLongPtrW(button, GWL_STYLE) | BS_ICON);
    }
    ::SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}
