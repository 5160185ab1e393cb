// Shows the hotkey dialog and the tray menu exactly as stored for one language, so a
// reviewer can see translations and fonts without running the whole program:
//
//     resource_viewer.exe [--as-program] LANGUAGE-ID [READY-FILE CLOSE-FILE]
//
// A language without a copy of its own is reported, never shown from another language.
// With --as-program the copy is chosen as the program chooses it: 0 is the user's UI
// language, and a language without a copy gets the user default's (the language used is
// printed). The dialog opens at the top left of the screen with its icons, and the tray
// menu drops down beside it with its item images. Once the menu is up, READY-FILE is
// written; the viewer closes when CLOSE-FILE appears, or after a minute.
#include "resource.h"
#include "ui/ResourceLookup.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kPollMilliseconds = 200;
constexpr UINT kGiveUpMilliseconds = 60000;

struct Viewer {
    std::wstring readyFile;
    std::wstring closeFile;
    bool readyWritten = false;
    DWORD startTick = GetTickCount();
    std::vector<HBITMAP> itemBitmaps;
    bool asProgram = false;
};

Viewer viewer;

std::span<const std::byte> StoredResource(const wchar_t* type, unsigned id, LANGID language) {
    const auto found =
        viewer.asProgram ? FindResourceForLanguage(nullptr, type, id, language, MissingLanguage::UserDefault)
                         : FindExactResource(nullptr, type, id, language);
    if (!found) {
        return {};
    }
    if (viewer.asProgram) {
        std::wprintf(L"resource %u for language %u: shown from language %u\n", id, language,
                     found->languageId);
    }
    return found->data;
}

HICON SmallIcon(unsigned id) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}

