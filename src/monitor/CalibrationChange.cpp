#include "monitor/CalibrationChange.h"

#include "common/Settings.h"
#include "monitor/CalibrationStore.h"
#include "monitor/DisplayMonitor.h"

bool ApplyCalibration(DisplayMonitor& display, PhysicalMonitor& physical,
                      const MonitorCalibration& calibration, bool store) {
    physical.calibration = PackCalibration(calibration);
    const bool stored = !store || StoreCalibration(physical.identity, physical.description, calibration);
    if (!calibration.excluded) {
        for (const MonitorParameter parameter : {MonitorParameter::Brightness, MonitorParameter::Contrast}) {
            uint32_t shared = 0;
            if (ReadSettingDword(SettingNameOf(parameter), shared) && shared <= 100) {
                display.SendPercentTo(physical, parameter, shared);
            }
        }
    }
    return stored;
}
