#include "simulator/SimulatedMonitorApi.h"

#include "simulator/SimulatedLaptopPanel.h"

#include <array>
#include <cstdio>
#include <cwchar>

namespace {

// Display handles are opaque to callers; these values are never real handles.
constexpr uintptr_t kFirstDisplayHandle = 0x5D00;
constexpr uintptr_t kDisplayHandleStep = 0x10;
constexpr int kTaskBarHeight = 40;

HMONITOR DisplayHandle(size_t index) {
    return reinterpret_cast<HMONITOR>(kFirstDisplayHandle + index * kDisplayHandleStep);
}

uint32_t LatencyOf(const SimulatedMonitorDescription& description, SimulatedOperation operation) {
    switch (operation) {
    case SimulatedOperation::Capabilities:
        return description.capabilitiesLatencyMs;
    case SimulatedOperation::GetBrightness:
    case SimulatedOperation::GetContrast:
    case SimulatedOperation::GetGain:
    case SimulatedOperation::GetColorTemperature:
    case SimulatedOperation::PhysicalMonitors:
        return description.getLatencyMs;
    default:
        return description.setLatencyMs;
    }
}

bool IsSet(SimulatedOperation operation) {
    switch (operation) {
    case SimulatedOperation::SetBrightness:
    case SimulatedOperation::SetContrast:
    case SimulatedOperation::SetGain:
    case SimulatedOperation::SetColorTemperature:
        return true;
    default:
        return false;
    }
}

bool ChangesState(SimulatedOperation operation) {
    switch (operation) {
    case SimulatedOperation::SetBrightness:
    case SimulatedOperation::SetContrast:
    case SimulatedOperation::SetGain:
    case SimulatedOperation::SetColorTemperature:
    case SimulatedOperation::RestoreFactoryDefaults:
    case SimulatedOperation::RestoreFactoryColorDefaults:
        return true;
    default:
        return false;
    }
}

std::wstring EnvironmentText(const wchar_t* name) {
    const DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::wstring text(length, L'\0');
    text.resize(::GetEnvironmentVariableW(name, text.data(), length));
    return text;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                          nullptr);
    return out;
}

bool FileStamp(const std::wstring& path, FILETIME& time, uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    time = data.ftLastWriteTime;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// Ignored sets are counted per parameter: a gain channel is a parameter of its own.
size_t IgnoreSlot(SimulatedOperation operation, uint32_t channel) {
    switch (operation) {
    case SimulatedOperation::SetBrightness:
        return 0;
    case SimulatedOperation::SetContrast:
        return 1;
    case SimulatedOperation::SetGain:
        return 2 + (channel > 2 ? 2 : channel);
    default:
        return 5;
    }
}

std::wstring Widened(const std::string& text) {
    std::wstring out(text.size(), L'\0');
    const int written = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                              out.data(), static_cast<int>(out.size()));
    out.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return out;
}

} // namespace

struct SimulatedMonitorApi::Device {
    SimulatedMonitorDescription factory; // what a factory reset returns to
    SimulatedMonitorDescription state;
    std::mutex bus; // keeps the state whole; overlaps are counted, not prevented
    std::atomic<uint32_t> callsInProgress{0};
    std::chrono::steady_clock::time_point deafUntil;
    std::array<uint32_t, 6> ignoresLeft{};

    // Starts the monitor's deafness and ignored sets as its description says, from now.
    void TakeOptions() {
        deafUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(state.deafMs);
        ignoresLeft.fill(state.ignoredSets);
    }
};

SimulatedMonitorApi::SimulatedMonitorApi(SimulatedSetup setup, std::wstring stateFile)
    : displays_(std::move(setup.displays)), laptop_(std::move(setup.laptop)),
      stateFile_(std::move(stateFile)) {
    for (SimulatedDisplayDescription& display : displays_) {
        auto& row = devices_.emplace_back();
        for (SimulatedMonitorDescription& monitor : display.monitors) {
            auto device = std::make_unique<Device>();
            device->factory = monitor;
            device->state = monitor;
            device->TakeOptions();
            row.push_back(std::move(device));
        }
        display.monitors.clear(); // the devices hold the live state
    }
    WriteStateFile();
}

