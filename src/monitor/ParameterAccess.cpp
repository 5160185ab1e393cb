// Reading and setting the picture parameters of one display monitor's physical monitors.
#include "common/Settings.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorConfigApi.h"
#include "monitor/ParameterConversion.h"

namespace {

MC_GAIN_TYPE GainType(uint32_t channel) {
    return static_cast<MC_GAIN_TYPE>(channel);
}

// Sends one physical monitor's remembered values; true when brightness, contrast and
// every gain were accepted (the colour temperature does not count).
bool SendRememberedValuesOf(MonitorConfigApi& api, const PhysicalMonitor& physical) {
    api.SetMonitorColorTemperature(physical.handle,
                                   static_cast<MC_COLOR_TEMPERATURE>(physical.colorTemperature.load()));
    bool accepted = api.SetMonitorBrightness(physical.handle, physical.brightnessCurrent) != FALSE;
    accepted = api.SetMonitorContrast(physical.handle, physical.contrastCurrent) != FALSE && accepted;
    for (uint32_t channel = 0; channel < 3; ++channel) {
        accepted = api.SetMonitorRedGreenOrBlueGain(physical.handle, GainType(channel),
                                                    physical.gainCurrent[channel]) != FALSE &&
                   accepted;
    }
    return accepted;
}

} // namespace

void DisplayMonitor::ReadBrightness() {
    if (isLaptopPanel) {
        // No device lock: the backlight is this thread's own, and its WMI calls dispatch
        // messages whose handlers may reach this display.
        if (ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight()) {
            for (size_t i = 0; i < physicalMonitors.size(); ++i) {
                PhysicalMonitor& physical = physicalMonitors[i];
                uint32_t minimum = 0;
                uint32_t maximum = 0;
                const uint32_t level = backlight->GetLevel(i, minimum, maximum);
                physical.brightnessMinimum = minimum;
                physical.brightnessMaximum = maximum;
                physical.brightnessCurrent = level;
            }
        }
        return;
    }
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(deviceLock);
    for (PhysicalMonitor& physical : physicalMonitors) {
        DWORD minimum = 0, current = 0, maximum = 0;
        if (api.GetMonitorBrightness(physical.handle, &minimum, &current, &maximum)) {
            physical.brightnessMinimum = minimum;
            physical.brightnessCurrent = current;
            physical.brightnessMaximum = maximum;
        }
    }
}

void DisplayMonitor::ReadContrast() {
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(deviceLock);
    for (PhysicalMonitor& physical : physicalMonitors) {
        DWORD minimum = 0, current = 0, maximum = 0;
        if (api.GetMonitorContrast(physical.handle, &minimum, &current, &maximum)) {
            physical.contrastMinimum = minimum;
            physical.contrastCurrent = current;
            physical.contrastMaximum = maximum;
        }
    }
}

void DisplayMonitor::ReadGain(uint32_t channel) {
    if (channel > 2) {
        return;
    }
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(deviceLock);
    for (PhysicalMonitor& physical : physicalMonitors) {
        DWORD minimum = 0, current = 0, maximum = 0;
        if (api.GetMonitorRedGreenOrBlueGain(physical.handle, GainType(channel), &minimum, &current,
                                             &maximum)) {
            physical.gainMinimum[channel] = minimum;
            physical.gainCurrent[channel] = current;
            physical.gainMaximum[channel] = maximum;
        }
    }
}

void DisplayMonitor::ReadColorTemperature() {
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(deviceLock);
    for (PhysicalMonitor& physical : physicalMonitors) {
        MC_COLOR_TEMPERATURE preset = MC_COLOR_TEMPERATURE_UNKNOWN;
        if (api.GetMonitorColorTemperature(physical.handle, &preset)) {
            physical.colorTemperature = static_cast<uint32_t>(preset);
        }
    }
}

void DisplayMonitor::SetBrightness(uint32_t percent) {
    if (isLaptopPanel) {
        // No device lock, as in ReadBrightness.
        if (ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight()) {
            // Remembered like a monitor's accepted value, so that the start-up re-assertion
            // keeps the level the user chose instead of the one read before it was set.
            uint32_t level = 0;
            if (SUCCEEDED(backlight->SetLevelPercent(percent, &level))) {
                for (PhysicalMonitor& physical : physicalMonitors) {
                    physical.brightnessCurrent = level;
                }
            }
        }
    } else {
        MonitorConfigApi& api = MonitorApi();
        std::lock_guard guard(deviceLock);
        for (PhysicalMonitor& physical : physicalMonitors) {
            const uint32_t device =
                PercentToDevice(physical.brightnessMinimum, physical.brightnessMaximum, percent);
            if (api.SetMonitorBrightness(physical.handle, device)) {
                physical.brightnessCurrent = device;
            }
        }
    }
    WriteSettingDword(SettingNameOf(MonitorParameter::Brightness), percent);
}

