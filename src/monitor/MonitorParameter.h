#pragma once

#include <cstdint>

// The six adjustable picture parameters, with the codes that commands carry.
enum class MonitorParameter : uint32_t {
    Brightness = 1,
    Contrast = 2,
    GainRed = 3,
    GainGreen = 4,
    GainBlue = 5,
    ColorTemperature = 6,
};

inline constexpr uint32_t kFirstParameterCode = 1;
inline constexpr uint32_t kLastParameterCode = 6;
inline constexpr uint32_t kParameterCount = 6;

// Colour temperature presets: 0 is "none chosen", 1..8 are the monitor presets
// 4000 K, 5000 K, 6500 K, 7500 K, 8200 K, 9300 K, 10000 K and 11500 K.
inline constexpr uint32_t kNoColorTemperature = 0;
inline constexpr uint32_t kMaxColorTemperature = 8;

// Capability bits that decide which factory resets a monitor accepts.
inline constexpr uint32_t kCapsRestoreFactoryDefaults = 0x400;
inline constexpr uint32_t kCapsRestoreFactoryColorDefaults = 0x800;

// Registry value names under the settings key, indexed by parameter code - 1.
inline constexpr const wchar_t* kParameterSettingNames[kParameterCount] = {
    L"Brightness", L"Contrast", L"GainRed", L"GainGreen", L"GainBlue", L"ColorTemperature",
};

inline constexpr const wchar_t* SettingNameOf(MonitorParameter parameter) {
    return kParameterSettingNames[static_cast<uint32_t>(parameter) - 1];
}
