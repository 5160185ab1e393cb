// Reading and setting the picture parameters of one display monitor's physical monitors.
#include "common/Settings.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorConfigApi.h"
#include "monitor/ParameterConversion.h"
#include "monitor/ReapplyRules.h"
#include "monitor/ReferenceRules.h"

#include <algorithm>
#include <type_traits>

namespace {

MC_GAIN_TYPE GainType(uint32_t channel) {
    return static_cast<MC_GAIN_TYPE>(channel);
}

MonitorParameter GainParameter(uint32_t channel) {
    return static_cast<MonitorParameter>(static_cast<uint32_t>(MonitorParameter::GainRed) + channel);
}

uint32_t ChannelOf(MonitorParameter parameter) {
    return static_cast<uint32_t>(parameter) - static_cast<uint32_t>(MonitorParameter::GainRed);
}

size_t RangeIndex(MonitorParameter parameter) {
    return static_cast<size_t>(parameter) - 1;
}

// The remembered minimum, current and maximum of brightness, contrast or a gain.
template <typename Physical> auto RangeOf(Physical& physical, MonitorParameter parameter) {
    using Word = std::conditional_t<std::is_const_v<Physical>, const SharedWord, SharedWord>;
    struct Range {
        Word& minimum;
        Word& current;
        Word& maximum;
    };
    switch (parameter) {
    case MonitorParameter::Brightness:
        return Range{physical.brightnessMinimum, physical.brightnessCurrent, physical.brightnessMaximum};
    case MonitorParameter::Contrast:
        return Range{physical.contrastMinimum, physical.contrastCurrent, physical.contrastMaximum};
    default: {
        const uint32_t channel = ChannelOf(parameter);
        return Range{physical.gainMinimum[channel], physical.gainCurrent[channel],
                     physical.gainMaximum[channel]};
    }
    }
}

// The calibrated share of brightness and contrast; none for the other parameters.
std::optional<ShareRange> ShareOf(const MonitorCalibration& calibration, MonitorParameter parameter) {
    switch (parameter) {
    case MonitorParameter::Brightness:
        return calibration.brightness;
    case MonitorParameter::Contrast:
        return calibration.contrast;
    default:
        return std::nullopt;
    }
}

// What a monitor answers for a range, in the interface's own word size.
struct DeviceAnswer {
    DWORD minimum = 0, current = 0, maximum = 0;
};

// The value a monitor reports now, for a read-back that must not replace the remembered
// value still to be delivered.
std::optional<uint32_t> CurrentOf(const std::optional<DeviceAnswer>& answer) {
    return answer ? std::optional<uint32_t>(answer->current) : std::nullopt;
}

// Asks one monitor over DDC/CI for the range of brightness, contrast or a gain.
std::optional<DeviceAnswer> QueryRange(MonitorConfigApi& api, const PhysicalMonitor& physical,
                                       MonitorParameter parameter) {
    DeviceAnswer answer;
    BOOL answered = FALSE;
    switch (parameter) {
    case MonitorParameter::Brightness:
        answered =
            api.GetMonitorBrightness(physical.handle, &answer.minimum, &answer.current, &answer.maximum);
        break;
    case MonitorParameter::Contrast:
        answered = api.GetMonitorContrast(physical.handle, &answer.minimum, &answer.current, &answer.maximum);
        break;
    default:
        answered = api.GetMonitorRedGreenOrBlueGain(physical.handle, GainType(ChannelOf(parameter)),
                                                    &answer.minimum, &answer.current, &answer.maximum);
        break;
    }
    return answered ? std::optional(answer) : std::nullopt;
}

// Remembers the range when the monitor answers; a failed call keeps what was remembered.
bool ReadRange(MonitorConfigApi& api, PhysicalMonitor& physical, MonitorParameter parameter) {
    const std::optional<DeviceAnswer> answer = QueryRange(api, physical, parameter);
    if (!answer) {
        return false;
    }
    auto range = RangeOf(physical, parameter);
    range.minimum = answer->minimum;
    range.current = answer->current;
    range.maximum = answer->maximum;
    physical.rangeRead[RangeIndex(parameter)] = 1;
    return true;
}

// Whether a value of the parameter may be sent: its range is known, or is read now.
bool HasOrReadsRange(MonitorConfigApi& api, PhysicalMonitor& physical, MonitorParameter parameter) {
    return physical.HasRange(parameter) || ReadRange(api, physical, parameter);
}

bool SendValue(MonitorConfigApi& api, const PhysicalMonitor& physical, MonitorParameter parameter,
               uint32_t device) {
    switch (parameter) {
    case MonitorParameter::Brightness:
        return api.SetMonitorBrightness(physical.handle, device) != FALSE;
    case MonitorParameter::Contrast:
        return api.SetMonitorContrast(physical.handle, device) != FALSE;
    default:
        return api.SetMonitorRedGreenOrBlueGain(physical.handle, GainType(ChannelOf(parameter)), device) !=
               FALSE;
    }
}

void ReadRanges(DisplayMonitor& display, MonitorParameter parameter) {
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(display.deviceLock);
    for (PhysicalMonitor& physical : display.physicalMonitors) {
        ReadRange(api, physical, parameter);
    }
}

// Sends the percentage to one monitor in its own range, and remembers what it accepted;
// a monitor whose range is not known is left alone.
// A monitor left out is never written; brightness and contrast go through its calibration.
// With `keepRefused` (a re-apply under way) a refused value is remembered all the same.
bool SendPercentToOne(MonitorConfigApi& api, PhysicalMonitor& physical, MonitorParameter parameter,
                      uint32_t percent, bool keepRefused) {
    if (physical.IsExcluded()) {
        return false;
    }
    SharedWord& refused = physical.lastSetRefused[RangeIndex(parameter)];
    if (!HasOrReadsRange(api, physical, parameter)) {
        refused = 1;
        return false;
    }
    auto range = RangeOf(physical, parameter);
    const uint32_t device = *physical.DeviceValueOf(parameter, percent);
    const bool accepted = SendValue(api, physical, parameter, device);
    refused = accepted ? 0 : 1;
    if (accepted || keepRefused) {
        range.current = device;
    }
    return accepted;
}

void SendPercent(DisplayMonitor& display, MonitorParameter parameter, uint32_t percent) {
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(display.deviceLock);
    for (PhysicalMonitor& physical : display.physicalMonitors) {
        SendPercentToOne(api, physical, parameter, percent, display.keepRefusedValues.load());
    }
}

struct SentValues {
    bool allAccepted = true; // brightness, contrast and every gain whose range is known
    bool anyAccepted = false;
};

// Sends one physical monitor's remembered values (the colour temperature's answer counts
// only as a sign of life). A monitor left out keeps what its own buttons set.
SentValues SendRememberedValuesOf(MonitorConfigApi& api, PhysicalMonitor& physical) {
    SentValues sent;
    if (physical.IsExcluded()) {
        return sent;
    }
    sent.anyAccepted =
        api.SetMonitorColorTemperature(
            physical.handle, static_cast<MC_COLOR_TEMPERATURE>(physical.colorTemperature.load())) != FALSE;
    for (uint32_t code = kFirstParameterCode;
         code < static_cast<uint32_t>(MonitorParameter::ColorTemperature); ++code) {
        const auto parameter = static_cast<MonitorParameter>(code);
        if (HasOrReadsRange(api, physical, parameter)) {
            const bool accepted = SendValue(api, physical, parameter, RangeOf(physical, parameter).current);
            sent.allAccepted = accepted && sent.allAccepted;
            sent.anyAccepted = accepted || sent.anyAccepted;
        }
    }
    return sent;
}

} // namespace

