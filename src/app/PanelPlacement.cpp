// Where the panel opens and how wide it is.
#include "app/PanelDialog.h"
#include "app/PanelPainting.h"
#include "app/PanelPlacement.h"
#include "app/PanelRules.h"
#include "monitor/DisplayMonitor.h"
#include "ui/Localization.h"
#include "ui/SmallIcons.h"
#include "ui/framework/Dpi.h"

#include "resource.h"

namespace {

constexpr int kSliderIds[kPanelSliderCount] = {
    IDC_BRIGHTNESS_SLIDER, IDC_CONTRAST_SLIDER, IDC_COLOR_TEMPERATURE_SLIDER,
    IDC_RED_SLIDER,        IDC_GREEN_SLIDER,    IDC_BLUE_SLIDER};
constexpr int kColumnButtonIds[] = {IDC_LANGUAGE, IDC_REAPPLY_DELAY, IDC_HOTKEYS, IDC_FACTORY_RESET,
                                    IDC_EXPAND};

IntRect ToIntRect(const RECT& rect) {
    return IntRect{rect.left, rect.top, rect.right, rect.bottom};
}
RECT ToRect(const IntRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

IntRect WorkArea() {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return ToIntRect(area);
}

// A child's rectangle in its dialog's client coordinates.
RECT ChildRect(HWND dialog, int controlId) {
    RECT rect{};
    const HWND child = ::GetDlgItem(dialog, controlId);
    if (child && ::GetWindowRect(child, &rect)) {
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

} // namespace

IntRect PrimaryMonitorRect() {
    std::vector<std::vector<IntRect>> displays;
    displays.reserve(displayMonitors.size());
    for (const DisplayMonitor* display : displayMonitors) {
        std::vector<IntRect>& monitors = displays.emplace_back();
        for (const PhysicalMonitor& physical : display->physicalMonitors) {
            monitors.push_back(ToIntRect(physical.info.rcMonitor));
        }
    }
    return PrimaryDisplayRect(displays).value_or(WorkArea());
}

void PanelDialog::ShowPanelAt(int x, int y, int showCommand) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(window, &placement)) {
        return;
    }
    const IntRect current = ToIntRect(placement.rcNormalPosition);
    placement.rcNormalPosition = ToRect(PlacePanelAbove(x, y, current.Width(), current.Height(),
                                                        PrimaryMonitorRect(), WorkArea(), WindowDpi(window)));
    if (!::IsWindowVisible(window)) {
        placement.showCmd = SW_HIDE; // placing a hidden panel must not flash it
    }
    ::SetWindowPlacement(window, &placement);
    ChooseHeaderTint();
    ::ShowWindow(window, showCommand);
    if (showCommand != SW_HIDE) {
        // Only a shown panel takes the foreground: placing it hidden at start must not
        // take the keyboard from the program the user works in.
        ::SetForegroundWindow(window);
    }
}

void PanelDialog::LayoutPanel() {
    RECT client{};
    ::GetClientRect(window, &client);
    const RECT lastSlider = ChildRect(window, kSliderIds[LastVisibleSlider(expandLevel)]);
    const PanelColumnLayout layout =
        LayoutPanelColumn(ToIntRect(client), lastSlider.right,
                          ToIntRect(ChildRect(window, IDC_FACTORY_RESET)), WindowDpi(window));

    for (const int id : kColumnButtonIds) {
        const RECT button = ChildRect(window, id);
        ::SetWindowPos(::GetDlgItem(window, id), nullptr, layout.buttonLeft, button.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }

    RECT bounds{0, 0, layout.clientRight, client.bottom};
    ::AdjustWindowRectEx(&bounds, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    if (IsCompositionEnabled()) {
        bounds.left -= frameMargins.cxLeftWidth;
        bounds.top -= frameMargins.cyTopHeight;
        bounds.right += frameMargins.cxRightWidth;
        bounds.bottom += frameMargins.cyBottomHeight;
    }
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    ::OffsetRect(&bounds, origin.x, origin.y);
    const IntRect placed = KeepLeftOfWorkAreaRight(ToIntRect(bounds), WorkArea().right);
    // No activation: the panel is laid out hidden at start as well.
    ::SetWindowPos(window, HWND_TOPMOST, placed.left, placed.top, placed.Width(), placed.Height(),
                   SWP_FRAMECHANGED | SWP_NOACTIVATE);

    for (int i = 0; i < kPanelSliderCount; ++i) {
        ::ShowWindow(::GetDlgItem(window, kSliderIds[i]),
                     IsSliderVisible(i, expandLevel) ? SW_SHOW : SW_HIDE);
    }

    // Shared icons, one per size: no panel window owns a copy, so none is left behind when
    // a rebuild destroys one.
    ::SendDlgItemMessageW(window, IDC_EXPAND, BM_SETIMAGE, IMAGE_ICON,
                          reinterpret_cast<LPARAM>(LoadSmallIcon(
                              expandLevel == kMaximumExpandLevel ? IDI_COLLAPSE : IDI_EXPAND, window)));

    ::InvalidateRect(window, nullptr, TRUE);
    ::UpdateWindow(window);
}
