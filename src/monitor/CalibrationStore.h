#pragma once

#include "monitor/CalibrationRules.h"

#include <string>

// Each monitor's calibration is kept under the settings key in "Monitors\<key name of its
// identity>": "Name" (REG_SZ, for the user who looks), "BrightnessLow", "BrightnessHigh",
// "ContrastLow", "ContrastHigh" and "Excluded" (REG_DWORD). A key of a monitor that is not
// attached stays: the monitor may come back.

// The stored calibration of a monitor; uncalibrated when nothing (or nothing sound) is kept.
MonitorCalibration ReadStoredCalibration(const std::wstring& identity);
// Stores a monitor's calibration and name; false when the key cannot be written.
bool StoreCalibration(const std::wstring& identity, const std::wstring& name,
                      const MonitorCalibration& calibration);
