#include "app/PanelDialog.h"

#include "app/Application.h"
#include "app/Hotkeys.h"
#include "app/MonitorOffThread.h"
#include "app/PanelRules.h"
#include "app/RemoteCommand.h"
#include "app/TrayIcon.h"
#include "app/TrayRules.h"
#include "common/Settings.h"
#include "monitor/CommandDispatcher.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/SettingsStore.h"
#include "ui/Localization.h"
#include "ui/ScaledPictures.h"
#include "ui/SmallIcons.h"
#include "ui/Tooltips.h"
#include "ui/TrayLocator.h"
#include "ui/framework/Dpi.h"
#include "update/UpdateCheck.h"
#include "update/UpdateRules.h"

#include "resource.h"

#include <objidl.h> // before gdiplus.h, which needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>
#include <wtsapi32.h>

#include <windowsx.h>

#include <algorithm>
#include <optional>

PanelDialog panelDialog;

namespace {

// GUID_MONITOR_POWER_ON, spelled out: older MinGW headers lack it.
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};

struct SliderDescription {
    int controlId;
    int iconHolderId;
    MonitorParameter parameter;
    int maximum;
    int pageStep;
    uint32_t color1;
    uint32_t color2;
    WORD iconId;
};

// In panel order: brightness, contrast, colour temperature, red, green, blue.
constexpr std::array<SliderDescription, kPanelSliderCount> kSliders = {{
    {IDC_BRIGHTNESS_SLIDER, IDC_BRIGHTNESS_ICON, MonitorParameter::Brightness, 100, 10, 0xFFFFFF32,
     0xFFFFFFFF, IDI_BRIGHTNESS},
    {IDC_CONTRAST_SLIDER, IDC_CONTRAST_ICON, MonitorParameter::Contrast, 100, 10, 0xFFF5F5F5, 0xFFFFFFFF,
     IDI_CONTRAST},
    {IDC_COLOR_TEMPERATURE_SLIDER, IDC_COLOR_TEMPERATURE_ICON, MonitorParameter::ColorTemperature, 8, 1,
     0xFFA699F1, 0xFFF199A6, IDI_COLOR_TEMPERATURE},
    {IDC_RED_SLIDER, IDC_RED_ICON, MonitorParameter::GainRed, 100, 10, 0xFFEA0000, 0xFFFFFFFF, IDI_RED_GAIN},
    {IDC_GREEN_SLIDER, IDC_GREEN_ICON, MonitorParameter::GainGreen, 100, 10, 0xFF00EA00, 0xFFFFFFFF,
     IDI_GREEN_GAIN},
    {IDC_BLUE_SLIDER, IDC_BLUE_ICON, MonitorParameter::GainBlue, 100, 10, 0xFF0000EA, 0xFFFFFFFF,
     IDI_BLUE_GAIN},
}};

int SliderIndexOf(int controlId) {
    for (int i = 0; i < kPanelSliderCount; ++i) {
        if (kSliders[i].controlId == controlId) {
            return i;
        }
    }
    return -1;
}

uint32_t ReferenceValue(MonitorParameter parameter) {
    return parameter == MonitorParameter::ColorTemperature ? ReferenceColorTemperature()
                                                           : ReferencePercent(parameter);
}

} // namespace

PanelDialog::PanelDialog() = default;
PanelDialog::~PanelDialog() = default;

UINT PanelDialog::GetTemplateId() const {
    return IDD_PANEL;
}

HWND PanelDialog::Create() {
    const HWND previous = window;
    // Known before the new window's OnInitDialog, which registers what lasts with it.
    if (previous && !firstWindow) {
        firstWindow = previous;
    }
    const HWND created = ::CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(GetTemplateId()), nullptr,
                                              &SharedDialogProcedure, reinterpret_cast<LPARAM>(this));
    if (!created) {
        window = previous;
        return nullptr;
    }
    if (previous && previous != firstWindow) {
        ::DestroyWindow(previous);
    }
    return created;
}