void DisplayMonitor::SetContrast(uint32_t percent) {
    {
        MonitorConfigApi& api = MonitorApi();
        std::lock_guard guard(deviceLock);
        for (PhysicalMonitor& physical : physicalMonitors) {
            const uint32_t device =
                PercentToDevice(physical.contrastMinimum, physical.contrastMaximum, percent);
            if (api.SetMonitorContrast(physical.handle, device)) {
                physical.contrastCurrent = device;
            }
        }
    }
    WriteSettingDword(SettingNameOf(MonitorParameter::Contrast), percent);
}

void DisplayMonitor::SetGain(uint32_t channel, uint32_t percent) {
    if (channel > 2) {
        return;
    }
    {
        MonitorConfigApi& api = MonitorApi();
        std::lock_guard guard(deviceLock);
        for (PhysicalMonitor& physical : physicalMonitors) {
            const uint32_t device =
                PercentToDevice(physical.gainMinimum[channel], physical.gainMaximum[channel], percent);
            if (api.SetMonitorRedGreenOrBlueGain(physical.handle, GainType(channel), device)) {
                physical.gainCurrent[channel] = device;
            }
        }
    }
    WriteSettingDword(kParameterSettingNames[static_cast<uint32_t>(MonitorParameter::GainRed) - 1 + channel],
                      percent);
}

void DisplayMonitor::SetColorTemperature(uint32_t preset) {
    {
        MonitorConfigApi& api = MonitorApi();
        std::lock_guard guard(deviceLock);
        for (PhysicalMonitor& physical : physicalMonitors) {
            if (preset == kNoColorTemperature) {
                physical.colorTemperature = kNoColorTemperature;
                continue;
            }
            const bool supported = preset <= kMaxColorTemperature &&
                                   (physical.supportedColorTemperatures & (1u << (preset - 1))) != 0;
            if (supported &&
                api.SetMonitorColorTemperature(physical.handle, static_cast<MC_COLOR_TEMPERATURE>(preset))) {
                physical.colorTemperature = preset;
            }
        }
    }
    WriteSettingDword(SettingNameOf(MonitorParameter::ColorTemperature), preset);
}

bool DisplayMonitor::SendRememberedValues() {
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(deviceLock);
    bool accepted = true;
    for (const PhysicalMonitor& physical : physicalMonitors) {
        accepted = SendRememberedValuesOf(api, physical) && accepted;
    }
    return accepted;
}

int DisplayMonitor::ReapplyAttempts() const {
    return isLaptopPanel ? 1 : kReapplyAttempts;
}

void DisplayMonitor::ReapplyRememberedValues() {
    for (int attempt = 1; attempt <= ReapplyAttempts(); ++attempt) {
        if (SendRememberedValues() || attempt == ReapplyAttempts()) {
            return;
        }
        ::Sleep(static_cast<DWORD>(kReapplyPause.count()));
    }
}

void DisplayMonitor::ApplyCommands(const CoalescedCommands& latest) {
    if (latest[0]) {
        SetBrightness(*latest[0]);
    }
    if (latest[1]) {
        SetContrast(*latest[1]);
    }
    for (uint32_t channel = 0; channel < 3; ++channel) {
        if (latest[2 + channel]) {
            SetGain(channel, *latest[2 + channel]);
        }
    }
    if (latest[5]) {
        SetColorTemperature(*latest[5]);
    }
}

uint32_t DisplayMonitor::BrightnessPercent() const {
    if (physicalMonitors.empty()) {
        return 100;
    }
    const PhysicalMonitor& first = physicalMonitors.front();
    return DeviceToPercent(first.brightnessMinimum, first.brightnessCurrent, first.brightnessMaximum);
}

uint32_t DisplayMonitor::ContrastPercent() const {
    if (physicalMonitors.empty()) {
        return 100;
    }
    const PhysicalMonitor& first = physicalMonitors.front();
    return DeviceToPercent(first.contrastMinimum, first.contrastCurrent, first.contrastMaximum);
}

uint32_t DisplayMonitor::GainPercent(uint32_t channel) const {
    if (physicalMonitors.empty() || channel > 2) {
        return 100;
    }
    const PhysicalMonitor& first = physicalMonitors.front();
    return DeviceToPercent(first.gainMinimum[channel], first.gainCurrent[channel],
                           first.gainMaximum[channel]);
}

uint32_t DisplayMonitor::ColorTemperaturePreset() const {
    return physicalMonitors.empty() ? kNoColorTemperature : physicalMonitors.front().colorTemperature.load();
}

uint32_t DisplayMonitor::NearestColorTemperature(uint32_t requested) const {
    std::vector<uint32_t> supportedSets;
    supportedSets.reserve(physicalMonitors.size());
    for (const PhysicalMonitor& physical : physicalMonitors) {
        supportedSets.push_back(physical.supportedColorTemperatures);
    }
    return ::NearestColorTemperature(requested, supportedSets);
}
