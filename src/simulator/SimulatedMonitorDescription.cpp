#include "simulator/SimulatedMonitorDescription.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace {

constexpr std::array<std::string_view, kSimulatedOperationCount> kOperationNames = {
    "caps",     "physical", "get-brightness", "set-brightness", "get-contrast", "set-contrast",
    "get-gain", "set-gain", "get-temp",       "set-temp",       "reset",        "reset-color",
};

// Thrown inside the parser only; ParseSimulatedSetup turns it into an error text.
struct DescriptionError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    for (std::string_view part : Split(text, ' ')) {
        for (std::string_view word : Split(part, '\t')) {
            if (!Trim(word).empty()) {
                words.push_back(Trim(word));
            }
        }
    }
    return words;
}

uint32_t ParseNumber(std::string_view text, std::string_view what) {
    uint32_t value = 0;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        throw DescriptionError("\"" + std::string(text) + "\" is not a number for " + std::string(what));
    }
    return value;
}

int32_t ParseSigned(std::string_view text, std::string_view what) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        throw DescriptionError("\"" + std::string(text) + "\" is not a number for " + std::string(what));
    }
    return value;
}

SimulatedRange ParseRange(std::string_view text, std::string_view what) {
    SimulatedRange range;
    const size_t dots = text.find("..");
    if (dots == std::string_view::npos) {
        range.current = ParseNumber(text, what);
    } else {
        const size_t colon = text.find(':', dots);
        if (colon == std::string_view::npos) {
            throw DescriptionError(std::string(what) + " needs MIN..MAX:CURRENT, got \"" + std::string(text) +
                                   "\"");
        }
        range.minimum = ParseNumber(text.substr(0, dots), what);
        range.maximum = ParseNumber(text.substr(dots + 2, colon - dots - 2), what);
        range.current = ParseNumber(text.substr(colon + 1), what);
    }
    return range;
}

uint32_t ParsePreset(std::string_view text) {
    const uint32_t preset = ParseNumber(text, "a colour temperature preset");
    if (preset > 8) {
        throw DescriptionError("colour temperature presets are 0 to 8, got " + std::string(text));
    }
    return preset;
}

uint32_t ParsePresetSet(std::string_view text) {
    if (text == "none") {
        return 0;
    }
    uint32_t bits = 0;
    for (std::string_view item : Split(text, ',')) {
        const uint32_t preset = ParsePreset(item);
        if (preset == 0) {
            throw DescriptionError("supported presets are 1 to 8");
        }
        bits |= 1u << (preset - 1);
    }
    return bits;
}

void ParseMonitorFailures(std::string_view text, SimulatedMonitorDescription& monitor) {
    for (std::string_view item : Split(text, ',')) {
        const size_t colon = item.find(':');
        const std::string_view name = item.substr(0, colon);
        size_t index = 0;
        while (index < kOperationNames.size() && kOperationNames[index] != name) {
            ++index;
        }
        if (index == kOperationNames.size()) {
            throw DescriptionError("unknown operation \"" + std::string(name) + "\" in fail=");
        }
        monitor.failures[index] =
            colon == std::string_view::npos ? kAlwaysFails : ParseNumber(item.substr(colon + 1), "fail=");
    }
}

void ParseGeometry(std::string_view text, SimulatedDisplayDescription& display) {
    // WIDTHxHEIGHT[+X+Y], where X and Y may be negative: +-1920+0.
    const size_t x = text.find('x');
    if (x == std::string_view::npos) {
        throw DescriptionError("display geometry is WIDTHxHEIGHT[+X+Y], got \"" + std::string(text) + "\"");
    }
    const size_t plus = text.find('+', x);
    display.width = ParseSigned(text.substr(0, x), "the display width");
    display.height = ParseSigned(text.substr(x + 1, plus == std::string_view::npos ? plus : plus - x - 1),
                                 "the display height");
    if (display.width <= 0 || display.height <= 0) {
        throw DescriptionError("a display needs a positive size");
    }
    if (plus != std::string_view::npos) {
        const size_t secondPlus = text.find('+', plus + 2);
        if (secondPlus == std::string_view::npos) {
            throw DescriptionError("display position is +X+Y, got \"" + std::string(text) + "\"");
        }
        display.left = ParseSigned(text.substr(plus + 1, secondPlus - plus - 1), "the display position");
        display.top = ParseSigned(text.substr(secondPlus + 1), "the display position");
    }
}

std::pair<std::string_view, std::string_view> KeyValue(std::string_view word) {
    const size_t equals = word.find('=');
    if (equals == std::string_view::npos) {
        throw DescriptionError("expected key=value, got \"" + std::string(word) + "\"");
    }
    return {word.substr(0, equals), word.substr(equals + 1)};
}

