#pragma once

#include "monitor/CalibrationRules.h"
#include "ui/framework/CDlgWnd.h"

#include <array>
#include <vector>

struct DisplayMonitor;
struct PhysicalMonitor;

// "Monitors…": every monitor in the panel's order; for the selected one its share of the
// shared brightness and contrast ("low" and "high", percent of its own range) and whether
// the shared values reach it. A change shows on the monitor at once (through its display's
// worker: this thread never waits on a monitor); OK stores the changes, Cancel and any
// other end put back what was there.
class CMonitorsDlg final : public CDlgWnd {
public:
    // IDOK when the changes were stored, IDCANCEL otherwise.
    INT_PTR Run(HWND owner);

    UINT GetTemplateId() const override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    struct Entry {
        DisplayMonitor* display = nullptr;
        PhysicalMonitor* physical = nullptr;
        MonitorCalibration opened;
        MonitorCalibration current;
    };

    void ShowSelected();
    // Takes what the controls show as the selected monitor's calibration, when it is sound.
    void TakeControls();
    // Makes the entry's calibration the monitor's and sends it the shared values through it.
    void Preview(const Entry& entry) const;
    void Identify() const;

    std::vector<Entry> entries;
    // The shared brightness and contrast as the dialog opened: what a preview shows.
    std::array<uint32_t, 2> shared{100, 100};
    int selected = -1;
    bool filling = false; // the controls' own notifications while they are filled
    bool accepted = false;
};
