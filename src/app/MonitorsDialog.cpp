#include "app/MonitorsDialog.h"

#include "app/IdentifyWindows.h"
#include "common/Settings.h"
#include "monitor/CalibrationStore.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/MonitorWorker.h"
#include "ui/Tooltips.h"

#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

struct ShareField {
    int editId;
    int spinId;
};
// Brightness low, high, contrast low, high.
constexpr ShareField kFields[] = {{IDC_BRIGHTNESS_LOW, IDC_BRIGHTNESS_LOW_SPIN},
                                  {IDC_BRIGHTNESS_HIGH, IDC_BRIGHTNESS_HIGH_SPIN},
                                  {IDC_CONTRAST_LOW, IDC_CONTRAST_LOW_SPIN},
                                  {IDC_CONTRAST_HIGH, IDC_CONTRAST_HIGH_SPIN}};
constexpr MonitorParameter kShared[] = {MonitorParameter::Brightness, MonitorParameter::Contrast};

bool IsField(int id) {
    return std::any_of(std::begin(kFields), std::end(kFields),
                       [id](const ShareField& f) { return f.editId == id; });
}

} // namespace

UINT CMonitorsDlg::GetTemplateId() const {
    return IDD_MONITORS;
}

INT_PTR CMonitorsDlg::Run(HWND owner) {
    for (DisplayMonitor* display : displayMonitors) {
        for (PhysicalMonitor& physical : display->physicalMonitors) {
            const MonitorCalibration calibration = physical.Calibration();
            entries.push_back({display, &physical, calibration, calibration});
        }
    }
    for (size_t i = 0; i < std::size(kShared); ++i) {
        shared[i] = ReferencePercent(kShared[i]);
        ReadSettingDword(SettingNameOf(kShared[i]), shared[i]);
        shared[i] = std::min<uint32_t>(shared[i], 100);
    }
    DoModal(owner, 0);
    // Only OK, chosen by this dialog's own handler, keeps the changes: an end by a quit
    // message (a display change, the end of the program) puts them back.
    for (const Entry& entry : entries) {
        if (entry.current == entry.opened) {
            continue;
        }
        if (accepted) {
            StoreCalibration(entry.physical->identity, entry.physical->description, entry.current);
        } else {
            Preview({entry.display, entry.physical, entry.opened, entry.opened});
        }
    }
    return accepted ? IDOK : IDCANCEL;
}

INT_PTR CMonitorsDlg::OnInitDialog(WPARAM, LPARAM) {
    CreateTooltips(window);
    SetDialogIcons(window);
    const HWND list = ::GetDlgItem(window, IDC_MONITOR_LIST);
    for (size_t i = 0; i < entries.size(); ++i) {
        const wchar_t* name = entries[i].physical->description;
        const std::wstring line = std::to_wstring(i + 1) + L"  " + (name[0] ? name : L"-");
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    for (const ShareField& field : kFields) {
        ::SendDlgItemMessageW(window, field.spinId, UDM_SETRANGE32, 0, 100);
    }
    selected = entries.empty() ? -1 : 0;
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    ShowSelected();
    ::SetForegroundWindow(window);
    return TRUE;
}

void CMonitorsDlg::ShowSelected() {
    filling = true;
    const bool any = selected >= 0;
    const MonitorCalibration shown =
        any ? entries[static_cast<size_t>(selected)].current : MonitorCalibration{};
    const uint32_t values[] = {shown.brightness.low, shown.brightness.high, shown.contrast.low,
                               shown.contrast.high};
    for (size_t i = 0; i < std::size(kFields); ++i) {
        ::SetDlgItemInt(window, kFields[i].editId, values[i], FALSE);
        ::EnableWindow(::GetDlgItem(window, kFields[i].editId), any);
        ::EnableWindow(::GetDlgItem(window, kFields[i].spinId), any);
    }
    ::CheckDlgButton(window, IDC_ADJUST_MONITOR, shown.excluded ? BST_UNCHECKED : BST_CHECKED);
    ::EnableWindow(::GetDlgItem(window, IDC_ADJUST_MONITOR), any);
    filling = false;
}

void CMonitorsDlg::TakeControls() {
    if (filling || selected < 0) {
        return;
    }
    uint32_t values[std::size(kFields)] = {};
    for (size_t i = 0; i < std::size(kFields); ++i) {
        BOOL read = FALSE;
        values[i] = ::GetDlgItemInt(window, kFields[i].editId, &read, FALSE);
        if (!read) {
            return; // being typed: the last sound value stays
        }
    }
    const std::optional<ShareRange> brightness = MakeShareRange(values[0], values[1]);
    const std::optional<ShareRange> contrast = MakeShareRange(values[2], values[3]);
    if (!brightness || !contrast) {
        return; // low above high, or above 100, is never applied
    }
    Entry& entry = entries[static_cast<size_t>(selected)];
    const MonitorCalibration taken{*brightness, *contrast,
                                   ::IsDlgButtonChecked(window, IDC_ADJUST_MONITOR) != BST_CHECKED};
    if (taken != entry.current) {
        entry.current = taken;
        Preview(entry);
    }
}

void CMonitorsDlg::Preview(const Entry& entry) const {
    entry.physical->calibration = PackCalibration(entry.current);
    if (entry.current.excluded || !entry.display->worker) {
        return; // a monitor left out keeps what it shows
    }
    for (size_t i = 0; i < std::size(kShared); ++i) {
        entry.display->worker->PostCommand(MonitorCommand{static_cast<uint32_t>(kShared[i]), shared[i]});
    }
}

void CMonitorsDlg::Identify() const {
    std::vector<RECT> areas;
    for (const Entry& entry : entries) {
        areas.push_back(entry.physical->info.rcMonitor);
    }
    ShowMonitorNumbers(areas);
}

LRESULT CMonitorsDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (!lParam) {
        return 0; // menus and accelerators: this dialog has none
    }
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    switch (id) {
    case IDOK:
        accepted = true;
        ::EndDialog(window, IDOK);
        return 1;
    case IDCANCEL:
        ::EndDialog(window, IDCANCEL);
        return 1;
    case IDC_MONITOR_LIST:
        if (code == LBN_SELCHANGE) {
            selected = static_cast<int>(::SendDlgItemMessageW(window, IDC_MONITOR_LIST, LB_GETCURSEL, 0, 0));
            selected = selected >= 0 && static_cast<size_t>(selected) < entries.size() ? selected : -1;
            ShowSelected();
        }
        return 1;
    case IDC_ADJUST_MONITOR:
        TakeControls();
        return 1;
    case IDC_IDENTIFY:
        Identify();
        return 1;
    default:
        if (IsField(id) && code == EN_CHANGE) {
            TakeControls();
            return 1;
        }
        return 0;
    }
}

INT_PTR CMonitorsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && HandleTooltipNotify(reinterpret_cast<NMHDR*>(lParam))) {
        return TRUE;
    }
    return CDlgWnd::DialogProc(dialog, message, wParam, lParam);
}