void PanelDialog::Destroy() {
    if (window) {
        ::DestroyWindow(window);
    }
    if (firstWindow) {
        ::DestroyWindow(firstWindow);
    }
    window = nullptr;
    firstWindow = nullptr;
    titleImage.reset(); // a GDI+ object: gone before GDI+ shuts down
    ForgetHeaderPictures();
}

// The panel's message table.
INT_PTR PanelDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CDlgWnd::DialogProc(dialog, message, wParam, lParam);

    if (message == monitorOffMessage && monitorOffMessage != 0) {
        // The broadcast reaches the first panel window too; one answer is enough.
        if (dialog == window) {
            StartMonitorOff();
        }
        return 0;
    }
    if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
        // The shell restarted. Every panel window hears it; the icon is added once, for
        // the window that receives its callbacks.
        if (dialog == trayIconData.hWnd || !trayIconData.hWnd) {
            AddTrayIcon(dialog);
        }
        return 0;
    }
    switch (message) {
    case WM_DISPLAYCHANGE:
        // One rebuild per burst: a change that arrives while a rebuild is already due
        // (the teardown dispatches messages) must not leave a second quit request behind,
        // which would end the next pass's loop as if the user had chosen Exit.
        if (!rebuildRequested) {
            rebuildRequested = true;
            ::PostQuitMessage(0);
        }
        return 1;
    case WM_DESTROY:
        HandleDestroy(dialog);
        return 1;
    case WM_ACTIVATE:
        HandleActivate(wParam, lParam);
        return 1;
    case WM_CLOSE:
        RequestExit();
        return 1;
    case WM_SETCURSOR:
        // No sizing cursor on the thick frame: the panel is sized by its expand button.
        if (LOWORD(lParam) >= HTLEFT && LOWORD(lParam) <= HTBORDER) {
            return SetDialogResult(dialog, TRUE); // handled: nothing further sets a cursor
        }
        return FALSE;
    case WM_MEASUREITEM:
        return MeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
        return DrawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_NOTIFY:
        return HandleNotify(dialog, reinterpret_cast<NMHDR*>(lParam));
    case WM_POWERBROADCAST:
        HandlePowerBroadcast(wParam, lParam);
        return 0;
    case WM_COMMAND:
        return HandleCommand(wParam, lParam);
    case WM_TIMER:
        HandleTimer(dialog, wParam);
        return 1;
    case WM_VSCROLL:
        return HandleScroll(wParam, reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_WINDOW));
    case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_CONSOLE_CONNECT || wParam == WTS_SESSION_UNLOCK) {
            RequestReapply();
        }
        return 1;
    case WM_HOTKEY:
        return HandleHotkey(wParam);
    case WM_COPYDATA:
        return SetDialogResult(dialog,
                               AcceptRemoteCommand(dialog, reinterpret_cast<const COPYDATASTRUCT*>(lParam)));
    case kRunRemoteCommandsMessage:
        RunRemoteCommands();
        return 1;
    case kCommandValueShownMessage:
        // Any program may post it: only what a command could have sent is shown.
        if (wParam >= kFirstParameterCode && wParam <= kLastParameterCode && lParam >= 0 && lParam <= 100) {
            ShowValue(static_cast<MonitorParameter>(wParam), static_cast<uint32_t>(lParam));
        }
        return 1;
    case kTrayCallbackMessage:
        HandleTrayCallback(wParam, lParam);
        return SetDialogResult(dialog, 1);
    case kUpdateCheckDoneMessage:
        FinishUpdateCheck(static_cast<int>(wParam));
        return 1;
    default:
        return 0;
    }
}

