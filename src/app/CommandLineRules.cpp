#include "app/CommandLineRules.h"

#include "monitor/ParameterConversion.h"

#include <algorithm>

namespace {

struct ParameterWord {
    std::wstring_view word;
    MonitorParameter parameter;
};
constexpr ParameterWord kParameterWords[] = {
    {L"brightness", MonitorParameter::Brightness}, {L"b", MonitorParameter::Brightness},
    {L"contrast", MonitorParameter::Contrast},     {L"c", MonitorParameter::Contrast},
    {L"red", MonitorParameter::GainRed},           {L"green", MonitorParameter::GainGreen},
    {L"blue", MonitorParameter::GainBlue},         {L"temperature", MonitorParameter::ColorTemperature},
};

// Names in the answers, in the order of the parameter codes.
constexpr const char* kParameterNames[] = {"brightness", "contrast", "red", "green", "blue", "temperature"};

const char* NameOf(MonitorParameter parameter) {
    return kParameterNames[static_cast<uint32_t>(parameter) - 1];
}

// Only A to Z fold: the words are English, and a locale-aware comparison would let other
// letters match.
wchar_t FoldAsciiLetter(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsFolding(std::wstring_view text, std::wstring_view other) {
    return text.size() == other.size() &&
           std::equal(text.begin(), text.end(), other.begin(),
                      [](wchar_t a, wchar_t b) { return FoldAsciiLetter(a) == FoldAsciiLetter(b); });
}

bool IsHelpWord(std::wstring_view word) {
    return EqualsFolding(word, L"--help") || EqualsFolding(word, L"-h") || word == L"-?" || word == L"/?" ||
           EqualsFolding(word, L"help");
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// A word as a message quotes it: a megabyte of junk is shown by its start.
std::string Quoted(std::wstring_view word) {
    constexpr size_t kShown = 40;
    return Joined({"\"", NameUtf8(word.substr(0, kShown)), word.size() > kShown ? "...\"" : "\""});
}

ParsedCommand Failure(std::string message) {
    return ParsedCommand{std::nullopt, std::move(message)};
}

// "N", "+N" or "-N" with N at most `limit`; none for anything else.
std::optional<ValueChange> ParseAmount(std::wstring_view word, uint32_t limit, bool signAllowed) {
    ValueChange change;
    int sign = 1;
    if (signAllowed && !word.empty() && (word.front() == L'+' || word.front() == L'-')) {
        change.relative = true;
        sign = word.front() == L'-' ? -1 : 1;
        word.remove_prefix(1);
    }
    if (word.empty() || word.size() > 3) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const wchar_t c : word) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint32_t>(c - L'0');
    }
    if (value > limit) {
        return std::nullopt;
    }
    change.amount = sign * static_cast<int32_t>(value);
    return change;
}

// "LOW..HIGH" with 0 <= LOW <= HIGH <= 100.
std::optional<ShareRange> ParseShare(std::wstring_view word) {
    const size_t dots = word.find(L"..");
    if (dots == std::wstring_view::npos) {
        return std::nullopt;
    }
    const std::optional<ValueChange> low = ParseAmount(word.substr(0, dots), 100, false);
    const std::optional<ValueChange> high = ParseAmount(word.substr(dots + 2), 100, false);
    if (!low || !high) {
        return std::nullopt;
    }
    return MakeShareRange(low->amount, high->amount);
}

// One row of a table: its cells, UTF-8.
using Row = std::vector<std::string>;

size_t DisplayWidth(const std::string& text) {
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Table(const std::vector<Row>& rows) {
    std::vector<size_t> widths;
    for (const Row& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], DisplayWidth(row[i]));
        }
    }
    std::string text;
    for (const Row& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            text += row[i];
            if (i + 1 < row.size()) {
                text.append(widths[i] - DisplayWidth(row[i]) + 2, ' ');
            }
        }
        text += '\n';
    }
    return text;
}

std::string PresetList(uint32_t supported) {
    std::string text;
    for (uint32_t preset = 1; preset <= kMaxColorTemperature; ++preset) {
        if (supported & (1u << (preset - 1))) {
            if (!text.empty()) {
                text += ',';
            }
            text += std::to_string(preset);
        }
    }
    return text;
}

uint32_t PercentOf(const ParameterReading& reading) {
    return DeviceToPercent(reading.minimum, reading.current, reading.maximum);
}