bool PhysicalMonitor::HasRange(MonitorParameter parameter) const {
    return parameter != MonitorParameter::ColorTemperature && rangeRead[RangeIndex(parameter)] != 0;
}

bool PhysicalMonitor::CanStandFor(MonitorParameter parameter) const {
    const MonitorCalibration own = Calibration();
    const std::optional<ShareRange> share = ShareOf(own, parameter);
    return HasRange(parameter) && !own.excluded && (!share || share->low < share->high);
}

uint32_t PhysicalMonitor::SharedPercent(MonitorParameter parameter) const {
    const uint32_t percent = Percent(parameter);
    const std::optional<ShareRange> share = ShareOf(Calibration(), parameter);
    return share ? SharedPercentOf(*share, percent).value_or(percent) : percent;
}

std::optional<DeviceRange> PhysicalMonitor::KnownRange(MonitorParameter parameter) const {
    if (!HasRange(parameter)) {
        return std::nullopt;
    }
    const auto range = RangeOf(*this, parameter);
    return DeviceRange{range.minimum, range.current, range.maximum};
}

std::optional<uint32_t> PhysicalMonitor::DeviceValueOf(MonitorParameter parameter,
                                                       uint32_t sharedPercent) const {
    if (!HasRange(parameter)) {
        return std::nullopt;
    }
    if (const std::optional<ShareRange> share = ShareOf(Calibration(), parameter)) {
        sharedPercent = MonitorPercentOf(*share, sharedPercent);
    }
    const auto range = RangeOf(*this, parameter);
    return PercentToDevice(range.minimum, range.maximum, sharedPercent);
}