INT_PTR PanelDialog::OnInitDialog(WPARAM, LPARAM) {
    // The template asks for a layered window, which is never drawn without layered
    // attributes: fully opaque it is an ordinary panel on every Windows version.
    ::SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);

    updateParams = ProgramUpdateParams();
    checkForUpdatesEnabled = 0;
    ReadSettingDword(L"CheckForUpdates", checkForUpdatesEnabled);
    if (window == LastingWindow()) {
        // One hourly check for the process, on the window that lives through rebuilds.
        ::SetTimer(window, kUpdateCheckTimerId, kUpdateCheckPeriodMs, nullptr);
    }
    taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");
    monitorOffMessage = ::RegisterWindowMessageW(kMonitorOffMessageName);
    ::WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION);
    if (const HPOWERNOTIFY registration =
            ::RegisterPowerSettingNotification(window, &kMonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE)) {
        powerNotifications.emplace_back(window, registration);
    }
    AttachSliders();
    SetButtonImages();
    SyncSliders();
    SetSliderIcons();
    frameMargins = MARGINS{1, 1, 1, 1};
    uint32_t storedExpand = 0;
    ReadSettingDword(L"Expand", storedExpand);
    expandLevel = ExpandLevelFromStored(storedExpand);
    LayoutPanel();
    LoadTitleImage();
    CreateTooltips(window);
    // With the window that lives through rebuilds: one destroyed by a later rebuild would
    // take its combinations with it. Failures stay silent at start.
    RegisterStoredHotkeys(LastingWindow());
    return 0; // the panel takes no focus when created
}

void PanelDialog::AttachSliders() {
    for (int i = 0; i < kPanelSliderCount; ++i) {
        const SliderDescription& slider = kSliders[i];
        sliders[i].Attach(::GetDlgItem(window, slider.controlId), 0, slider.maximum, 1, slider.pageStep,
                          slider.color1, slider.color2, true);
    }
}

void PanelDialog::ShowLanguageFlag() {
    // The button does not own its picture: the panel keeps it until the next one is set.
    UniqueHbitmap flag = LoadFlagBitmap(languageIndex, WindowDpi(window));
    ::SendDlgItemMessageW(window, IDC_LANGUAGE, BM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(flag.get()));
    languageFlag = std::move(flag);
}

void PanelDialog::SetButtonImages() {
    ShowLanguageFlag();
    SetButtonIcon(window, IDC_REAPPLY_DELAY, IDI_REAPPLY_DELAY);
    SetButtonIcon(window, IDC_HOTKEYS, IDI_HOTKEYS);
    SetButtonIcon(window, IDC_FACTORY_RESET, IDI_FACTORY_RESET);
}

void PanelDialog::SetSliderIcons() {
    for (const SliderDescription& slider : kSliders) {
        const HWND holder = ::GetDlgItem(window, slider.iconHolderId);
        ::SendMessageW(holder, STM_SETICON, reinterpret_cast<WPARAM>(LoadSmallIcon(slider.iconId, window)),
                       0);
        ::ShowWindow(holder, SW_HIDE);
    }
}

void PanelDialog::SyncSliders() {
    if (displayMonitors.empty()) {
        return;
    }
    for (int i = 0; i < kPanelSliderCount; ++i) {
        sliders[i].SetLogicalPosition(static_cast<int>(ReferenceValue(kSliders[i].parameter)));
    }
    for (DisplayMonitor* display : displayMonitors) {
        // A display whose monitors never told their brightness, or that has none, has no
        // level to keep: its stand-in 100 would overwrite the user's stored brightness.
        if (display->HasRange(MonitorParameter::Brightness)) {
            display->SetBrightness(display->BrightnessPercent());
        }
    }
}

INT_PTR PanelDialog::HandleScroll(WPARAM wParam, HWND trackbar) {
    if (!IsSliderMoveCode(LOWORD(wParam))) {
        return 0; // the release sends nothing more
    }
    const int index = trackbar ? SliderIndexOf(::GetDlgCtrlID(trackbar)) : -1;
    if (index < 0) {
        return 0;
    }
    // A drag reports the position itself, and the range is the one the slider was given:
    // asking the trackbar would cost the main thread three sent messages per move.
    const auto raw = LOWORD(wParam) == TB_THUMBTRACK
                         ? static_cast<int>(static_cast<short>(HIWORD(wParam)))
                         : static_cast<int>(::SendMessageW(trackbar, TBM_GETPOS, 0, 0));
    const int minimum = 0;
    const int maximum = kSliders[static_cast<size_t>(index)].maximum;
    const int logical = std::clamp(maximum - raw + minimum, 0, std::max(maximum, 0));
    const MonitorParameter parameter = kSliders[index].parameter;

    uint32_t value = 0;
    if (parameter == MonitorParameter::ColorTemperature) {
        value = displayMonitors.empty()
                    ? static_cast<uint32_t>(logical)
                    : displayMonitors.front()->NearestColorTemperature(static_cast<uint32_t>(logical));
        if (value != static_cast<uint32_t>(logical)) {
            sliders[index].SetLogicalPosition(static_cast<int>(value));
        }
    } else {
        value = maximum > 0 ? static_cast<uint32_t>(logical * 100 / maximum) : 0;
    }
    commandDispatcher.PostCommand(MonitorCommand{static_cast<uint32_t>(parameter), value});
    if (parameter == MonitorParameter::Brightness) {
        SetTrayLevel(value);
    }
    return 1;
}

