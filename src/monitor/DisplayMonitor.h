#pragma once

#include "monitor/CalibrationRules.h"
#include "monitor/MonitorCommand.h"
#include "monitor/MonitorParameter.h"
#include "monitor/ReapplyRules.h"
#include "monitor/SharedWord.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class MonitorWorker;

// A remembered range and value in device units.
struct DeviceRange {
    uint32_t minimum = 0;
    uint32_t current = 0;
    uint32_t maximum = 0;
};

// One DDC/CI monitor: its handle and the last known range and value of each parameter,
// in device units.
struct PhysicalMonitor {
    HANDLE handle = nullptr;
    wchar_t description[128] = {};
    MONITORINFOEXW info = {};
    SharedWord capabilities;
    SharedWord supportedColorTemperatures;
    SharedWord brightnessMinimum, brightnessCurrent, brightnessMaximum;
    SharedWord contrastMinimum, contrastCurrent, contrastMaximum;
    std::array<SharedWord, 3> gainMinimum, gainCurrent, gainMaximum;
    SharedWord colorTemperature;
    // Whether the range of brightness, contrast and each gain (index code - 1) has been
    // read. Until then it is all zeros, so nothing made from it is sent: a monitor whose
    // DDC/CI answered late would go black or tinted.
    std::array<SharedWord, 5> rangeRead;
    // Whether the last value a set meant for it (same index) did not reach it: refused, or
    // not sent for want of a range. Told apart from the remembered value, which a re-apply
    // under way keeps even when refused.
    std::array<SharedWord, 5> lastSetRefused;
    // Who the monitor is (MonitorIdentity), and its share of the shared values: set on
    // the worker before the first read, changed by the user later.
    std::wstring identity;
    SharedWord calibration{PackCalibration(MonitorCalibration{})};

    bool HasRange(MonitorParameter parameter) const;
    MonitorCalibration Calibration() const { return UnpackCalibration(calibration); }
    bool IsExcluded() const { return Calibration().excluded; }
    // Whether its value may stand for the parameter's shared value: it is not left out,
    // has read the range, and its calibration can be read back (low below high).
    bool CanStandFor(MonitorParameter parameter) const;
    // The shared percentage its remembered value stands for (brightness and contrast
    // through its calibration); its own percentage when the calibration cannot tell.
    uint32_t SharedPercent(MonitorParameter parameter) const;
    // The remembered range of brightness, contrast or a gain; none while it was never read.
    std::optional<DeviceRange> KnownRange(MonitorParameter parameter) const;
    // The device value a shared percentage becomes on this monitor (through its
    // calibration); none while the range was never read.
    std::optional<uint32_t> DeviceValueOf(MonitorParameter parameter, uint32_t sharedPercent) const;
    // The parameter's remembered value in percent of its range (brightness, contrast, gains).
    uint32_t Percent(MonitorParameter parameter) const;
};

// One display of the desktop with the physical monitors behind it and the worker thread
// that owns their device calls.
struct DisplayMonitor {
    explicit DisplayMonitor(HMONITOR displayHandle, uint64_t position);
    DisplayMonitor(const DisplayMonitor&) = delete;
    DisplayMonitor& operator=(const DisplayMonitor&) = delete;
    ~DisplayMonitor();

    HMONITOR monitor;
    std::vector<PhysicalMonitor> physicalMonitors;
    std::unique_ptr<MonitorWorker> worker;
    uint64_t index;
    // Brightness goes through the calling thread's laptop backlight instead of DDC/CI.
    bool isLaptopPanel = false;

    // Inventory. OpenPhysicalMonitors runs once, on the worker thread.
    void OpenPhysicalMonitors();
    // Stops and frees the worker, then releases every physical monitor handle once.
    void Shutdown();

    // Reading: refresh the remembered values; a failed call keeps them.
    void ReadBrightness();
    void ReadContrast();
    void ReadGain(uint32_t channel);
    void ReadColorTemperature();