std::string ShareJson(const ShareRange& share) {
    return Joined({"{\"low\":", std::to_string(share.low), ",\"high\":", std::to_string(share.high), "}"});
}

std::string ShareText(const ShareRange& share) {
    return Joined({std::to_string(share.low), "..", std::to_string(share.high)});
}

void AppendJsonString(std::string& out, const std::string& utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace

std::vector<std::wstring> SplitArguments(std::wstring_view arguments) {
    std::vector<std::wstring> words;
    std::wstring word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < arguments.size();) {
        const wchar_t c = arguments[i];
        if (c == L'\\') {
            size_t backslashes = 0;
            while (i < arguments.size() && arguments[i] == L'\\') {
                ++backslashes;
                ++i;
            }
            inWord = true;
            if (i < arguments.size() && arguments[i] == L'"') {
                word.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    word += L'"';
                    ++i;
                }
            } else {
                word.append(backslashes, L'\\');
            }
        } else if (c == L'"') {
            quoted = !quoted;
            inWord = true;
            ++i;
        } else if ((c == L' ' || c == L'\t') && !quoted) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            ++i;
        } else {
            word += c;
            inWord = true;
            ++i;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

bool IsCommandLineRequest(std::wstring_view arguments) {
    // Only the first word is looked at: a megabyte of text is not split for it.
    const size_t start = arguments.find_first_not_of(L" \t");
    if (start == std::wstring_view::npos) {
        return false;
    }
    arguments.remove_prefix(start);
    const std::wstring_view first = arguments.substr(0, arguments.find_first_of(L" \t"));
    return EqualsFolding(first, L"set") || EqualsFolding(first, L"get") || EqualsFolding(first, L"list") ||
           EqualsFolding(first, L"calibrate") || EqualsFolding(first, L"exclude") ||
           EqualsFolding(first, L"include") || IsHelpWord(first) || first.front() == L'-';
}

ParsedCommand ParseCommandLine(std::wstring_view arguments) {
    if (arguments.size() > kMaxArgumentText) {
        return Failure("The command line is too long.");
    }
    const std::vector<std::wstring> words = SplitArguments(arguments);
    if (words.empty()) {
        return Failure("No command given.");
    }
    if (std::any_of(words.begin(), words.end(), [](const std::wstring& word) { return IsHelpWord(word); })) {
        return ParsedCommand{CommandRequest{}, {}};
    }
    CommandRequest request;
    const std::wstring& verb = words.front();
    if (EqualsFolding(verb, L"set")) {
        request.verb = CommandVerb::Set;
    } else if (EqualsFolding(verb, L"get")) {
        request.verb = CommandVerb::Get;
    } else if (EqualsFolding(verb, L"list")) {
        request.verb = CommandVerb::List;
    } else if (EqualsFolding(verb, L"calibrate")) {
        request.verb = CommandVerb::Calibrate;
    } else if (EqualsFolding(verb, L"exclude")) {
        request.verb = CommandVerb::Exclude;
    } else if (EqualsFolding(verb, L"include")) {
        request.verb = CommandVerb::Include;
    } else {
        return Failure(Joined({"Unknown command ", Quoted(verb), "."}));
    }
    for (size_t i = 1; i < words.size(); ++i) {
        const std::wstring& word = words[i];
        if (EqualsFolding(word, L"--monitor") && request.verb != CommandVerb::List) {
            if (request.monitor) {
                return Failure("--monitor is given twice.");
            }
            if (i + 1 >= words.size() || words[i + 1].empty()) {
                return Failure("--monitor needs a monitor number or name.");
            }
            request.monitor = words[++i];
            continue;
        }
        if (EqualsFolding(word, L"--json") &&
            (request.verb == CommandVerb::Get || request.verb == CommandVerb::List)) {
            if (request.json) {
                return Failure("--json is given twice.");
            }
            request.json = true;
            continue;
        }
        const auto named =
            std::find_if(std::begin(kParameterWords), std::end(kParameterWords),
                         [&](const ParameterWord& entry) { return EqualsFolding(word, entry.word); });
        if (request.verb == CommandVerb::Calibrate && named != std::end(kParameterWords) &&
            named->parameter <= MonitorParameter::Contrast) {
            std::optional<ShareRange>& share = named->parameter == MonitorParameter::Brightness
                                                   ? request.brightnessShare
                                                   : request.contrastShare;
            if (share) {
                return Failure(Joined({NameOf(named->parameter), " is given twice."}));
            }
            share = i + 1 < words.size() ? ParseShare(words[i + 1]) : std::nullopt;
            if (!share) {
                return Failure(
                    Joined({NameOf(named->parameter), " needs LOW..HIGH with 0 <= LOW <= HIGH <= 100, not ",
                            i + 1 < words.size() ? Quoted(words[i + 1]) : "nothing", "."}));
            }
            ++i;
            continue;
        }
        if (request.verb != CommandVerb::Set || named == std::end(kParameterWords)) {
            return Failure(Joined({"Not understood: ", Quoted(word), "."}));
        }
        const MonitorParameter parameter = named->parameter;
        if (std::any_of(request.changes.begin(), request.changes.end(),
                        [&](const ValueChange& change) { return change.parameter == parameter; })) {
            return Failure(Joined({NameOf(parameter), " is given twice."}));
        }
        const bool preset = parameter == MonitorParameter::ColorTemperature;
        const std::string expected = preset ? " needs a preset 0..8" : " needs a number 0..100, +N or -N";
        if (i + 1 >= words.size()) {
            return Failure(Joined({NameOf(parameter), expected, "."}));
        }
        std::optional<ValueChange> change =
            ParseAmount(words[++i], preset ? kMaxColorTemperature : 100, !preset);
        if (!change) {
            return Failure(Joined({NameOf(parameter), expected, ", not ", Quoted(words[i]), "."}));
        }
        change->parameter = parameter;
        request.changes.push_back(*change);
    }
    if (request.verb == CommandVerb::Set && request.changes.empty()) {
        return Failure("set needs a value, for example: set brightness 40.");
    }
    const bool calibrating = request.verb == CommandVerb::Calibrate || request.verb == CommandVerb::Exclude ||
                             request.verb == CommandVerb::Include;
    if (calibrating && !request.monitor) {
        return Failure(Joined({NameUtf8(verb), " needs --monitor M."}));
    }
    if (request.verb == CommandVerb::Calibrate && !request.brightnessShare && !request.contrastShare) {
        return Failure("calibrate needs a range, for example: calibrate --monitor 2 brightness 20..60.");
    }
    return ParsedCommand{std::move(request), {}};
}

uint32_t ResolveChange(const ValueChange& change, uint32_t current) {
    if (!change.relative) {
        return static_cast<uint32_t>(std::max(change.amount, 0));
    }
    const int64_t stepped = static_cast<int64_t>(std::min<uint32_t>(current, 100)) + change.amount;
    return static_cast<uint32_t>(std::clamp<int64_t>(stepped, 0, 100));
}

std::string UsageText() {
    return "Usage:\n"
           "  orvalux.exe set VALUE... [--monitor M]\n"
           "      VALUE: brightness N, contrast N, red N, green N, blue N\n"
           "             (N = 0..100, or +N / -N to step from the current value;\n"
           "              b and c are short for brightness and contrast)\n"
           "             temperature P (colour temperature preset 0..8)\n"
           "  orvalux.exe get [--monitor M] [--json]   the current values\n"
           "  orvalux.exe list [--json]                the monitors, their names and ranges\n"
           "  orvalux.exe calibrate --monitor M [brightness LOW..HIGH] [contrast LOW..HIGH]\n"
           "      the part of that monitor's own range that the shared 0 and 100 map to\n"
           "  orvalux.exe exclude --monitor M          leaves that monitor out of every change\n"
           "  orvalux.exe include --monitor M          adjusts that monitor again\n"
           "  orvalux.exe monitoroff                   switches the monitors off\n"
           "  orvalux.exe --help                       this text\n"
           "M is a monitor's number in \"list\" (from 1) or its name. Without --monitor a value\n"
           "goes to every monitor and is kept for the next start; with it only that monitor\n"
           "changes, until the kept values are applied again.\n"
           "Exit codes: 0 done, 2 usage error, 3 no such monitor, 4 a monitor refused a value,\n"
           "5 the running Orvalux did not answer.\n";
}

std::optional<ParameterReading> ReadingOf(uint32_t minimum, uint32_t current, uint32_t maximum) {
    if (maximum <= minimum) {
        return std::nullopt;
    }
    return ParameterReading{minimum, current, maximum};
}

std::string MonitorsJson(const std::vector<MonitorReading>& monitors) {
    std::string out = "{\"monitors\":[";
    for (size_t m = 0; m < monitors.size(); ++m) {
        const MonitorReading& monitor = monitors[m];
        out += m ? ",{" : "{";
        out += Joined({"\"index\":", std::to_string(monitor.index), ",\"name\":"});
        AppendJsonString(out, NameUtf8(monitor.name));
        out += std::string(",\"laptop\":") + (monitor.laptop ? "true" : "false");
        for (size_t p = 0; p < monitor.levels.size(); ++p) {
            out += Joined({",\"", kParameterNames[p], "\":"});
            const std::optional<ParameterReading>& level = monitor.levels[p];
            if (!level) {
                out += "null";
                continue;
            }
            out += Joined({"{\"percent\":", std::to_string(PercentOf(*level)), ",\"value\":",
                           std::to_string(level->current), ",\"minimum\":", std::to_string(level->minimum),
                           ",\"maximum\":", std::to_string(level->maximum), "}"});
        }
        out += ",\"temperature\":";
        if (monitor.supportedPresets == 0 && monitor.preset == 0) {
            out += "null";
        } else {
            out += Joined({"{\"preset\":", monitor.preset ? std::to_string(monitor.preset) : "null",
                           ",\"supported\":[", PresetList(monitor.supportedPresets), "]}"});
        }
        const MonitorCalibration& c = monitor.calibration;
        out += Joined({",\"calibration\":{\"brightness\":", ShareJson(c.brightness), ",\"contrast\":",
                       ShareJson(c.contrast), "},\"excluded\":", c.excluded ? "true}" : "false}"});
    }
    out += "]}\n";
    return out;
}

std::string ValuesTable(const std::vector<MonitorReading>& monitors) {
    std::vector<Row> rows{{"#", "Monitor", "Brightness", "Contrast", "Red", "Green", "Blue", "Temperature"}};
    for (const MonitorReading& monitor : monitors) {
        Row row{std::to_string(monitor.index), NameUtf8(monitor.name)};
        for (const std::optional<ParameterReading>& level : monitor.levels) {
            row.push_back(level ? std::to_string(PercentOf(*level)) : "-");
        }
        row.push_back(monitor.preset ? std::to_string(monitor.preset) : "-");
        rows.push_back(std::move(row));
    }
    return Table(rows);
}

std::string MonitorsTable(const std::vector<MonitorReading>& monitors) {
    std::vector<Row> rows{{"#", "Monitor", "Kind", "Brightness", "Contrast", "Red", "Green", "Blue",
                           "Temperatures", "Brightness share", "Contrast share", "Adjusted"}};
    for (const MonitorReading& monitor : monitors) {
        Row row{std::to_string(monitor.index), NameUtf8(monitor.name), monitor.laptop ? "laptop" : "DDC/CI"};
        for (const std::optional<ParameterReading>& level : monitor.levels) {
            row.push_back(
                level ? Joined({std::to_string(level->minimum), "..", std::to_string(level->maximum)}) : "-");
        }
        const std::string presets = PresetList(monitor.supportedPresets);
        row.push_back(presets.empty() ? "-" : presets);
        row.push_back(ShareText(monitor.calibration.brightness));
        row.push_back(ShareText(monitor.calibration.contrast));
        row.push_back(monitor.calibration.excluded ? "no (left out)" : "yes");
        rows.push_back(std::move(row));
    }
    return Table(rows);
}

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text += part;
    }
    return text;
}

std::string NameUtf8(std::wstring_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        auto unit = static_cast<char32_t>(name[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
            name[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(name[i + 1]) - 0xDC00);
            ++i;
        } else if ((unit >= 0xD800 && unit <= 0xDFFF) || unit > 0x10FFFF) {
            unit = 0xFFFD;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::string CalibrationLine(const MonitorReading& monitor) {
    return Joined({"monitor ", std::to_string(monitor.index), " (", NameUtf8(monitor.name), "): brightness ",
                   ShareText(monitor.calibration.brightness), ", contrast ",
                   ShareText(monitor.calibration.contrast),
                   monitor.calibration.excluded ? ", left out\n" : ", adjusted\n"});
}

std::optional<size_t> SelectMonitor(const std::vector<MonitorReading>& monitors, std::wstring_view selector) {
    if (!selector.empty() &&
        std::all_of(selector.begin(), selector.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
        for (size_t i = 0; i < monitors.size(); ++i) {
            if (std::to_wstring(monitors[i].index) == selector) {
                return i;
            }
        }
        return std::nullopt;
    }
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (EqualsFolding(monitors[i].name, selector)) {
            return i;
        }
    }
    return std::nullopt;
}