SimulatedMonitorApi::~SimulatedMonitorApi() = default;

const SimulatedDisplayDescription* SimulatedMonitorApi::DisplayOf(HMONITOR monitor, size_t* index) const {
    const uintptr_t value = reinterpret_cast<uintptr_t>(monitor);
    if (value < kFirstDisplayHandle || (value - kFirstDisplayHandle) % kDisplayHandleStep != 0) {
        return nullptr;
    }
    const size_t position = (value - kFirstDisplayHandle) / kDisplayHandleStep;
    if (position >= displays_.size()) {
        return nullptr;
    }
    if (index) {
        *index = position;
    }
    return &displays_[position];
}

SimulatedMonitorApi::Device* SimulatedMonitorApi::DeviceOf(HANDLE physicalMonitor, Address* address) const {
    std::lock_guard guard(handlesLock_);
    const auto found = openHandles_.find(physicalMonitor);
    if (found == openHandles_.end()) {
        return nullptr;
    }
    if (address) {
        *address = found->second;
    }
    return devices_[found->second.display][found->second.monitor].get();
}

void SimulatedMonitorApi::Record(const Address& address, SimulatedOperation operation, uint32_t channel,
                                 uint32_t value, bool succeeded) {
    std::lock_guard guard(callsLock_);
    calls_.push_back({address.display, address.monitor, operation, channel, value, succeeded,
                      ::GetCurrentThreadId(), std::chrono::steady_clock::now()});
}

template <typename Body>
BOOL SimulatedMonitorApi::Serve(HANDLE physicalMonitor, SimulatedOperation operation, uint32_t channel,
                                uint32_t value, Body body) {
    Address address;
    Device* device = DeviceOf(physicalMonitor, &address);
    if (!device) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ReadBackStateFile();
    if (device->callsInProgress.fetch_add(1) > 0) {
        overlaps_.fetch_add(1);
    }
    inProgress_.fetch_add(1);
    Announce();
    bool succeeded = false;
    {
        std::lock_guard bus(device->bus);
        if (const uint32_t latency = LatencyOf(device->state, operation)) {
            ::Sleep(latency);
        }
        {
            std::unique_lock gate(activityLock_);
            activity_.wait(gate, [this] { return !callsHeld_; });
        }
        uint32_t& failures = device->state.failures[static_cast<size_t>(operation)];
        if (std::chrono::steady_clock::now() < device->deafUntil) {
            succeeded = false;
        } else if (failures > 0) {
            if (failures != kAlwaysFails) {
                --failures;
            }
        } else if (uint32_t& ignores = device->ignoresLeft[IgnoreSlot(operation, channel)];
                   IsSet(operation) && ignores > 0) {
            --ignores; // acknowledged, not taken
            succeeded = true;
        } else {
            succeeded = body(device->state, *device);
        }
        if (succeeded && IsSet(operation)) {
            ++device->state.setCount;
        }
    }
    Record(address, operation, channel, value, succeeded);
    device->callsInProgress.fetch_sub(1);
    inProgress_.fetch_sub(1);
    Announce();
    if (succeeded && ChangesState(operation)) {
        WriteStateFile();
    }
    if (!succeeded) {
        ::SetLastError(ERROR_GEN_FAILURE);
    }
    return succeeded ? TRUE : FALSE;
}

void SimulatedMonitorApi::Announce() {
    // Taken so that a waiter between its test and its sleep cannot miss the change.
    { std::lock_guard guard(activityLock_); }
    activity_.notify_all();
}

