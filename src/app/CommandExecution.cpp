#include "app/CommandExecution.h"

#include "monitor/CalibrationChange.h"
#include "monitor/CalibrationStore.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/MonitorConfigApi.h"
#include "monitor/ParameterConversion.h"

#include <algorithm>
#include <mutex>

namespace {

// One physical monitor as the command line numbers them: every display's physical
// monitors in the panel's order.
struct MonitorPlace {
    DisplayMonitor* display = nullptr;
    PhysicalMonitor* physical = nullptr;
};

std::vector<MonitorPlace> Places() {
    std::vector<MonitorPlace> places;
    for (DisplayMonitor* display : displayMonitors) {
        for (PhysicalMonitor& physical : display->physicalMonitors) {
            places.push_back({display, &physical});
        }
    }
    return places;
}

std::optional<ParameterReading> ReadingOfRange(const PhysicalMonitor& monitor, MonitorParameter parameter) {
    const std::optional<DeviceRange> range = monitor.KnownRange(parameter);
    return range ? ReadingOf(range->minimum, range->current, range->maximum) : std::nullopt;
}

MonitorReading ReadingOfPlace(const MonitorPlace& place, uint32_t index) {
    const PhysicalMonitor& monitor = *place.physical;
    MonitorReading reading;
    reading.index = index;
    reading.name =
        monitor.description[0] ? std::wstring(monitor.description) : L"Monitor " + std::to_wstring(index);
    reading.laptop = place.display->isLaptopPanel;
    for (uint32_t code = kFirstParameterCode;
         code < static_cast<uint32_t>(MonitorParameter::ColorTemperature); ++code) {
        reading.levels[code - 1] = ReadingOfRange(monitor, static_cast<MonitorParameter>(code));
    }
    reading.preset = monitor.colorTemperature;
    reading.supportedPresets = monitor.supportedColorTemperatures;
    reading.calibration = monitor.Calibration();
    return reading;
}

bool Supports(const PhysicalMonitor& monitor, uint32_t preset) {
    return preset >= 1 && preset <= kMaxColorTemperature &&
           (monitor.supportedColorTemperatures & (1u << (preset - 1))) != 0;
}

// Whether the monitor now holds `value` (after a set operation sent it). A preset the
// monitor does not offer was not sent and counts as taken; so does a laptop panel's
// brightness, whose levels are the driver's and not a range. A range never read was not
// sent to and is refused; a monitor left out takes no part.
bool Holds(const MonitorPlace& place, MonitorParameter parameter, uint32_t value) {
    PhysicalMonitor& monitor = *place.physical;
    if (monitor.IsExcluded()) {
        return true; // left out: the shared values are not its own
    }
    if (parameter == MonitorParameter::ColorTemperature) {
        return value == kNoColorTemperature || !Supports(monitor, value) || monitor.colorTemperature == value;
    }
    if (parameter == MonitorParameter::Brightness && place.display->isLaptopPanel) {
        return true;
    }
    const std::optional<DeviceRange> range = monitor.KnownRange(parameter);
    const std::optional<uint32_t> device = monitor.DeviceValueOf(parameter, value);
    return monitor.lastSetRefused[static_cast<size_t>(parameter) - 1] == 0 && range && device &&
           range->current == *device;
}

// Asks the display for the parameter when the monitor never told its range, so that a
// step starts from what the monitor holds.
void ReadIfUnread(const MonitorPlace& place, MonitorParameter parameter) {
    if (parameter == MonitorParameter::ColorTemperature || place.physical->HasRange(parameter)) {
        return;
    }
    switch (parameter) {
    case MonitorParameter::Brightness:
        place.display->ReadBrightness();
        break;
    case MonitorParameter::Contrast:
        place.display->ReadContrast();
        break;
    default:
        place.display->ReadGain(static_cast<uint32_t>(parameter) -
                                static_cast<uint32_t>(MonitorParameter::GainRed));
        break;
    }
}

// The monitor's own value of a parameter: a percentage, or its preset.
uint32_t CurrentValue(const MonitorPlace& place, MonitorParameter parameter) {
    if (parameter == MonitorParameter::ColorTemperature) {
        return place.physical->colorTemperature;
    }
    return place.physical->Percent(parameter);
}

// One monitor alone, not stored: the shared values come back with the next re-apply.
bool SetOneMonitor(const MonitorPlace& place, MonitorParameter parameter, uint32_t value) {
    PhysicalMonitor& monitor = *place.physical;
    if (parameter == MonitorParameter::Brightness && place.display->isLaptopPanel) {
        // No device lock: the backlight's WMI calls dispatch messages.
        const ComPtr<LaptopBacklight> backlight = CurrentLaptopBacklight();
        uint32_t level = 0;
        if (!backlight || FAILED(backlight->SetLevelPercent(value, &level))) {
            return false;
        }
        monitor.brightnessCurrent = level;
        return true;
    }
    if (parameter != MonitorParameter::ColorTemperature) {
        return place.display->SendPercentTo(monitor, parameter, value);
    }
    if (value == kNoColorTemperature) {
        monitor.colorTemperature = kNoColorTemperature;
        return true;
    }
    std::lock_guard guard(place.display->deviceLock);
    if (!MonitorApi().SetMonitorColorTemperature(monitor.handle, static_cast<MC_COLOR_TEMPERATURE>(value))) {
        return false;
    }
    monitor.colorTemperature = value;
    return true;
}

// Every monitor, as a slider move does: each display in its own range, stored.
void SetEveryMonitor(MonitorParameter parameter, uint32_t value, const std::atomic<bool>* cancelled) {
    for (DisplayMonitor* display : displayMonitors) {
        if (cancelled && cancelled->load()) {
            return;
        }
        switch (parameter) {
        case MonitorParameter::Brightness:
            display->SetBrightness(value);
            break;
        case MonitorParameter::Contrast:
            display->SetContrast(value);
            break;
        case MonitorParameter::ColorTemperature:
            display->SetColorTemperature(value);
            break;
        default:
            display->SetGain(
                static_cast<uint32_t>(parameter) - static_cast<uint32_t>(MonitorParameter::GainRed), value);
            break;
        }
    }
}

const char* NameOf(MonitorParameter parameter) {
    static constexpr const char* kNames[] = {"brightness", "contrast", "red", "green", "blue", "temperature"};
    return kNames[static_cast<uint32_t>(parameter) - 1];
}

std::string MonitorLabel(const MonitorReading& reading) {
    return Joined({"monitor ", std::to_string(reading.index), " (", NameUtf8(reading.name), ")"});
}

// "calibrate", "exclude" and "include": the monitor's new calibration is used and stored
// at once, and a monitor taken back in gets the shared values through it.
CommandAnswerMessage Calibrate(const CommandRequest& request, const MonitorPlace& place,
                               MonitorReading reading) {
    MonitorCalibration& calibration = reading.calibration;
    calibration.brightness = request.brightnessShare.value_or(calibration.brightness);
    calibration.contrast = request.contrastShare.value_or(calibration.contrast);
    if (request.verb != CommandVerb::Calibrate) {
        calibration.excluded = request.verb == CommandVerb::Exclude;
    }
    if (!ApplyCalibration(*place.display, *place.physical, calibration, true)) {
        return {kExitRefused, "",
                Joined({"orvalux: the calibration of ", MonitorLabel(reading), " could not be stored.\n"})};
    }
    return {kExitDone, CalibrationLine(reading), ""};
}

} // namespace