uint32_t PhysicalMonitor::Percent(MonitorParameter parameter) const {
    const auto range = RangeOf(*this, parameter);
    return DeviceToPercent(range.minimum, range.current, range.maximum);
}

void DisplayMonitor::ReadBrightness() {
    if (isLaptopPanel) {
        // No device lock: the backlight is this thread's own, and its WMI calls dispatch
        // messages whose handlers may reach this display.
        if (ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight()) {
            for (size_t i = 0; i < physicalMonitors.size(); ++i) {
                PhysicalMonitor& physical = physicalMonitors[i];
                uint32_t minimum = 0;
                uint32_t maximum = 0;
                const uint32_t level = backlight->GetLevel(i, minimum, maximum);
                physical.brightnessMinimum = minimum;
                physical.brightnessMaximum = maximum;
                physical.brightnessCurrent = level;
                physical.rangeRead[RangeIndex(MonitorParameter::Brightness)] = 1;
            }
        }
        return;
    }
    ReadRanges(*this, MonitorParameter::Brightness);
}

void DisplayMonitor::ReadContrast() {
    ReadRanges(*this, MonitorParameter::Contrast);
}

void DisplayMonitor::ReadGain(uint32_t channel) {
    if (channel <= 2) {
        ReadRanges(*this, GainParameter(channel));
    }
}

void DisplayMonitor::ReadColorTemperature() {
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(deviceLock);
    for (PhysicalMonitor& physical : physicalMonitors) {
        MC_COLOR_TEMPERATURE preset = MC_COLOR_TEMPERATURE_UNKNOWN;
        if (api.GetMonitorColorTemperature(physical.handle, &preset)) {
            physical.colorTemperature = static_cast<uint32_t>(preset);
        }
    }
}

void DisplayMonitor::SetBrightness(uint32_t percent) {
    if (isLaptopPanel) {
        // No device lock, as in ReadBrightness.
        if (ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight()) {
            // Remembered like a monitor's accepted value, so that the start-up re-assertion
            // keeps the level the user chose instead of the one read before it was set.
            // One backlight: the panel's first monitor carries its calibration.
            const MonitorCalibration calibration =
                physicalMonitors.empty() ? MonitorCalibration{} : physicalMonitors.front().Calibration();
            uint32_t level = 0;
            if (!calibration.excluded && SUCCEEDED(backlight->SetLevelPercent(
                                             MonitorPercentOf(calibration.brightness, percent), &level))) {
                for (PhysicalMonitor& physical : physicalMonitors) {
                    physical.brightnessCurrent = level;
                }
            }
        }
    } else {
        SendPercent(*this, MonitorParameter::Brightness, percent);
    }
    WriteSettingDword(SettingNameOf(MonitorParameter::Brightness), percent);
}