SimulatedDisplayDescription NextDisplay(const std::vector<SimulatedDisplayDescription>& displays) {
    SimulatedDisplayDescription display;
    if (!displays.empty()) {
        display.left = displays.back().left + displays.back().width;
        display.top = displays.back().top;
    }
    return display;
}

void ParseDisplay(const std::vector<std::string_view>& words, SimulatedSetup& setup) {
    SimulatedDisplayDescription display = NextDisplay(setup.displays);
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i].find('=') == std::string_view::npos) {
            ParseGeometry(words[i], display);
            continue;
        }
        const auto [key, value] = KeyValue(words[i]);
        if (key != "fail") {
            throw DescriptionError("unknown display key \"" + std::string(key) + "\"");
        }
        for (std::string_view item : Split(value, ',')) {
            if (item == "count") {
                display.countFails = true;
            } else if (item == "info") {
                display.infoFails = true;
            } else {
                throw DescriptionError("a display can fail \"count\" or \"info\", not \"" +
                                       std::string(item) + "\"");
            }
        }
    }
    setup.displays.push_back(std::move(display));
}

void ParseMonitor(const std::vector<std::string_view>& words, SimulatedSetup& setup) {
    if (setup.displays.empty()) {
        setup.displays.push_back(NextDisplay(setup.displays));
    }
    SimulatedMonitorDescription monitor;
    for (size_t i = 1; i < words.size(); ++i) {
        const auto [key, value] = KeyValue(words[i]);
        if (key == "name") {
            monitor.name.assign(value);
            for (char& c : monitor.name) {
                c = c == '_' ? ' ' : c;
            }
        } else if (key == "id") {
            monitor.id.assign(value);
            std::replace(monitor.id.begin(), monitor.id.end(), '_', ' ');
        } else if (key == "brightness") {
            monitor.brightness = ParseRange(value, key);
        } else if (key == "contrast") {
            monitor.contrast = ParseRange(value, key);
        } else if (key == "red") {
            monitor.gain[0] = ParseRange(value, key);
        } else if (key == "green") {
            monitor.gain[1] = ParseRange(value, key);
        } else if (key == "blue") {
            monitor.gain[2] = ParseRange(value, key);
        } else if (key == "temp") {
            monitor.colorTemperature = ParsePreset(value);
        } else if (key == "temps") {
            monitor.supportedColorTemperatures = ParsePresetSet(value);
        } else if (key == "caps") {
            monitor.capabilities = ParseNumber(value, key);
        } else if (key == "latency") {
            monitor.getLatencyMs = monitor.setLatencyMs = monitor.capabilitiesLatencyMs =
                ParseNumber(value, key);
        } else if (key == "get-latency") {
            monitor.getLatencyMs = ParseNumber(value, key);
        } else if (key == "set-latency") {
            monitor.setLatencyMs = ParseNumber(value, key);
        } else if (key == "caps-latency") {
            monitor.capabilitiesLatencyMs = ParseNumber(value, key);
        } else if (key == "fail") {
            ParseMonitorFailures(value, monitor);
        } else if (key == "deaf") {
            monitor.deafMs = ParseNumber(value, key);
        } else if (key == "ignore") {
            monitor.ignoredSets = ParseNumber(value, key);
        } else if (key == "sets") {
            monitor.setCount = ParseNumber(value, key);
        } else {
            throw DescriptionError("unknown monitor key \"" + std::string(key) + "\"");
        }
    }
    setup.displays.back().monitors.push_back(std::move(monitor));
}

void ParseLaptop(const std::vector<std::string_view>& words, SimulatedSetup& setup) {
    SimulatedLaptopPanelDescription& laptop = setup.laptop;
    laptop = SimulatedLaptopPanelDescription{};
    laptop.present = true;
    laptop.levels = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    for (size_t i = 1; i < words.size(); ++i) {
        const auto [key, value] = KeyValue(words[i]);
        if (key == "levels") {
            laptop.levels.clear();
            if (value != "none") {
                for (std::string_view item : Split(value, ',')) {
                    const uint32_t level = ParseNumber(item, "a backlight level");
                    if (level > 255) {
                        throw DescriptionError("backlight levels are 0 to 255");
                    }
                    laptop.levels.push_back(static_cast<uint8_t>(level));
                }
            }
        } else if (key == "current") {
            const uint32_t level = ParseNumber(value, key);
            if (level > 255) {
                throw DescriptionError("backlight levels are 0 to 255");
            }
            laptop.currentLevel = static_cast<uint8_t>(level);
        } else if (key == "fail") {
            for (std::string_view item : Split(value, ',')) {
                if (item == "driver") {
                    laptop.driverRequestFails = true;
                } else if (item == "wmi") {
                    laptop.wmiMissing = true;
                } else if (item == "get") {
                    laptop.getFails = true;
                } else if (item == "set") {
                    laptop.setFails = true;
                } else {
                    throw DescriptionError("a laptop panel can fail driver, wmi, get or set, not \"" +
                                           std::string(item) + "\"");
                }
            }
        } else {
            throw DescriptionError("unknown laptop key \"" + std::string(key) + "\"");
        }
    }
}

