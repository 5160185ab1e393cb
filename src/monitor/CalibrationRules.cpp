#include "monitor/CalibrationRules.h"

#include <algorithm>
#include <cstdio>

namespace {

// A registry key name holds at most 255 characters.
constexpr size_t kMaxKeyName = 255;
constexpr size_t kEdidSize = 128;

std::wstring Hex(uint64_t value, int digits) {
    std::wstring text(static_cast<size_t>(digits), L'0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) {
        text[static_cast<size_t>(i)] = L"0123456789ABCDEF"[value & 0xF];
    }
    return text;
}

bool IsWholeEdid(const std::vector<uint8_t>& edid) {
    static constexpr uint8_t kHeader[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    if (edid.size() < kEdidSize || !std::equal(std::begin(kHeader), std::end(kHeader), edid.begin())) {
        return false;
    }
    uint8_t sum = 0;
    for (size_t i = 0; i < kEdidSize; ++i) {
        sum = static_cast<uint8_t>(sum + edid[i]);
    }
    return sum == 0;
}

} // namespace

std::optional<ShareRange> MakeShareRange(int64_t low, int64_t high) {
    if (low < 0 || high > 100 || low > high) {
        return std::nullopt;
    }
    return ShareRange{static_cast<uint32_t>(low), static_cast<uint32_t>(high)};
}

uint32_t MonitorPercentOf(ShareRange range, uint32_t shared) {
    return range.low + std::min<uint32_t>(shared, 100) * (range.high - range.low) / 100;
}

std::optional<uint32_t> SharedPercentOf(ShareRange range, uint32_t monitorPercent) {
    if (range.low >= range.high) {
        return std::nullopt;
    }
    if (monitorPercent <= range.low) {
        return 0;
    }
    if (monitorPercent >= range.high) {
        return 100;
    }
    const uint32_t width = range.high - range.low;
    return ((monitorPercent - range.low) * 100 + width - 1) / width;
}

uint32_t PackCalibration(const MonitorCalibration& c) {
    return c.brightness.low | c.brightness.high << 7 | c.contrast.low << 14 | c.contrast.high << 21 |
           (c.excluded ? 1u : 0u) << 28;
}

MonitorCalibration UnpackCalibration(uint32_t word) {
    const auto part = [word](int shift) { return (word >> shift) & 0x7F; };
    MonitorCalibration c;
    c.brightness = MakeShareRange(part(0), part(7)).value_or(ShareRange{});
    c.contrast = MakeShareRange(part(14), part(21)).value_or(ShareRange{});
    c.excluded = (word >> 28 & 1) != 0;
    return c;
}

MonitorCalibration CalibrationFromStored(const StoredCalibration& stored) {
    const auto pair = [](const StoredNumber& low, const StoredNumber& high) {
        if (!low || !high) {
            return ShareRange{};
        }
        return MakeShareRange(*low, *high).value_or(ShareRange{});
    };
    MonitorCalibration calibration;
    calibration.brightness = pair(stored.brightnessLow, stored.brightnessHigh);
    calibration.contrast = pair(stored.contrastLow, stored.contrastHigh);
    calibration.excluded = stored.excluded == 1u;
    return calibration;
}

std::wstring MonitorIdentity(const MonitorFacts& facts) {
    if (IsWholeEdid(facts.edid)) {
        const std::vector<uint8_t>& e = facts.edid;
        const uint32_t serial = e[12] | e[13] << 8 | e[14] << 16 | static_cast<uint32_t>(e[15]) << 24;
        if (serial != 0) {
            // Three letters of five bits each, big-endian, 1 = 'A'.
            const uint32_t maker = static_cast<uint32_t>(e[8]) << 8 | e[9];
            std::wstring letters;
            for (const int shift : {10, 5, 0}) {
                letters += static_cast<wchar_t>(L'A' - 1 + ((maker >> shift) & 0x1F));
            }
            const uint32_t product = e[10] | e[11] << 8;
            return L"EDID " + letters + L" " + Hex(product, 4) + L" " + Hex(serial, 8);
        }
    }
    return facts.friendlyName.empty() ? facts.devicePath : facts.devicePath + L" " + facts.friendlyName;
}

std::wstring CalibrationKeyName(std::wstring_view identity) {
    std::wstring name;
    for (const wchar_t c : identity) {
        if (c == L'\\' || c == L'%' || c == L'#' || c < 0x20 || c == 0x7F) {
            name += L'%';
            name += Hex(c, 4);
        } else {
            name += c;
        }
    }
    if (name.empty()) {
        return L"%0000";
    }
    if (name.size() <= kMaxKeyName) {
        return name;
    }
    // FNV-1a over the identity's code units.
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const wchar_t c : identity) {
        hash = (hash ^ static_cast<uint16_t>(c)) * 0x100000001B3ull;
    }
    const std::wstring tail = L"#" + Hex(hash, 16);
    name.resize(kMaxKeyName - tail.size());
    // A cut through the middle of an escape would make the name ambiguous.
    const size_t escape = name.rfind(L'%');
    if (escape != std::wstring::npos && escape + 5 > name.size()) {
        name.resize(escape);
    }
    return name + tail;
}
