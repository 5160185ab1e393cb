#include "ui/TrayLocator.h"

#include "common/ForeignWindow.h"
#include "common/UniqueResource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <optional>
#include <string>

uint32_t trayProbeState = 0;

namespace {

// A few bytes in another process, released with it.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size)
        : process_(process),
          address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_) {
            ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* get() const { return address_; }

private:
    HANDLE process_;
    void* address_;
};

// The first descendant of `parent` whose class is exactly `className`.
HWND FindDescendant(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            wchar_t name[256] = {};
            ::GetClassNameW(window, name, 256);
            if (std::wcscmp(name, s.className) == 0) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The shell's own answer for one icon, from Windows 7 on; looked up at run time.
bool AskTheShell(HWND iconWindow, UINT iconId, RECT& rect) {
    using GetRectFunction = HRESULT(WINAPI*)(const NOTIFYICONIDENTIFIER*, RECT*);
    // Normally loaded already for the icon itself; otherwise only the system's own copy.
    UniqueHmodule loaded;
    HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
    if (!shell) {
        loaded.reset(::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        shell = loaded.get();
    }
    const auto getRect = shell ? reinterpret_cast<GetRectFunction>(reinterpret_cast<void*>(
                                     ::GetProcAddress(shell, "Shell_NotifyIconGetRect")))
                               : nullptr;
    if (!getRect) {
        return false;
    }
    NOTIFYICONIDENTIFIER identifier{};
    identifier.cbSize = sizeof(identifier);
    identifier.hWnd = iconWindow;
    identifier.uID = iconId;
    RECT found{};
    if (getRect(&identifier, &found) != S_OK) {
        return false;
    }
    rect = found;
    return true;
}

} // namespace

HWND FindTrayToolbarIn(HWND taskbar) {
    if (!taskbar) {
        return nullptr;
    }
    const HWND notificationArea = FindDescendant(taskbar, L"TrayNotifyWnd");
    if (!notificationArea) {
        return nullptr;
    }
    if (::IsWindow(notificationArea)) {
        if (const HWND toolbar = FindDescendant(notificationArea, L"ToolbarWindow32")) {
            return toolbar;
        }
    }
    return notificationArea;
}

HWND FindTrayToolbar() {
    return FindTrayToolbarIn(::FindWindowW(L"Shell_TrayWnd", nullptr));
}

bool LocateTrayIcon(HWND iconWindow, UINT iconId, RECT& rect) {
    // The toolbar walk cannot work where the notification area has no toolbar (Windows 11).
    return AskTheShell(iconWindow, iconId, rect) || LocateTrayIconInToolbar(FindTrayToolbar(), rect);
}

bool LocateTrayIconInToolbar(HWND toolbar, RECT& rect) {
    if (!toolbar) {
        return false;
    }
    DWORD shellProcessId = 0;
    ::GetWindowThreadProcessId(toolbar, &shellProcessId);
    if (shellProcessId == 0) {
        return false;
    }
    // The shell may hang: every probe is bounded, and one that gets no answer ends the search.
    const std::optional<LRESULT> answeredCount = SendToForeignWindow(toolbar, TB_BUTTONCOUNT, 0, 0);
    const int count = answeredCount ? static_cast<int>(*answeredCount) : 0;
    if (count <= 0) {
        return false;
    }
    // Only what the probe needs: the shell writes the rectangle, we allocate and read it.
    const UniqueHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, shellProcessId));
    if (!process) {
        return false;
    }
    const RemoteBuffer remote(process.get(), sizeof(RECT));
    if (!remote.get()) {
        return false;
    }
    for (int button = 0; button < count; ++button) {
        const std::optional<LRESULT> written = SendToForeignWindow(
            toolbar, TB_GETITEMRECT, static_cast<WPARAM>(button), reinterpret_cast<LPARAM>(remote.get()));
        if (!written) {
            return false;
        }
        if (!*written) {
            continue;
        }
        RECT found{};
        SIZE_T read = 0;
        if (!::ReadProcessMemory(process.get(), remote.get(), &found, sizeof(found), &read) ||
            read < sizeof(found)) {
            continue;
        }
        // The program's own tray callback turns 1 into 2 when the move reaches its icon.
        trayProbeState = 1;
        if (!SendToForeignWindow(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(found.left, found.top))) {
            trayProbeState = 0;
            return false;
        }
        if (trayProbeState == 2) {
            trayProbeState = 0;
            POINT corners[2] = {{found.left, found.top}, {found.right, found.bottom}};
            ::ClientToScreen(toolbar, &corners[0]);
            ::ClientToScreen(toolbar, &corners[1]);
            rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
            return true;
        }
        trayProbeState = 0;
    }
    return false;
}