void AppendRange(std::string& out, std::string_view key, const SimulatedRange& range) {
    out += ' ';
    out += key;
    out += '=' + std::to_string(range.minimum) + ".." + std::to_string(range.maximum) + ':' +
           std::to_string(range.current);
}

} // namespace

std::string_view SimulatedOperationName(SimulatedOperation operation) {
    return kOperationNames[static_cast<size_t>(operation)];
}

SimulatedSetupParse ParseSimulatedSetup(std::string_view description) {
    SimulatedSetupParse result;
    if (Trim(description).empty()) {
        result.error = "the description is empty (write \"none\" for a machine without displays)";
        return result;
    }
    SimulatedSetup setup;
    bool sawNone = false;
    size_t statementNumber = 0;
    for (std::string_view statement : Split(description, ';')) {
        ++statementNumber;
        const std::vector<std::string_view> words = Words(statement);
        if (words.empty() || words[0].front() == '#') {
            continue; // a comment
        }
        try {
            if (words[0] == "display") {
                ParseDisplay(words, setup);
            } else if (words[0] == "monitor") {
                ParseMonitor(words, setup);
            } else if (words[0] == "laptop") {
                ParseLaptop(words, setup);
            } else if (words[0] == "none" && words.size() == 1) {
                sawNone = true;
            } else {
                throw DescriptionError("unknown statement \"" + std::string(words[0]) +
                                       "\" (expected display, monitor, laptop or none)");
            }
        } catch (const DescriptionError& error) {
            result.error = "statement " + std::to_string(statementNumber) + " (\"" +
                           std::string(Trim(statement)) + "\"): " + error.what();
            return result;
        }
    }
    if (sawNone && !setup.displays.empty()) {
        result.error = "\"none\" cannot stand beside displays or monitors";
        return result;
    }
    result.setup = std::move(setup);
    return result;
}

std::string FormatSimulatedSetup(const SimulatedSetup& setup) {
    std::string out;
    if (setup.displays.empty()) {
        out += "none\n";
    }
    for (const SimulatedDisplayDescription& display : setup.displays) {
        out += "display " + std::to_string(display.width) + 'x' + std::to_string(display.height) + '+' +
               std::to_string(display.left) + '+' + std::to_string(display.top);
        if (display.countFails || display.infoFails) {
            out += display.countFails && display.infoFails
                       ? " fail=count,info"
                       : (display.countFails ? " fail=count" : " fail=info");
        }
        out += ";\n";
        for (const SimulatedMonitorDescription& monitor : display.monitors) {
            std::string name = monitor.name;
            for (char& c : name) {
                c = c == ' ' ? '_' : c;
            }
            out += "monitor name=" + name;
            AppendRange(out, "brightness", monitor.brightness);
            AppendRange(out, "contrast", monitor.contrast);
            AppendRange(out, "red", monitor.gain[0]);
            AppendRange(out, "green", monitor.gain[1]);
            AppendRange(out, "blue", monitor.gain[2]);
            out += " temp=" + std::to_string(monitor.colorTemperature);
            out += " caps=" + std::to_string(monitor.capabilities);
            std::string presets;
            for (uint32_t preset = 1; preset <= 8; ++preset) {
                if (monitor.supportedColorTemperatures & (1u << (preset - 1))) {
                    presets += presets.empty() ? "" : ",";
                    presets += std::to_string(preset);
                }
            }
            out += " temps=" + (presets.empty() ? std::string("none") : presets);
            // Deafness and ignored sets are options, not state: a state file read back
            // takes them only where a test wrote them.
            out += " sets=" + std::to_string(monitor.setCount);
            if (!monitor.id.empty()) {
                std::string id = monitor.id;
                std::replace(id.begin(), id.end(), ' ', '_');
                out += " id=" + id;
            }
            out += ";\n";
        }
    }
    if (setup.laptop.present) {
        out += "laptop levels=";
        std::string levels;
        for (uint8_t level : setup.laptop.levels) {
            levels += levels.empty() ? "" : ",";
            levels += std::to_string(level);
        }
        out += (levels.empty() ? std::string("none") : levels) +
               " current=" + std::to_string(setup.laptop.currentLevel) + ";\n";
    }
    return out;
}
