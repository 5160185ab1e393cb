#include "monitor/SettingsStore.h"

#include "common/Settings.h"
#include "common/WaitCursor.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/MonitorConfigApi.h"
#include "monitor/MonitorWorker.h"

#include <windows.h>

namespace {

constexpr DWORD kFactoryResetSettleMs = 1000;

// The reference monitor's values become the settings; ReferencePercent reads the
// preset for colour temperature.
void StoreReferenceValues() {
    for (uint32_t code = kFirstParameterCode; code <= kLastParameterCode; ++code) {
        WriteSettingDword(kParameterSettingNames[code - 1],
                          ReferencePercent(static_cast<MonitorParameter>(code)));
    }
}

} // namespace

std::optional<uint32_t> ValidStoredValue(uint32_t parameterCode, uint32_t stored) {
    const uint32_t limit = parameterCode == static_cast<uint32_t>(MonitorParameter::ColorTemperature)
                               ? kMaxColorTemperature
                               : 100;
    if (parameterCode < kFirstParameterCode || parameterCode > kLastParameterCode || stored > limit) {
        return std::nullopt;
    }
    return stored;
}

void LoadMonitorSettings() {
    for (uint32_t code = kFirstParameterCode; code <= kLastParameterCode; ++code) {
        uint32_t stored = 0;
        if (!ReadSettingDword(kParameterSettingNames[code - 1], stored)) {
            continue;
        }
        const std::optional<uint32_t> value = ValidStoredValue(code, stored);
        if (!value) {
            continue; // never send a corrupt value to a monitor
        }
        CoalescedCommands one;
        one[code - 1] = *value;
        for (DisplayMonitor* display : displayMonitors) {
            display->ApplyCommands(one);
        }
    }
}

void ReapplyMonitorValues() {
    for (DisplayMonitor* display : displayMonitors) {
        if (display->worker && display->worker->IsRunning()) {
            display->worker->RequestReapply();
        } else {
            display->ReapplyRememberedValues();
        }
    }
}

void DisplayMonitor::RefreshValues(bool store) {
    ReadBrightness();
    ReadContrast();
    ReadGain(0);
    ReadGain(1);
    ReadGain(2);
    ReadColorTemperature();
    if (store) {
        StoreReferenceValues();
    }
}

void DisplayMonitor::RestoreFactoryDefaults() {
    ++factoryResets; // before any reset call: a re-apply must not undo them while they settle
    WaitCursor cursor;
    MonitorConfigApi& api = MonitorApi();
    const int count = static_cast<int>(physicalMonitors.size());
#pragma omp parallel for schedule(static, 4)
    for (int i = 0; i < count; ++i) {
        const PhysicalMonitor& physical = physicalMonitors[static_cast<size_t>(i)];
        if (physical.IsExcluded()) {
            continue; // it keeps what its own buttons set
        }
        std::lock_guard guard(deviceLock);
        if (physical.capabilities & kCapsRestoreFactoryColorDefaults) {
            api.RestoreMonitorFactoryColorDefaults(physical.handle);
        }
        if (physical.capabilities & kCapsRestoreFactoryDefaults) {
            api.RestoreMonitorFactoryDefaults(physical.handle);
        }
    }
    ::Sleep(kFactoryResetSettleMs);
    RefreshValues(true);
}

void RestoreAllFactoryDefaults() {
    const int count = static_cast<int>(displayMonitors.size());
#pragma omp parallel for schedule(static, 4)
    for (int i = 0; i < count; ++i) {
        displayMonitors[static_cast<size_t>(i)]->RestoreFactoryDefaults();
    }
}