void SimulatedMonitorApi::HoldCalls(bool held) {
    {
        std::lock_guard guard(activityLock_);
        callsHeld_ = held;
    }
    activity_.notify_all();
}

bool SimulatedMonitorApi::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) const {
    std::unique_lock guard(activityLock_);
    return activity_.wait_for(guard, std::chrono::milliseconds(timeoutMs), condition);
}

BOOL SimulatedMonitorApi::EnumDisplayMonitors(MONITORENUMPROC callback, LPARAM data) {
    for (size_t i = 0; i < displays_.size(); ++i) {
        const SimulatedDisplayDescription& display = displays_[i];
        RECT rect{display.left, display.top, display.left + display.width, display.top + display.height};
        if (!callback(DisplayHandle(i), nullptr, &rect, data)) {
            break;
        }
    }
    return TRUE;
}

BOOL SimulatedMonitorApi::GetMonitorInfo(HMONITOR monitor, MONITORINFOEXW* info) {
    size_t index = 0;
    const SimulatedDisplayDescription* display = DisplayOf(monitor, &index);
    if (!display || !info || display->infoFails) {
        return FALSE;
    }
    info->rcMonitor =
        RECT{display->left, display->top, display->left + display->width, display->top + display->height};
    const bool primary = display->left == 0 && display->top == 0;
    info->rcWork = info->rcMonitor;
    if (primary) {
        info->rcWork.bottom -= kTaskBarHeight;
    }
    info->dwFlags = primary ? MONITORINFOF_PRIMARY : 0;
    std::swprintf(info->szDevice, CCHDEVICENAME, L"\\\\.\\DISPLAY%u", static_cast<unsigned>(index + 1));
    return TRUE;
}

BOOL SimulatedMonitorApi::GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD* count) {
    size_t index = 0;
    const SimulatedDisplayDescription* display = DisplayOf(monitor, &index);
    if (!display || !count || display->countFails) {
        return FALSE;
    }
    *count = static_cast<DWORD>(devices_[index].size());
    return TRUE;
}

BOOL SimulatedMonitorApi::GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD count,
                                                          PHYSICAL_MONITOR* monitors) {
    size_t index = 0;
    if (!DisplayOf(monitor, &index) || !monitors || count != devices_[index].size()) {
        return FALSE;
    }
    for (DWORD i = 0; i < count; ++i) {
        Device& device = *devices_[index][i];
        if (device.state.failures[static_cast<size_t>(SimulatedOperation::PhysicalMonitors)] != 0) {
            return FALSE;
        }
    }
    std::lock_guard guard(handlesLock_);
    for (DWORD i = 0; i < count; ++i) {
        const HANDLE handle = reinterpret_cast<HANDLE>(nextHandle_++);
        openHandles_[handle] = Address{index, i};
        monitors[i].hPhysicalMonitor = handle;
        const std::string& name = devices_[index][i]->state.name;
        const int written = ::MultiByteToWideChar(CP_UTF8, 0, name.c_str(), static_cast<int>(name.size()),
                                                  monitors[i].szPhysicalMonitorDescription,
                                                  PHYSICAL_MONITOR_DESCRIPTION_SIZE - 1);
        monitors[i].szPhysicalMonitorDescription[written > 0 ? written : 0] = L'\0';
    }
    return TRUE;
}

BOOL SimulatedMonitorApi::DestroyPhysicalMonitor(HANDLE physicalMonitor) {
    std::lock_guard guard(handlesLock_);
    if (openHandles_.erase(physicalMonitor) == 0) {
        ++invalidReleases_;
        return FALSE;
    }
    return TRUE;
}

BOOL SimulatedMonitorApi::GetMonitorCapabilities(HANDLE physicalMonitor, DWORD* capabilities,
                                                 DWORD* supportedColorTemperatures) {
    return Serve(physicalMonitor, SimulatedOperation::Capabilities, 0, 0,
                 [&](SimulatedMonitorDescription& state, Device&) {
                     *capabilities = state.capabilities;
                     *supportedColorTemperatures = state.supportedColorTemperatures;
                     return true;
                 });
}

