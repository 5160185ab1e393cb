#pragma once

// The command line of scripts and schedulers: "set", "get", "list" and "--help", parsed
// into a request, and the answers written as a table or as one JSON document.

#include "monitor/CalibrationRules.h"
#include "monitor/MonitorParameter.h"

#include <array>
#include <initializer_list>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Exit codes of a command.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoMonitor = 3;
inline constexpr int kExitRefused = 4;
inline constexpr int kExitNoAnswer = 5;

// Longer argument texts are refused whole: the platform's own limit is 32767 characters.
inline constexpr size_t kMaxArgumentText = 32767;

enum class CommandVerb { Set, Get, List, Help, Calibrate, Exclude, Include };

// One value of "set": an absolute percentage (preset for colour temperature), or a step
// from the current value.
struct ValueChange {
    MonitorParameter parameter = MonitorParameter::Brightness;
    bool relative = false;
    int32_t amount = 0; // 0..100 (0..8 for a preset); -100..100 when relative
};

struct CommandRequest {
    CommandVerb verb = CommandVerb::Help;
    std::vector<ValueChange> changes;    // at most one per parameter, in the order given
    std::optional<std::wstring> monitor; // "--monitor": a 1-based index or a name
    bool json = false;
    // "calibrate": the new share of brightness and of contrast, each when given.
    std::optional<ShareRange> brightnessShare, contrastShare;
};

struct ParsedCommand {
    std::optional<CommandRequest> request;
    std::string error; // when there is no request: what was not understood
};

// The words of an argument text, split as the platform's C runtime splits them (blanks
// separate; double quotes group; backslashes escape a quote only right before it).
std::vector<std::wstring> SplitArguments(std::wstring_view arguments);

// Whether the argument text asks for a command rather than a start of the program: its
// first word is a command or an option ("-..." or "/?"). Every other text (also the
// monitor-off switch) keeps its meaning.
bool IsCommandLineRequest(std::wstring_view arguments);

// The request of an argument text, or the message naming what was not understood.
ParsedCommand ParseCommandLine(std::wstring_view arguments);

// The value to send for `change` when the current value is `current`: a step is clamped
// to 0..100.
uint32_t ResolveChange(const ValueChange& change, uint32_t current);

// The usage text of "--help" and of every usage error.
std::string UsageText();

// What the answers show of one monitor.
struct ParameterReading {
    uint32_t minimum = 0;
    uint32_t current = 0;
    uint32_t maximum = 0;
};
struct MonitorReading {
    uint32_t index = 0; // from 1, in the panel's order
    std::wstring name;
    bool laptop = false;
    // Brightness, contrast, red, green, blue; none when not offered or not read.
    std::array<std::optional<ParameterReading>, 5> levels;
    uint32_t preset = 0;           // 0: none known
    uint32_t supportedPresets = 0; // bit n-1 for preset n
    MonitorCalibration calibration;
};

// A reading as the monitors report it: a range whose maximum is not above its minimum was
// not read (or is not offered) and shows as none.
std::optional<ParameterReading> ReadingOf(uint32_t minimum, uint32_t current, uint32_t maximum);

// {"monitors":[{"index":1,"name":...,"laptop":false,"brightness":{"percent":...,"value":...,
// "minimum":...,"maximum":...},...,"temperature":{"preset":...,"supported":[...]},
// "calibration":{"brightness":{"low":0,"high":100},"contrast":{...}},"excluded":false}]} and
// a line end; null for what a monitor does not offer.
std::string MonitorsJson(const std::vector<MonitorReading>& monitors);
// One monitor a line: the current percentages ("get").
std::string ValuesTable(const std::vector<MonitorReading>& monitors);
// One monitor a line: the name, the ranges and the calibration ("list").
std::string MonitorsTable(const std::vector<MonitorReading>& monitors);

// The parts one after the other (appended: GCC 12 warns falsely about `"text" + string`).
std::string Joined(std::initializer_list<std::string_view> parts);
// The name as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string NameUtf8(std::wstring_view name);
// The position in `monitors` of the one `selector` names: by its index (from 1) or by its
// name (A to Z in any case); none when it names no monitor.
// What "calibrate", "exclude" and "include" report of the monitor they changed.
std::string CalibrationLine(const MonitorReading& monitor);

std::optional<size_t> SelectMonitor(const std::vector<MonitorReading>& monitors, std::wstring_view selector);
