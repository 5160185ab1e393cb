#pragma once

// A monitor's share of the one slider: the part of its own brightness or contrast range
// that the shared 0 % and 100 % map to, and whether the monitor is left out; and the
// identity under which that calibration is kept, so it follows the monitor when displays
// are re-ordered or re-plugged.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// "low" and "high" in percent of the monitor's own range (0..100, low not above high).
struct ShareRange {
    uint32_t low = 0;
    uint32_t high = 100;
    bool operator==(const ShareRange&) const = default;
};

// The range, or none when it is out of 0..100 or low is above high.
std::optional<ShareRange> MakeShareRange(int64_t low, int64_t high);

// The monitor's percentage for a shared one: low + shared × (high − low) / 100, truncated.
uint32_t MonitorPercentOf(ShareRange range, uint32_t shared);
// The shared percentage a monitor's reading stands for: the smallest whose mapping gives
// it back (readings outside low..high count as 0 or 100). None when low = high: every
// shared value looks the same on such a monitor, so it cannot tell the shared value.
std::optional<uint32_t> SharedPercentOf(ShareRange range, uint32_t monitorPercent);

// What is kept for one monitor.
struct MonitorCalibration {
    ShareRange brightness;
    ShareRange contrast;
    bool excluded = false;
    bool operator==(const MonitorCalibration&) const = default;
};

// The calibration in one 32-bit word (7 bits each for the four percentages, one for left
// out), so that a thread reading it never sees half of a change; and back.
uint32_t PackCalibration(const MonitorCalibration& calibration);
MonitorCalibration UnpackCalibration(uint32_t word);

// One stored value as read: none when missing or not a 4-byte number.
using StoredNumber = std::optional<uint32_t>;
struct StoredCalibration {
    StoredNumber brightnessLow, brightnessHigh, contrastLow, contrastHigh, excluded;
};
// The calibration a monitor's stored values make. A pair that is missing, out of range or
// reversed reads as uncalibrated (0..100); "Excluded" counts when it is 1.
MonitorCalibration CalibrationFromStored(const StoredCalibration& stored);

// What the system reports of one monitor.
struct MonitorFacts {
    std::wstring devicePath;   // of its display target (carries the port it hangs on)
    std::wstring friendlyName; // the model's name
    std::vector<uint8_t> edid; // empty when not found
};
// Its identity: from the EDID's manufacturer, product code and serial number when the
// EDID is whole and carries a serial (it then follows the monitor to any port); else from
// the device path and the friendly name (two identical monitors differ by their port).
std::wstring MonitorIdentity(const MonitorFacts& facts);

// The registry key name of an identity: '\\', '%', '#' and control characters become
// %XXXX; a name longer than a key may be is cut and ends in '#' and a hash of the whole
// identity, so two identities never share a key.
std::wstring CalibrationKeyName(std::wstring_view identity);