void DisplayMonitor::SetContrast(uint32_t percent) {
    SendPercent(*this, MonitorParameter::Contrast, percent);
    WriteSettingDword(SettingNameOf(MonitorParameter::Contrast), percent);
}

void DisplayMonitor::SetGain(uint32_t channel, uint32_t percent) {
    if (channel > 2) {
        return;
    }
    SendPercent(*this, GainParameter(channel), percent);
    WriteSettingDword(SettingNameOf(GainParameter(channel)), percent);
}

void DisplayMonitor::SetColorTemperature(uint32_t preset) {
    {
        MonitorConfigApi& api = MonitorApi();
        std::lock_guard guard(deviceLock);
        for (PhysicalMonitor& physical : physicalMonitors) {
            if (physical.IsExcluded()) {
                continue;
            }
            if (preset == kNoColorTemperature) {
                physical.colorTemperature = kNoColorTemperature;
                continue;
            }
            const bool supported = preset <= kMaxColorTemperature &&
                                   (physical.supportedColorTemperatures & (1u << (preset - 1))) != 0;
            if (supported &&
                (api.SetMonitorColorTemperature(physical.handle, static_cast<MC_COLOR_TEMPERATURE>(preset)) ||
                 keepRefusedValues.load())) {
                physical.colorTemperature = preset;
            }
        }
    }
    WriteSettingDword(SettingNameOf(MonitorParameter::ColorTemperature), preset);
}

bool DisplayMonitor::SendPercentTo(PhysicalMonitor& physical, MonitorParameter parameter, uint32_t percent) {
    if (parameter == MonitorParameter::ColorTemperature) {
        return false;
    }
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(deviceLock);
    return SendPercentToOne(api, physical, parameter, percent, false);
}

ReapplyAttempt DisplayMonitor::SendRememberedValues(std::optional<uint32_t> resetsSeen) {
    MonitorConfigApi& api = MonitorApi();
    std::lock_guard guard(deviceLock);
    if (ResetSince(resetsSeen)) {
        return ReapplyAttempt::Accepted; // nothing left to deliver
    }
    SentValues all;
    for (PhysicalMonitor& physical : physicalMonitors) {
        const SentValues sent = SendRememberedValuesOf(api, physical);
        all.allAccepted = sent.allAccepted && all.allAccepted;
        all.anyAccepted = sent.anyAccepted || all.anyAccepted;
    }
    if (all.allAccepted) {
        return ReapplyAttempt::Accepted;
    }
    return all.anyAccepted ? ReapplyAttempt::Refused : ReapplyAttempt::Unanswered;
}

void DisplayMonitor::VerifyRememberedValues(std::optional<uint32_t> resetsSeen) {
    MonitorConfigApi& api = MonitorApi();
    for (PhysicalMonitor& physical : physicalMonitors) {
        for (uint32_t code = kFirstParameterCode;
             code < static_cast<uint32_t>(MonitorParameter::ColorTemperature); ++code) {
            const auto parameter = static_cast<MonitorParameter>(code);
            if (physical.IsExcluded() || !physical.HasRange(parameter) ||
                (isLaptopPanel && parameter == MonitorParameter::Brightness)) {
                continue;
            }
            for (uint32_t nudges = 0;; ++nudges) {
                std::lock_guard guard(deviceLock);
                if (ResetSince(resetsSeen)) {
                    return;
                }
                const auto range = RangeOf(physical, parameter);
                const uint32_t wanted = range.current;
                const NudgeDecision decision = DecideNudge(CurrentOf(QueryRange(api, physical, parameter)),
                                                           wanted, range.minimum, range.maximum, nudges);
                if (decision.action != NudgeDecision::Action::Nudge) {
                    break;
                }
                SendValue(api, physical, parameter, decision.beside);
                SendValue(api, physical, parameter, wanted);
            }
        }
    }
}

int DisplayMonitor::ReapplyAttempts() const {
    return isLaptopPanel ? 1 : kReapplyAttempts;
}

