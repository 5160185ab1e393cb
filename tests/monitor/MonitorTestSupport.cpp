#include "MonitorTestSupport.h"

#include "common/Settings.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"
#include "simulator/SimulatedLaptopPanel.h"

#include <gtest/gtest.h>

SimulatedMonitors::SimulatedMonitors(std::string_view description) {
    SimulatedSetupParse parsed = ParseSimulatedSetup(description);
    if (!parsed.setup) {
        ADD_FAILURE() << parsed.error;
        parsed.setup = SimulatedSetup{};
    }
    InstallSimulatedLaptopPanel(parsed.setup->laptop);
    api_ = std::make_unique<SimulatedMonitorApi>(std::move(*parsed.setup));
    SetMonitorApi(api_.get());
}

SimulatedMonitors::~SimulatedMonitors() {
    SetMonitorApi(nullptr);
    RemoveSimulatedLaptopPanel();
}

const SimulatedMonitorDescription& SimulatedMonitors::Monitor(size_t display, size_t monitor) {
    snapshot_ = api_->State();
    return snapshot_.displays.at(display).monitors.at(monitor);
}

std::vector<uint32_t> SimulatedMonitors::SentValues(SimulatedOperation operation, size_t display,
                                                    size_t monitor) const {
    std::vector<uint32_t> values;
    for (const SimulatedMonitorApi::Call& call : api_->Calls()) {
        if (call.operation == operation && call.display == display && call.monitor == monitor) {
            values.push_back(call.value);
        }
    }
    return values;
}

bool SimulatedMonitors::WaitForCalls(SimulatedOperation operation, size_t count) {
    return api_->WaitUntil([&] { return api_->CountCalls(operation) >= count; });
}

bool SimulatedMonitors::WaitForCallInProgress() {
    return api_->WaitUntil([&] { return api_->CallsInProgress() > 0; });
}

ScratchSettingsKey::ScratchSettingsKey()
    : path_(L"Software\\Kestrine\\OrvaluxTest-" + std::to_wstring(::GetCurrentProcessId())) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    SetSettingsKeyPathForTesting(path_);
}

ScratchSettingsKey::~ScratchSettingsKey() {
    SetSettingsKeyPathForTesting(L"");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

std::optional<uint32_t> ScratchSettingsKey::Read(const wchar_t* name) const {
    uint32_t value = 0;
    if (!ReadSettingDword(name, value)) {
        return std::nullopt;
    }
    return value;
}

bool ScratchSettingsKey::Exists() const {
    UniqueHkey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put()) ==
           ERROR_SUCCESS;
}

void SimulatedInventoryTest::Build(std::string_view description) {
    monitors = std::make_unique<SimulatedMonitors>(description);
    EnumerateDisplayMonitors();
    monitors->api().ClearCalls();
}

void SimulatedInventoryTest::TearDown() {
    DestroyDisplayMonitors();
    monitors.reset();
}