CommandAnswerMessage ExecuteCommand(const CommandRequest& request, const SharedValueShown& shown,
                                    const std::atomic<bool>* cancelled) {
    const std::vector<MonitorPlace> places = Places();
    std::vector<MonitorReading> readings;
    for (size_t i = 0; i < places.size(); ++i) {
        readings.push_back(ReadingOfPlace(places[i], static_cast<uint32_t>(i + 1)));
    }
    if (places.empty()) {
        return {kExitNoMonitor, "", "orvalux: no monitor found.\n"};
    }
    std::optional<size_t> selected;
    if (request.monitor) {
        selected = SelectMonitor(readings, *request.monitor);
        if (!selected) {
            return {kExitNoMonitor, "",
                    Joined({"orvalux: no monitor \"", NameUtf8(request.monitor->substr(0, 40)),
                            "\"; \"orvalux.exe list\" shows the monitors.\n"})};
        }
    }

    if (request.verb == CommandVerb::Calibrate || request.verb == CommandVerb::Exclude ||
        request.verb == CommandVerb::Include) {
        return Calibrate(request, places[*selected], readings[*selected]);
    }
    if (request.verb != CommandVerb::Set) {
        if (selected) {
            readings = {readings[*selected]};
        }
        if (request.json) {
            return {kExitDone, MonitorsJson(readings), ""};
        }
        return {kExitDone,
                request.verb == CommandVerb::List ? MonitorsTable(readings) : ValuesTable(readings), ""};
    }

    // In the fixed order of a batch of commands: the colour temperature last.
    std::vector<ValueChange> changes = request.changes;
    std::stable_sort(changes.begin(), changes.end(),
                     [](const ValueChange& a, const ValueChange& b) { return a.parameter < b.parameter; });
    CommandAnswerMessage answer;
    for (const ValueChange& change : changes) {
        const MonitorParameter parameter = change.parameter;
        const bool preset = parameter == MonitorParameter::ColorTemperature;
        if (cancelled && cancelled->load()) {
            answer.exitCode = kExitRefused;
            answer.error += Joined({"orvalux: the monitors changed before ", NameOf(parameter),
                                    " was set; run the command again.\n"});
            continue;
        }
        if (selected) {
            const MonitorPlace& place = places[*selected];
            ReadIfUnread(place, parameter);
            uint32_t value = ResolveChange(change, CurrentValue(place, parameter));
            if (preset) {
                const uint32_t supported[] = {place.physical->supportedColorTemperatures};
                value = NearestColorTemperature(value, supported);
            }
            const std::string label = MonitorLabel(readings[*selected]);
            if (SetOneMonitor(place, parameter, value)) {
                answer.output += Joined({label, ": ", NameOf(parameter), " ", std::to_string(value), "\n"});
            } else {
                answer.exitCode = kExitRefused;
                answer.error += Joined(
                    {"orvalux: ", label, " refused ", NameOf(parameter), " ", std::to_string(value), ".\n"});
            }
            continue;
        }
        // As the hotkeys do: a step starts from the reference monitor's value.
        uint32_t value =
            ResolveChange(change, preset ? ReferenceColorTemperature() : ReferencePercent(parameter));
        if (preset) {
            value = displayMonitors.front()->NearestColorTemperature(value);
        }
        SetEveryMonitor(parameter, value, cancelled);
        if (shown) {
            shown(parameter, value);
        }
        answer.output += Joined({NameOf(parameter), " ", std::to_string(value), "\n"});
        for (size_t i = 0; i < places.size(); ++i) {
            if (!Holds(places[i], parameter, value)) {
                answer.exitCode = kExitRefused;
                answer.error += Joined({"orvalux: ", MonitorLabel(readings[i]), " refused ",
                                        NameOf(parameter), " ", std::to_string(value), ".\n"});
            }
        }
    }
    return answer;
}
