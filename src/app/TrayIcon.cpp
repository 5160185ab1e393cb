#include "app/TrayIcon.h"

#include "app/PanelDialog.h"
#include "app/TrayRules.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"
#include "ui/Localization.h"
#include "ui/SmallIcons.h"
#include "ui/TrayMenu.h"
#include "ui/framework/Dpi.h"
#include "ui/framework/DpiRules.h"

#include "resource.h"

#include <cwchar>

NOTIFYICONDATAW trayIconData{};
std::array<HICON, 9> trayIcons{};

namespace {

constexpr DWORD kTrayIconDataSize = 976; // the Vista-and-later record
static_assert(sizeof(NOTIFYICONDATAW) == kTrayIconDataSize);
constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
constexpr UINT kLastAddAttemptId = 9;
constexpr DWORD kAddRetryDelayMs = 1000;
constexpr DWORD kBalloonFlags = NIIF_USER | NIIF_LARGE_ICON | NIIF_RESPECT_QUIET_TIME;
constexpr UINT kBalloonTimeoutMs = 10000;
constexpr int kMenuIconSize = 16;

// The menu opens at the tray, on the primary monitor.
int MenuIconSize() {
    return ScaleForDpi(kMenuIconSize, SystemDpi());
}

HICON IconForPercent(uint32_t percent) {
    return trayIcons[TrayLevelForPercent(percent)];
}

// Copies as much of `text` as fits, always terminated: a translation longer than the
// record's field must not run past it.
template <size_t Size> void CopyText(wchar_t (&field)[Size], const wchar_t* text) {
    std::wcsncpy(field, text, Size - 1);
    field[Size - 1] = L'\0';
}

void SetItemText(HMENU menu, UINT id, const wchar_t* text) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text);
    ::SetMenuItemInfoW(menu, id, FALSE, &info);
}

void SetItemChecked(HMENU menu, UINT id, bool checked) {
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Before Vista a menu item cannot show an icon itself: every item is drawn by its owner.
void UseOwnerDrawnIcons(HMENU menu) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU nested = ::GetSubMenu(menu, i)) {
            UseOwnerDrawnIcons(nested);
        }
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        info.fMask = MIIM_DATA | MIIM_BITMAP;
        info.dwItemData = info.wID;
        info.hbmpItem = HBMMENU_CALLBACK;
        ::SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    }
}

} // namespace

void LoadTrayIcons() {
    // The notification area shows small icons at the primary monitor's scale.
    const int size = SystemMetricForDpi(SM_CXSMICON, SystemDpi());
    for (size_t level = 0; level < trayIcons.size(); ++level) {
        const WORD id = level == 0 ? IDI_ORVALUX : static_cast<WORD>(IDI_TRAY_LEVEL_BASE + level);
        trayIcons[level] = IconAtSize(id, size);
    }
}

void AddTrayIcon(HWND panel) {
    SetDialogIcons(panel);
    trayIconData = NOTIFYICONDATAW{};
    trayIconData.cbSize = kTrayIconDataSize;
    trayIconData.hWnd = panel;
    trayIconData.uFlags = kIconFlags;
    trayIconData.uCallbackMessage = kTrayCallbackMessage;
    trayIconData.hIcon = IconForPercent(ReferencePercent(MonitorParameter::Brightness));
    CopyText(trayIconData.szTip, L"Orvalux");

    // The shell may not be ready yet early in a session; each attempt takes the next id.
    bool added = false;
    for (trayIconData.uID = 1; trayIconData.uID <= kLastAddAttemptId; ++trayIconData.uID) {
        if (::Shell_NotifyIconW(NIM_ADD, &trayIconData)) {
            added = true;
            break;
        }
        ::Sleep(kAddRetryDelayMs);
    }
    if (!added) {
        return; // until the shell announces "TaskbarCreated"
    }
    if (isVistaOrLater) {
        trayIconData.uVersion = NOTIFYICON_VERSION_4;
        ::Shell_NotifyIconW(NIM_SETVERSION, &trayIconData);
    }
    trayIconData.hIcon = IconForPercent(ReferencePercent(MonitorParameter::Brightness));
    ::Shell_NotifyIconW(NIM_MODIFY, &trayIconData);
}

void SetTrayLevel(uint32_t percent) {
    // A drag sends many values for few levels, and each change is a call into the shell.
    const HICON icon = IconForPercent(percent);
    if (icon == trayIconData.hIcon) {
        return;
    }
    trayIconData.hIcon = icon;
    ::Shell_NotifyIconW(NIM_MODIFY, &trayIconData);
}

void RemoveTrayIcon() {
    ::Shell_NotifyIconW(NIM_DELETE, &trayIconData);
}

void ShowUpdateBalloon() {
    trayIconData.uFlags |= NIF_INFO;
    CopyText(trayIconData.szInfo, LoadText(kUpdateAvailableTextId));
    CopyText(trayIconData.szInfoTitle, L"Orvalux");
    trayIconData.dwInfoFlags = kBalloonFlags;
    trayIconData.uTimeout = kBalloonTimeoutMs;
    const HICON picture = IconAtSize(IDI_CHECK_FOR_UPDATES, SystemMetricForDpi(SM_CXICON, SystemDpi()));
    if (isVistaOrLater) {
        trayIconData.hBalloonIcon = picture;
    } else {
        trayIconData.hIcon = picture; // until the next level change
    }
    ::Shell_NotifyIconW(NIM_MODIFY, &trayIconData);
    trayIconData.uFlags &= ~static_cast<UINT>(NIF_INFO); // later changes must not repeat it
}

void ShowTrayMenu(HWND panel, bool updateAvailable, bool checkForUpdatesEnabled) {
    const UniqueHmenu menu = LoadTrayMenu();
    const HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) {
        return;
    }
    SetItemChecked(popup, IDM_START_WITH_WINDOWS, IsStartWithWindowsOn());
    SetItemText(popup, IDM_CHECK_FOR_UPDATES,
                LoadText(updateAvailable ? kUpdateWaitingTextId : kCheckForUpdatesTextId));
    SetItemChecked(popup, IDM_CHECK_FOR_UPDATES, !updateAvailable && checkForUpdatesEnabled);
    if (!isVistaOrLater) {
        UseOwnerDrawnIcons(popup);
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // The menu closes when the user clicks elsewhere only if its owner is in the foreground.
    ::SetForegroundWindow(panel);
    const UINT alignment = ::GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    ::TrackPopupMenuEx(popup, TPM_RIGHTBUTTON | alignment, cursor.x, cursor.y, panel, nullptr);
    ::PostMessageW(panel, WM_NULL, 0, 0);
}

INT_PTR MeasureMenuItem(MEASUREITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU) {
        return E_FAIL;
    }
    item.itemWidth += 2;
    const auto size = static_cast<UINT>(MenuIconSize());
    if (item.itemHeight < size) {
        item.itemHeight = size;
    }
    return 0;
}

INT_PTR DrawMenuItem(const DRAWITEMSTRUCT& item) {
    const int size = MenuIconSize();
    if (const HICON icon = IconAtSize(static_cast<WORD>(item.itemData), size)) {
        ::DrawIconEx(item.hDC, item.rcItem.left - size,
                     item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - size) / 2, icon, 0, 0, 0,
                     nullptr, DI_NORMAL);
    }
    return 1;
}