// The same picture the program puts on a menu item: the icon on the menu colour.
HBITMAP MenuBitmap(unsigned id) {
    HICON icon = SmallIcon(id);
    if (icon == nullptr) {
        return nullptr;
    }
    const int size = GetSystemMetrics(SM_CXSMICON);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RECT area{0, 0, size, size};
    FillRect(memory, &area, GetSysColorBrush(COLOR_MENU));
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void DecorateHotkeyDialog(HWND dialog) {
    const std::pair<int, unsigned> marks[] = {{IDC_MONITOR_OFF_MARK, IDI_HOTKEY_MONITOR_OFF},
                                              {IDC_BRIGHTNESS_UP_MARK, IDI_HOTKEY_BRIGHTNESS_UP},
                                              {IDC_BRIGHTNESS_DOWN_MARK, IDI_HOTKEY_BRIGHTNESS_DOWN},
                                              {IDC_CONTRAST_UP_MARK, IDI_HOTKEY_CONTRAST_UP},
                                              {IDC_CONTRAST_DOWN_MARK, IDI_HOTKEY_CONTRAST_DOWN}};
    for (auto [control, icon] : marks) {
        SendDlgItemMessageW(dialog, control, STM_SETICON, reinterpret_cast<WPARAM>(SmallIcon(icon)), 0);
        ShowWindow(GetDlgItem(dialog, control), SW_SHOW);
    }
    const std::pair<int, unsigned> buttons[] = {
        {IDC_INCREMENT, IDI_INCREMENT}, {IDOK, IDI_OK}, {IDCANCEL, IDI_CANCEL}};
    for (auto [control, icon] : buttons) {
        SendDlgItemMessageW(dialog, control, BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(SmallIcon(icon)));
    }
    SetDlgItemTextW(dialog, IDC_INCREMENT, L"10");
    SendDlgItemMessageW(dialog, IDC_BRIGHTNESS_UP_HOTKEY, HKM_SETHOTKEY,
                        MAKEWORD(VK_UP, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallIcon(IDI_ORVALUX)));
}

bool FileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteReadyFile() {
    if (viewer.readyWritten || viewer.readyFile.empty()) {
        return;
    }
    viewer.readyWritten = true;
    HANDLE file = CreateFileW(viewer.readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
}

INT_PTR CALLBACK ViewerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
    switch (message) {
    case WM_INITDIALOG:
        DecorateHotkeyDialog(dialog);
        SetTimer(dialog, kCloseTimer, kPollMilliseconds, nullptr);
        return TRUE;
    case WM_ENTERIDLE:
        // The menu is on screen and waiting for input: the moment for a screenshot.
        if (wParam == MSGF_MENU) {
            WriteReadyFile();
        }
        return TRUE;
    case WM_TIMER:
        if (FileExists(viewer.closeFile) || GetTickCount() - viewer.startTick > kGiveUpMilliseconds) {
            KillTimer(dialog, kCloseTimer);
            EndMenu();
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

HMENU LoadMenuInLanguage(LANGID language) {
    const auto bytes = StoredResource(RT_MENU, IDR_TRAY_MENU, language);
    if (bytes.empty()) {
        return nullptr;
    }
    HMENU menu = LoadMenuIndirectW(bytes.data());
    HMENU popup = menu != nullptr ? GetSubMenu(menu, 0) : nullptr;
    for (int index = 0; popup != nullptr && index < GetMenuItemCount(popup); ++index) {
        const UINT command = GetMenuItemID(popup, index);
        if (command == 0 || command == static_cast<UINT>(-1)) {
            continue;
        }
        if (HBITMAP bitmap = MenuBitmap(command)) {
            viewer.itemBitmaps.push_back(bitmap);
            MENUITEMINFOW item{};
            item.cbSize = sizeof(item);
            item.fMask = MIIM_BITMAP;
            item.hbmpItem = bitmap;
            SetMenuItemInfoW(popup, index, TRUE, &item);
        }
    }
    return menu;
}

} // namespace

int wmain(int argumentCount, wchar_t** arguments) {
    if (argumentCount > 1 && std::wcscmp(arguments[1], L"--as-program") == 0) {
        viewer.asProgram = true;
        --argumentCount;
        ++arguments;
    }
    if (argumentCount != 2 && argumentCount != 4) {
        std::fwprintf(stderr, L"usage: resource_viewer [--as-program] LANGUAGE-ID [READY-FILE CLOSE-FILE]\n");
        return 2;
    }
    auto language = static_cast<LANGID>(std::wcstoul(arguments[1], nullptr, 0));
    if (viewer.asProgram && language == 0) {
        language = GetUserDefaultUILanguage();
    }
    if (argumentCount == 4) {
        viewer.readyFile = arguments[2];
        viewer.closeFile = arguments[3];
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_BAR_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const auto dialogBytes = StoredResource(RT_DIALOG, IDD_HOTKEYS, language);
    if (dialogBytes.empty()) {
        std::fwprintf(stderr, L"dialog %d has no copy for language %u\n", IDD_HOTKEYS, language);
        return 1;
    }
    HWND dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(dialogBytes.data()),
                                             nullptr, ViewerDialogProc, 0);
    if (dialog == nullptr) {
        std::fwprintf(stderr, L"dialog %d could not be created\n", IDD_HOTKEYS);
        return 1;
    }
    SetWindowPos(dialog, HWND_TOP, 24, 24, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(dialog);

    HMENU menu = LoadMenuInLanguage(language);
    if (menu == nullptr) {
        std::fwprintf(stderr, L"menu %d has no copy for language %u\n", IDR_TRAY_MENU, language);
        DestroyWindow(dialog);
        return 1;
    }
    RECT frame{};
    GetWindowRect(dialog, &frame);
    SetForegroundWindow(dialog);
    TrackPopupMenuEx(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, frame.right + 24, frame.top,
                     dialog, nullptr);
    DestroyMenu(menu);
    for (HBITMAP bitmap : viewer.itemBitmaps) {
        DeleteObject(bitmap);
    }

    MSG message;
    while (IsWindow(dialog) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
