#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The device access under a LaptopBacklight: the panel driver's table of supported
// levels and the platform's WMI brightness classes, or a simulated panel for both.
// An instance belongs to one LaptopBacklight and so to one thread.
class LaptopPanelBackend {
public:
    virtual ~LaptopPanelBackend() = default;

    // Finds the instance of the brightness-method class and the parameter class of its
    // set method, calling `onInstanceFound` for each instance whose path was kept (the
    // last one wins). Returns 1 when the enumeration ended normally, or the first failure.
    virtual HRESULT Connect(const std::function<void()>& onInstanceFound) = 0;
    // Asks the panel driver for its supported levels; false when the device cannot be
    // opened or the request fails, and then `levels` is unchanged.
    virtual bool QueryDriverLevels(std::vector<uint8_t>& levels) = 0;
    // Sends one backlight level (a percentage of full backlight) to the panel;
    // kNoSetBrightnessMethod when Connect found no set-brightness method.
    virtual HRESULT SetBrightness(uint8_t level) = 0;
    // The current brightness of the `index`-th panel the platform lists, or none when it
    // cannot be read.
    virtual std::optional<uint8_t> ReadCurrentBrightness(uint64_t index) = 0;
};

// What setting the backlight reports when WMI offers no set-brightness method.
inline const HRESULT kNoSetBrightnessMethod = HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);

// The simulated panel when one is installed, otherwise the platform's.
std::unique_ptr<LaptopPanelBackend> CreateLaptopPanelBackend();