    // Setting, from percentages (a preset for colour temperature); each also stores
    // the value as the user's setting, whatever the monitors answered. A monitor whose
    // range was never read is asked for it first, and left alone when it does not answer.
    void SetBrightness(uint32_t percent);
    void SetContrast(uint32_t percent);
    void SetGain(uint32_t channel, uint32_t percent);
    void SetColorTemperature(uint32_t preset);
    // Sends `percent` of the parameter's range (brightness, contrast or a gain) to one of
    // this display's monitors, now and not stored. A range never read is asked for first;
    // false when the monitor does not tell it or refuses the value.
    bool SendPercentTo(PhysicalMonitor& physical, MonitorParameter parameter, uint32_t percent);
    // Applies one coalesced batch in the fixed order brightness, contrast, red, green,
    // blue, colour temperature.
    void ApplyCommands(const CoalescedCommands& latest);

    // One attempt of a re-apply: sends every physical monitor's remembered device values;
    // Accepted when brightness, contrast and every gain were, Unanswered when no monitor
    // took any value. A range never read is asked for first, and its value left out while
    // the monitor does not answer.
    // Given `resetsSeen` (factoryResets when the re-apply began), nothing is sent once a
    // factory reset has come since: what was remembered before it is history.
    ReapplyAttempt SendRememberedValues(std::optional<uint32_t> resetsSeen = std::nullopt);
    // After an accepted attempt: reads every value back and nudges one that did not take
    // (a step beside it, then the value), at most kMaxNudges times per parameter; it stops
    // as SendRememberedValues does once a factory reset has come.
    void VerifyRememberedValues(std::optional<uint32_t> resetsSeen = std::nullopt);
    // Attempts one re-apply makes: a single one on a laptop panel, whose monitor already
    // refused DDC/CI, so that it does not spend three seconds failing at every wake-up.
    int ReapplyAttempts() const;
    // A whole re-apply on the calling thread, for a display without a running worker.
    void ReapplyRememberedValues();

    // Re-reads every parameter; with `store` the reference monitor's values become the
    // settings.
    void RefreshValues(bool store);
    // Factory reset of the physical monitors that allow it, then RefreshValues(true).
    void RestoreFactoryDefaults();

    // The monitor whose values stand for the parameter on this display: the first that
    // can (CanStandFor), else the first; none when the display has no physical monitor.
    const PhysicalMonitor* ReferenceMonitor(MonitorParameter parameter) const;
    // Whether one of its monitors can stand for the parameter: it has read the range and is
    // not left out. A display with none has no level of its own to keep.
    bool HasRange(MonitorParameter parameter) const;
    // Queries on the reference monitor's remembered values (the colour temperature: the
    // first physical monitor's): 100 percent and preset 0 when there is none.
    uint32_t BrightnessPercent() const;
    uint32_t ContrastPercent() const;
    uint32_t GainPercent(uint32_t channel) const;
    uint32_t ColorTemperaturePreset() const;
    uint32_t NearestColorTemperature(uint32_t requested) const;

    // Serialises DDC/CI calls to this display's monitors: a slow serial bus on which
    // interleaved transactions from two threads corrupt each other. Recursive, as a
    // handler running inside a wait of the holder's thread may reach this display again;
    // never held across a call that dispatches messages (the laptop backlight's WMI).
    std::recursive_mutex deviceLock;
    // Set while the worker's re-apply is under way: a value a monitor refuses is then
    // remembered all the same, so the re-apply delivers the user's newest value instead
    // of the older one once the monitor answers again.
    std::atomic<bool> keepRefusedValues{false};
    // Factory resets begun on this display; a re-apply under way gives way to one.
    std::atomic<uint32_t> factoryResets{0};
    bool ResetSince(std::optional<uint32_t> resetsSeen) const {
        return resetsSeen && *resetsSeen != factoryResets.load();
    }
};

// Every display monitor of the desktop, in enumeration order. Changed only on the main
// thread while neither the dispatcher nor the user interface uses it.
extern std::vector<DisplayMonitor*> displayMonitors;

// Rebuilds the list and returns once every display's worker has opened and read its
// physical monitors.
void EnumerateDisplayMonitors();
// Shuts down and frees every display monitor and empties the list.
void DestroyDisplayMonitors();

// The reference values the user interface shows: for brightness, contrast and the gains
// those of the first monitor that has read the range (ChooseReference), for colour
// temperature the preset of the first physical monitor of the first display. None when
// there is no display at all, as during a rebuild.
std::optional<uint32_t> ReferencePercentIfAny(MonitorParameter parameter);
// The same, with no display read like a display without physical monitors (100 percent,
// preset 0), so the tray level and the sliders show the top of the range.
uint32_t ReferencePercent(MonitorParameter parameter);
uint32_t ReferenceColorTemperature();
