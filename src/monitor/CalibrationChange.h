#pragma once

#include "monitor/CalibrationRules.h"

struct DisplayMonitor;
struct PhysicalMonitor;

// Gives one of the display's monitors a new calibration: used at once, stored with
// `store` (false: on trial, as a dialog previews it), and the stored shared brightness and
// contrast are sent to it through it unless it is left out. False when it was not stored.
bool ApplyCalibration(DisplayMonitor& display, PhysicalMonitor& physical,
                      const MonitorCalibration& calibration, bool store);
