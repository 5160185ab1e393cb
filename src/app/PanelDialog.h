#pragma once

#include "app/PanelMessages.h"
#include "app/PanelRules.h"
#include "common/GdiResources.h"
#include "monitor/MonitorParameter.h"
#include "ui/framework/CDlgWnd.h"
#include "ui/framework/CTrackSlider.h"
#include "update/QuietUpdateCheck.h"
#include "update/UpdateParams.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace Gdiplus {
class Bitmap;
}

// Timers of the panel window.
inline constexpr UINT_PTR kReapplyTimerId = 1;     // sends the remembered values again
inline constexpr UINT_PTR kShowPanelTimerId = 2;   // opens the panel after a single tray click
inline constexpr UINT_PTR kUpdateCheckTimerId = 3; // the hourly update decision
inline constexpr UINT kUpdateCheckPeriodMs = 3'600'000;

// The callback message of the tray icon.
inline constexpr UINT kTrayCallbackMessage = 4919;

// The slider panel and the controller of the resident program: every event of the
// program arrives at its dialog procedure.
class PanelDialog final : public CDlgWnd {
public:
    PanelDialog();
    ~PanelDialog() override;

    UINT GetTemplateId() const override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnPaint() override;
    // At a new scale: pictures at the new size, the button column and width laid out again.
    LRESULT OnDpiChanged(UINT dpi, const RECT& suggested) override;

    // Creates a new panel window, hidden. The first window stays alive through rebuilds
    // as the target of what was registered for it; one between the first and the newest
    // serves nothing any more and is destroyed.
    HWND Create();
    // Destroys the panel windows.
    void Destroy();
    // The window that lives through every rebuild: the first one.
    HWND LastingWindow() const { return firstWindow ? firstWindow : window; }

    // Brings the sliders in line with the reference monitor and sets every display to its
    // own present brightness again, which also stores it.
    void SyncSliders();
    // Places the panel above the point (`x`, `y`) and shows it with `showCommand`.
    void ShowPanelAt(int x, int y, int showCommand);
    // Sizes the panel for the sliders `expandLevel` shows.
    void LayoutPanel();

    // Shows a value that went to every monitor from outside the panel (a command line):
    // its slider moves, and for brightness the tray icon's level follows.
    void ShowValue(MonitorParameter parameter, uint32_t value);

    // Arms the re-apply timer with the re-apply delay: the remembered values go out again.
    void RequestReapply();
    // Ends a running quiet update check (program end, rebuild); the next tick may check again.
    void StopUpdateCheck();

    CTrackSlider& Slider(int index) { return sliders[index]; }

    uint32_t expandLevel = 0;
    uint32_t checkForUpdatesEnabled = 0;
    bool updateAvailable = false;
    POINT lastTrayClick{}; // screen point of the last tray click
    UpdateParams updateParams;

private:
    INT_PTR HandleCommand(WPARAM wParam, LPARAM lParam);
    INT_PTR HandleButton(UINT id, HWND button);
    INT_PTR HandleScroll(WPARAM wParam, HWND trackbar);
    INT_PTR HandleNotify(HWND dialog, NMHDR* notification);
    void HandleTrayCallback(WPARAM anchor, LPARAM event);
    INT_PTR HandleHotkey(WPARAM id);
    void HandleTimer(HWND dialog, UINT_PTR id);
    void HandlePowerBroadcast(WPARAM event, LPARAM data);
    void HandleActivate(WPARAM wParam, LPARAM lParam);
    void HandleDestroy(HWND dialog);
    void RunUpdateCheck();
    void FinishUpdateCheck(int result);

    void AttachSliders();
    void SetButtonImages();
    void ShowLanguageFlag();
    void ChooseLanguage(HWND button);
    void SetSliderIcons();
    void LoadTitleImage();
    void ShowAbout();
    void ToggleStartWithWindows();

    std::array<CTrackSlider, 6> sliders;
    HWND firstWindow = nullptr;   // kept through rebuilds; null until the first rebuild
    bool updateCheckBusy = false; // from the tick until the quiet check's result
    QuietUpdateCheck quietUpdateCheck;
    bool firstMonitorPowerNotification = true;
    // Each panel window registers for the monitor power setting; released at its end.
    std::vector<std::pair<HWND, HPOWERNOTIFY>> powerNotifications;
    UINT taskbarCreatedMessage = 0;
    UINT monitorOffMessage = 0;
    std::unique_ptr<Gdiplus::Bitmap> titleImage;
    uint32_t titlePercent = 100; // the scale the title was drawn for
    UniqueHbitmap languageFlag;  // shown on the language button

    // What a header picture depends on; a change draws it anew.
    struct HeaderKey {
        LONG width = 0;
        LONG height = 0;
        uint32_t expandLevel = 0;
        uint32_t tint = 0;
        uint32_t window = 0;
        uint32_t dpi = 0;
        bool operator==(const HeaderKey&) const = default;
    };
    struct HeaderPicture {
        HeaderKey key;
        UniqueHbitmap bitmap;
    };
    // Empty when it could not be drawn.
    UniqueHbitmap RenderHeader(HDC compatible, const HeaderKey& key);
    // The header of each expand level's width, drawn once and then only copied: expanding
    // and collapsing switch widths, and drawing the header again is most of what opening
    // the panel at a new width costs, more so at a larger scale.
    std::array<HeaderPicture, kMaximumExpandLevel + 1> headerPictures;
    void ForgetHeaderPictures();
};

// The one panel of the process.
extern PanelDialog panelDialog;

// The Run value's name and key: a non-empty value means the program starts with Windows.
inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Orvalux";
bool IsStartWithWindowsOn();
// Removes "Start with Windows" when it starts this program's file (the installer asks for
// it while it removes the program); a Run value naming another copy stays.
void ForgetOwnStartWithWindows();