void DisplayMonitor::ReapplyRememberedValues() {
    for (int attempt = 1; attempt <= ReapplyAttempts(); ++attempt) {
        if (SendRememberedValues() == ReapplyAttempt::Accepted || attempt == ReapplyAttempts()) {
            return;
        }
        ::Sleep(static_cast<DWORD>(kReapplyPause.count()));
    }
}

void DisplayMonitor::ApplyCommands(const CoalescedCommands& latest) {
    if (latest[0]) {
        SetBrightness(*latest[0]);
    }
    if (latest[1]) {
        SetContrast(*latest[1]);
    }
    for (uint32_t channel = 0; channel < 3; ++channel) {
        if (latest[2 + channel]) {
            SetGain(channel, *latest[2 + channel]);
        }
    }
    if (latest[5]) {
        SetColorTemperature(*latest[5]);
    }
}

const PhysicalMonitor* DisplayMonitor::ReferenceMonitor(MonitorParameter parameter) const {
    std::vector<bool> hasRange;
    for (const PhysicalMonitor& physical : physicalMonitors) {
        hasRange.push_back(physical.CanStandFor(parameter));
    }
    const std::optional<ReferencePosition> position =
        ChooseReference(std::vector<std::vector<bool>>(1, hasRange));
    return position && position->monitor ? &physicalMonitors[*position->monitor] : nullptr;
}

bool DisplayMonitor::HasRange(MonitorParameter parameter) const {
    return std::any_of(physicalMonitors.begin(), physicalMonitors.end(),
                       [&](const PhysicalMonitor& physical) { return physical.CanStandFor(parameter); });
}

uint32_t DisplayMonitor::BrightnessPercent() const {
    const PhysicalMonitor* reference = ReferenceMonitor(MonitorParameter::Brightness);
    return reference ? reference->SharedPercent(MonitorParameter::Brightness) : 100;
}

uint32_t DisplayMonitor::ContrastPercent() const {
    const PhysicalMonitor* reference = ReferenceMonitor(MonitorParameter::Contrast);
    return reference ? reference->SharedPercent(MonitorParameter::Contrast) : 100;
}

uint32_t DisplayMonitor::GainPercent(uint32_t channel) const {
    const PhysicalMonitor* reference = channel <= 2 ? ReferenceMonitor(GainParameter(channel)) : nullptr;
    return reference ? reference->Percent(GainParameter(channel)) : 100;
}

uint32_t DisplayMonitor::ColorTemperaturePreset() const {
    return physicalMonitors.empty() ? kNoColorTemperature : physicalMonitors.front().colorTemperature.load();
}

uint32_t DisplayMonitor::NearestColorTemperature(uint32_t requested) const {
    std::vector<uint32_t> supportedSets;
    supportedSets.reserve(physicalMonitors.size());
    for (const PhysicalMonitor& physical : physicalMonitors) {
        supportedSets.push_back(physical.supportedColorTemperatures);
    }
    return ::NearestColorTemperature(requested, supportedSets);
}

std::optional<uint32_t> ReferencePercentIfAny(MonitorParameter parameter) {
    if (displayMonitors.empty()) {
        return std::nullopt;
    }
    if (parameter == MonitorParameter::ColorTemperature) {
        return displayMonitors.front()->ColorTemperaturePreset();
    }
    std::vector<std::vector<bool>> hasRange;
    for (const DisplayMonitor* display : displayMonitors) {
        std::vector<bool>& monitors = hasRange.emplace_back();
        for (const PhysicalMonitor& physical : display->physicalMonitors) {
            monitors.push_back(physical.CanStandFor(parameter));
        }
    }
    const std::optional<ReferencePosition> position = ChooseReference(hasRange);
    if (!position || !position->monitor) {
        return 100;
    }
    return displayMonitors[position->display]->physicalMonitors[*position->monitor].SharedPercent(parameter);
}

uint32_t ReferencePercent(MonitorParameter parameter) {
    return ReferencePercentIfAny(parameter).value_or(
        parameter == MonitorParameter::ColorTemperature ? kNoColorTemperature : 100);
}

uint32_t ReferenceColorTemperature() {
    return displayMonitors.empty() ? 0 : displayMonitors.front()->ColorTemperaturePreset();
}
