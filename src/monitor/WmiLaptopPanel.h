#pragma once

#include "common/ComPtr.h"
#include "monitor/LaptopPanelBackend.h"
#include "monitor/WmiLaptopPanelValues.h"

#include <windows.h>
#include <wbemidl.h>

// The platform's laptop panel: levels from the panel driver "\\.\LCD", the backlight
// through the WMI classes WmiMonitorBrightnessMethods and WmiMonitorBrightness in
// root\wmi. Used on the thread (and COM apartment) that created it.
class WmiLaptopPanel final : public LaptopPanelBackend {
public:
    WmiLaptopPanel() = default;
    WmiLaptopPanel(const WmiLaptopPanel&) = delete;
    WmiLaptopPanel& operator=(const WmiLaptopPanel&) = delete;

    HRESULT Connect(const std::function<void()>& onInstanceFound) override;
    bool QueryDriverLevels(std::vector<uint8_t>& levels) override;
    HRESULT SetBrightness(uint8_t level) override;
    std::optional<uint8_t> ReadCurrentBrightness(uint64_t index) override;

private:
    // Declared in the reverse of their release order: the instance path goes first,
    // the locator last.
    ComPtr<IWbemLocator> locator_;
    ComPtr<IWbemServices> services_;
    ComPtr<IWbemClassObject> methodsClass_;
    ComPtr<IWbemClassObject> setBrightnessParams_;
    UniqueBstr instancePath_; // null when no instance was found
};