BOOL SimulatedMonitorApi::GetMonitorBrightness(HANDLE physicalMonitor, DWORD* minimum, DWORD* current,
                                               DWORD* maximum) {
    return Serve(physicalMonitor, SimulatedOperation::GetBrightness, 0, 0,
                 [&](SimulatedMonitorDescription& state, Device&) {
                     *minimum = state.brightness.minimum;
                     *current = state.brightness.current;
                     *maximum = state.brightness.maximum;
                     return true;
                 });
}

BOOL SimulatedMonitorApi::GetMonitorContrast(HANDLE physicalMonitor, DWORD* minimum, DWORD* current,
                                             DWORD* maximum) {
    return Serve(physicalMonitor, SimulatedOperation::GetContrast, 0, 0,
                 [&](SimulatedMonitorDescription& state, Device&) {
                     *minimum = state.contrast.minimum;
                     *current = state.contrast.current;
                     *maximum = state.contrast.maximum;
                     return true;
                 });
}

BOOL SimulatedMonitorApi::GetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel,
                                                       DWORD* minimum, DWORD* current, DWORD* maximum) {
    const uint32_t index = static_cast<uint32_t>(channel);
    return Serve(physicalMonitor, SimulatedOperation::GetGain, index, 0,
                 [&](SimulatedMonitorDescription& state, Device&) {
                     if (index > 2) {
                         return false;
                     }
                     *minimum = state.gain[index].minimum;
                     *current = state.gain[index].current;
                     *maximum = state.gain[index].maximum;
                     return true;
                 });
}

BOOL SimulatedMonitorApi::GetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE* preset) {
    return Serve(physicalMonitor, SimulatedOperation::GetColorTemperature, 0, 0,
                 [&](SimulatedMonitorDescription& state, Device&) {
                     *preset = static_cast<MC_COLOR_TEMPERATURE>(state.colorTemperature);
                     return true;
                 });
}

namespace {

bool SetWithinRange(SimulatedRange& range, uint32_t value) {
    if (value < range.minimum || value > range.maximum) {
        return false;
    }
    range.current = value;
    return true;
}

} // namespace

BOOL SimulatedMonitorApi::SetMonitorBrightness(HANDLE physicalMonitor, DWORD value) {
    return Serve(
        physicalMonitor, SimulatedOperation::SetBrightness, 0, value,
        [&](SimulatedMonitorDescription& state, Device&) { return SetWithinRange(state.brightness, value); });
}

BOOL SimulatedMonitorApi::SetMonitorContrast(HANDLE physicalMonitor, DWORD value) {
    return Serve(
        physicalMonitor, SimulatedOperation::SetContrast, 0, value,
        [&](SimulatedMonitorDescription& state, Device&) { return SetWithinRange(state.contrast, value); });
}

BOOL SimulatedMonitorApi::SetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel,
                                                       DWORD value) {
    const uint32_t index = static_cast<uint32_t>(channel);
    return Serve(physicalMonitor, SimulatedOperation::SetGain, index, value,
                 [&](SimulatedMonitorDescription& state, Device&) {
                     return index <= 2 && SetWithinRange(state.gain[index], value);
                 });
}

BOOL SimulatedMonitorApi::SetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE preset) {
    const uint32_t value = static_cast<uint32_t>(preset);
    return Serve(physicalMonitor, SimulatedOperation::SetColorTemperature, 0, value,
                 [&](SimulatedMonitorDescription& state, Device&) {
                     if (value < 1 || value > 8 ||
                         (state.supportedColorTemperatures & (1u << (value - 1))) == 0) {
                         return false;
                     }
                     state.colorTemperature = value;
                     return true;
                 });
}