void PanelDialog::ShowValue(MonitorParameter parameter, uint32_t value) {
    for (int i = 0; i < kPanelSliderCount; ++i) {
        if (kSliders[i].parameter == parameter) {
            sliders[i].SetLogicalPosition(static_cast<int>(value));
        }
    }
    if (parameter == MonitorParameter::Brightness) {
        SetTrayLevel(value);
    }
}

INT_PTR PanelDialog::HandleNotify(HWND dialog, NMHDR* notification) {
    if (!notification) {
        return 0;
    }
    if (notification->code == TTN_GETDISPINFOW) {
        return HandleTooltipNotify(notification) ? 1 : 0;
    }
    return ForwardCustomDraw(dialog, notification) ? 1 : 0;
}

void PanelDialog::RequestReapply() {
    // A live timer is re-armed: a new request restarts the delay.
    ::SetTimer(window, kReapplyTimerId, settingsTimeout, nullptr);
}

void PanelDialog::HandleTimer(HWND dialog, UINT_PTR id) {
    // Killed on the window it came from: one armed on the first window while a rebuild
    // was under way would otherwise fire for ever.
    switch (id) {
    case kReapplyTimerId:
        ::KillTimer(dialog, kReapplyTimerId);
        ReapplyMonitorValues();
        break;
    case kShowPanelTimerId:
        ::KillTimer(dialog, kShowPanelTimerId);
        ShowPanelAt(lastTrayClick.x, lastTrayClick.y, SW_SHOW);
        break;
    case kUpdateCheckTimerId:
        RunUpdateCheck();
        break;
    default:
        break;
    }
}

void PanelDialog::RunUpdateCheck() {
    if (updateCheckBusy || updateAvailable) {
        return;
    }
    updateCheckBusy = true;
    // The check runs away from this thread; its end arrives as kUpdateCheckDoneMessage.
    if (!IsUpdateCheckDue(checkForUpdatesEnabled != 0, updateAvailable, ReadLastCheckForUpdate(),
                          LocalFileTimeNow()) ||
        !quietUpdateCheck.Start(window, kUpdateCheckDoneMessage, updateParams)) {
        updateCheckBusy = false;
    }
}

void PanelDialog::FinishUpdateCheck(int result) {
    updateCheckBusy = false;
    if (result == kUpdateAvailable) {
        updateAvailable = true;
        ShowUpdateBalloon();
    }
}

void PanelDialog::StopUpdateCheck() {
    quietUpdateCheck.Stop();
    updateCheckBusy = false;
}

void PanelDialog::HandlePowerBroadcast(WPARAM event, LPARAM data) {
    if (event == PBT_APMRESUMEAUTOMATIC) {
        RequestReapply();
        return;
    }
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (event != PBT_POWERSETTINGCHANGE || !setting ||
        !::IsEqualGUID(setting->PowerSetting, kMonitorPowerOn)) {
        return;
    }
    if (firstMonitorPowerNotification) {
        // The system sends the present state right after the registration.
        firstMonitorPowerNotification = false;
        return;
    }
    DWORD monitorOn = 0;
    if (setting->DataLength >= sizeof(monitorOn)) {
        std::copy_n(setting->Data, sizeof(monitorOn), reinterpret_cast<UCHAR*>(&monitorOn));
    }
    if (monitorOn != 0) {
        RequestReapply();
    }
}

