#include "ui/SmallIcons.h"

#include "ui/Localization.h"

HICON LoadSmallIcon(WORD id) {
    return static_cast<HICON>(::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                           LR_SHARED));
}

void SetButtonIcon(HWND dialog, int controlId, WORD iconId) {
    const HWND button = ::GetDlgItem(dialog, controlId);
    // Square at the small-icon width, whatever the height metric says.
    const HANDLE icon =
        ::LoadImageW(ResourceModule(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                     ::GetSystemMetrics(SM_CXSMICON), LR_SHARED);
    if (!button || !icon) {
        return;
    }
    if (!isVistaOrLater) {
        ::SetWindowLongPtrW(button, GWL_STYLE, ::GetWindowLongPtrW(button, GWL_STYLE) | BS_ICON);
    }
    ::SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}