BOOL SimulatedMonitorApi::RestoreMonitorFactoryColorDefaults(HANDLE physicalMonitor) {
    return Serve(physicalMonitor, SimulatedOperation::RestoreFactoryColorDefaults, 0, 0,
                 [&](SimulatedMonitorDescription& state, Device& device) {
                     if ((state.capabilities & 0x800) == 0) {
                         return false;
                     }
                     state.gain = device.factory.gain;
                     state.colorTemperature = device.factory.colorTemperature;
                     return true;
                 });
}

BOOL SimulatedMonitorApi::RestoreMonitorFactoryDefaults(HANDLE physicalMonitor) {
    return Serve(physicalMonitor, SimulatedOperation::RestoreFactoryDefaults, 0, 0,
                 [&](SimulatedMonitorDescription& state, Device& device) {
                     if ((state.capabilities & 0x400) == 0) {
                         return false;
                     }
                     state.brightness = device.factory.brightness;
                     state.contrast = device.factory.contrast;
                     state.gain = device.factory.gain;
                     state.colorTemperature = device.factory.colorTemperature;
                     return true;
                 });
}

SimulatedSetup SimulatedMonitorApi::State() const {
    SimulatedSetup setup;
    setup.displays = displays_;
    setup.laptop = laptop_;
    if (const auto panel = ReadSimulatedLaptopPanel(); panel && laptop_.present) {
        setup.laptop.currentLevel = panel->currentLevel;
    }
    for (size_t d = 0; d < devices_.size(); ++d) {
        for (const auto& device : devices_[d]) {
            std::lock_guard bus(device->bus);
            setup.displays[d].monitors.push_back(device->state);
        }
    }
    return setup;
}

std::vector<SimulatedMonitorApi::Call> SimulatedMonitorApi::Calls() const {
    std::lock_guard guard(callsLock_);
    return calls_;
}

void SimulatedMonitorApi::ClearCalls() {
    std::lock_guard guard(callsLock_);
    calls_.clear();
}

size_t SimulatedMonitorApi::CountCalls(SimulatedOperation operation) const {
    std::lock_guard guard(callsLock_);
    size_t count = 0;
    for (const Call& call : calls_) {
        count += call.operation == operation ? 1 : 0;
    }
    return count;
}

size_t SimulatedMonitorApi::OpenHandleCount() const {
    std::lock_guard guard(handlesLock_);
    return openHandles_.size();
}

size_t SimulatedMonitorApi::InvalidReleaseCount() const {
    std::lock_guard guard(handlesLock_);
    return invalidReleases_;
}

void SimulatedMonitorApi::SetFailures(size_t display, size_t monitor, SimulatedOperation operation,
                                      uint32_t times) {
    Device& device = *devices_.at(display).at(monitor);
    std::lock_guard bus(device.bus);
    device.state.failures[static_cast<size_t>(operation)] = times;
}