void PanelDialog::HandleActivate(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != WA_INACTIVE) {
        ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
        return;
    }
    // The panel stays while one of the program's own windows takes over.
    const HWND other = reinterpret_cast<HWND>(lParam);
    if (other && (other == window || ::GetParent(other) == window || CWnd::FromWindow(other))) {
        return;
    }
    ::ShowWindow(window, SW_HIDE);
}

void PanelDialog::HandleDestroy(HWND dialog) {
    if (dialog == window) {
        titleImage.reset(); // the newest window's; an older one never painted it
    }
    ::WTSUnRegisterSessionNotification(dialog);
    const auto registration = std::find_if(powerNotifications.begin(), powerNotifications.end(),
                                           [dialog](const auto& entry) { return entry.first == dialog; });
    if (registration != powerNotifications.end()) {
        ::UnregisterPowerSettingNotification(registration->second);
        powerNotifications.erase(registration);
    }
}

void PanelDialog::HandleTrayCallback(WPARAM anchor, LPARAM event) {
    // Version 4 callbacks: the event in the low word, the icon's anchor point in wParam.
    const POINT point{GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)};
    switch (LOWORD(event)) {
    case WM_LBUTTONDOWN:
        // A single click opens the panel only once it cannot be a double click any more.
        lastTrayClick = point;
        ::SetTimer(window, kShowPanelTimerId, ::GetDoubleClickTime(), nullptr);
        break;
    case WM_LBUTTONDBLCLK:
        ::KillTimer(window, kShowPanelTimerId);
        if (IsWithinDoubleClickDistance(IntPoint{lastTrayClick.x, lastTrayClick.y},
                                        IntPoint{point.x, point.y}, ::GetSystemMetrics(SM_CXDOUBLECLK),
                                        ::GetSystemMetrics(SM_CYDOUBLECLK))) {
            StartMonitorOff();
        }
        break;
    case WM_MBUTTONDOWN:
        ShowPanelAt(point.x, point.y, SW_SHOW);
        break;
    case WM_RBUTTONDOWN:
    case WM_CONTEXTMENU:
        ShowTrayMenu(window, updateAvailable, checkForUpdatesEnabled != 0);
        break;
    case WM_MOUSEMOVE:
        if (trayProbeState == 1) {
            trayProbeState = 2; // the locator's probe reached our icon
        }
        break;
    case NIN_BALLOONUSERCLICK:
        if (updateAvailable && RunUpdate(window, updateParams, false) == kUpdateInstallerStarted) {
            updateAvailable = false;
        }
        break;
    default:
        break;
    }
}

INT_PTR PanelDialog::HandleHotkey(WPARAM id) {
    if (id > static_cast<WPARAM>(kLastHotkeyId)) {
        return 0;
    }
    const auto step = [&](MonitorParameter parameter, int sliderIndex, bool up) {
        // Without a display (as during a rebuild) there is no level to step from.
        const std::optional<uint32_t> current = ReferencePercentIfAny(parameter);
        const auto next = current ? SteppedPercent(*current, hotkeyIncrement, up) : std::nullopt;
        if (!next) {
            return;
        }
        commandDispatcher.PostCommand(MonitorCommand{static_cast<uint32_t>(parameter), *next});
        if (parameter == MonitorParameter::Brightness) {
            SetTrayLevel(*next);
        }
        sliders[static_cast<size_t>(sliderIndex)].SetLogicalPosition(static_cast<int>(*next));
    };
    switch (static_cast<HotkeyId>(id)) {
    case HotkeyId::MonitorOff:
        StartMonitorOff();
        break;
    case HotkeyId::BrightnessUp:
        step(MonitorParameter::Brightness, 0, true);
        break;
    case HotkeyId::BrightnessDown:
        step(MonitorParameter::Brightness, 0, false);
        break;
    case HotkeyId::ContrastUp:
        step(MonitorParameter::Contrast, 1, true);
        break;
    case HotkeyId::ContrastDown:
        step(MonitorParameter::Contrast, 1, false);
        break;
    default:
        break;
    }
    return 1;
}
