#pragma once

#include "monitor/CalibrationRules.h"

#include <string>

// Each monitor's calibration is kept under the settings key in "Monitors\<key name of its
// identity>": "Name" (REG_SZ, for the user who looks), "BrightnessLow", "BrightnessHigh",
// "ContrastLow", "ContrastHigh" and "Excluded" (REG_DWORD). A key of a monitor that is not
// attached stays: the monitor may come back.

struct DisplayMonitor;
struct PhysicalMonitor;

// Gives one of the display's monitors a new calibration: used at once, stored with
// `store` (false: on trial, as a dialog previews it), and the stored shared brightness and
// contrast are sent to it through it unless it is left out. False when it was not stored.
bool ApplyCalibration(DisplayMonitor& display, PhysicalMonitor& physical,
                      const MonitorCalibration& calibration, bool store);

// The stored calibration of a monitor; uncalibrated when nothing (or nothing sound) is kept.
MonitorCalibration ReadStoredCalibration(const std::wstring& identity);
// Stores a monitor's calibration and name; false when the key cannot be written.
bool StoreCalibration(const std::wstring& identity, const std::wstring& name,
                      const MonitorCalibration& calibration);