void SimulatedMonitorApi::WriteStateFile() const {
    if (stateFile_.empty()) {
        return;
    }
    // The state is taken under the file's lock: taken before it, a write of another thread
    // could pass this one and the file would end with the older state.
    std::lock_guard guard(stateFileLock_);
    std::string text = FormatSimulatedSetup(State());
    if (const auto panel = ReadSimulatedLaptopPanel(); panel && laptop_.present) {
        text += "# laptop levels set:";
        for (uint8_t level : panel->levelsSet) {
            text += ' ';
            text += std::to_string(level);
        }
        text += ";\n";
    }
    // Written beside the target and moved over it, so a reader never sees half a file.
    // Its new stamp is remembered, so that this write is never read back as an edit.
    const std::wstring temporary = stateFile_ + L".tmp";
    if (FILE* file = ::_wfopen(temporary.c_str(), L"wb")) {
        const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        std::fclose(file);
        // A reader holding the file open makes the move fail for a moment; losing the
        // write would leave a stale state behind, so it is tried again for up to a second.
        for (int attempt = 0; written && attempt < 200; ++attempt) {
            if (::MoveFileExW(temporary.c_str(), stateFile_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
                FileStamp(stateFile_, stateFileTime_, stateFileSize_);
                break;
            }
            ::Sleep(5);
        }
    }
}

void SimulatedMonitorApi::ReadBackStateFile() {
    if (stateFile_.empty()) {
        return;
    }
    std::lock_guard guard(stateFileLock_);
    FILETIME time{};
    uint64_t size = 0;
    if (!FileStamp(stateFile_, time, size) ||
        (::CompareFileTime(&time, &stateFileTime_) == 0 && size == stateFileSize_)) {
        return;
    }
    stateFileTime_ = time;
    stateFileSize_ = size;
    std::string text;
    if (FILE* file = ::_wfopen(stateFile_.c_str(), L"rb")) {
        char buffer[4096];
        for (size_t read; (read = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) {
            text.append(buffer, read);
        }
        std::fclose(file);
    }
    const SimulatedSetupParse parsed = ParseSimulatedSetup(text);
    if (!parsed.setup) {
        return; // half an edit, or not ours: the monitors keep their state
    }
    // Monitors are matched by position; geometry, capabilities and failures stay.
    for (size_t d = 0; d < devices_.size() && d < parsed.setup->displays.size(); ++d) {
        const auto& monitors = parsed.setup->displays[d].monitors;
        for (size_t m = 0; m < devices_[d].size() && m < monitors.size(); ++m) {
            Device& device = *devices_[d][m];
            const SimulatedMonitorDescription& edited = monitors[m];
            std::lock_guard bus(device.bus);
            device.state.brightness = edited.brightness;
            device.state.contrast = edited.contrast;
            device.state.gain = edited.gain;
            device.state.colorTemperature = edited.colorTemperature;
            device.state.setCount = edited.setCount;
            device.state.deafMs = edited.deafMs;
            device.state.ignoredSets = edited.ignoredSets;
            device.TakeOptions();
        }
    }
}

SimulationChoice InstallSimulationFromEnvironment(std::string& error) {
    const std::wstring description = EnvironmentText(L"ORVALUX_SIMULATED_MONITORS");
    if (description.empty() && ::GetEnvironmentVariableW(L"ORVALUX_SIMULATED_MONITORS", nullptr, 0) == 0) {
        return SimulationChoice::RealMonitors;
    }
    SimulatedSetupParse parsed = ParseSimulatedSetup(Utf8(description));
    if (!parsed.setup) {
        error = "ORVALUX_SIMULATED_MONITORS: " + parsed.error;
        return SimulationChoice::Malformed;
    }
    // Simulated monitors never mix with the machine's own laptop panel.
    InstallSimulatedLaptopPanel(parsed.setup->laptop);
    // Lives until the process ends: worker threads use it up to their end.
    static std::unique_ptr<SimulatedMonitorApi> simulation;
    simulation = std::make_unique<SimulatedMonitorApi>(std::move(*parsed.setup),
                                                       EnvironmentText(L"ORVALUX_SIMULATOR_STATE"));
    SetMonitorApi(simulation.get());
    SetSimulatedLaptopPanelListener([api = simulation.get()] { api->WriteStateFile(); });
    return SimulationChoice::Simulated;
}

MonitorFacts SimulatedMonitorApi::GetMonitorFacts(HMONITOR monitor, const MONITORINFOEXW&, DWORD index) {
    size_t display = 0;
    if (!DisplayOf(monitor, &display) || index >= devices_[display].size()) {
        return {};
    }
    const SimulatedMonitorDescription& description = devices_[display][index]->state;
    MonitorFacts facts;
    facts.devicePath = Widened(description.id.empty() ? "SIMULATED#" + std::to_string(display + 1) + "#" +
                                                            std::to_string(index + 1)
                                                      : description.id);
    facts.friendlyName = description.id.empty() ? Widened(description.name) : L"";
    return facts;
}
