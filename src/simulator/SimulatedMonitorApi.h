#pragma once

#include "monitor/MonitorConfigApi.h"
#include "simulator/SimulatedMonitorDescription.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Simulated displays and DDC/CI monitors for machines without them. Each physical
// monitor is a serial bus: calls to one monitor are served one at a time, each after
// its latency. A real bus garbles transactions that overlap, so a call that begins while
// another call to the same monitor is in progress is counted as an overlap. Values
// outside a monitor's range are refused, as real monitors do. Like real monitors after
// a wake-up, one can be deaf for a while (every call fails) or acknowledge sets without
// taking them; a state file changed by another process is read back, which is how a test
// makes a monitor lose its values while the machine sleeps.
class SimulatedMonitorApi final : public MonitorConfigApi {
public:
    struct Call {
        size_t display = 0;
        size_t monitor = 0;
        SimulatedOperation operation = SimulatedOperation::Capabilities;
        uint32_t channel = 0;
        uint32_t value = 0;
        bool succeeded = false;
        DWORD threadId = 0;
        std::chrono::steady_clock::time_point time;
    };

    // `stateFile`, when not empty, is rewritten with the current state after every
    // change, in the description syntax, for whole-program tests to read; when another
    // process changes it, the monitors take its values, deaf= and ignore= at their next call.
    explicit SimulatedMonitorApi(SimulatedSetup setup, std::wstring stateFile = {});
    ~SimulatedMonitorApi() override;

    BOOL EnumDisplayMonitors(MONITORENUMPROC callback, LPARAM data) override;
    BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFOEXW* info) override;
    BOOL GetNumberOfPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD* count) override;
    BOOL GetPhysicalMonitorsFromHMONITOR(HMONITOR monitor, DWORD count, PHYSICAL_MONITOR* monitors) override;
    BOOL DestroyPhysicalMonitor(HANDLE physicalMonitor) override;
    BOOL GetMonitorCapabilities(HANDLE physicalMonitor, DWORD* capabilities,
                                DWORD* supportedColorTemperatures) override;
    BOOL GetMonitorBrightness(HANDLE physicalMonitor, DWORD* minimum, DWORD* current,
                              DWORD* maximum) override;
    BOOL GetMonitorContrast(HANDLE physicalMonitor, DWORD* minimum, DWORD* current, DWORD* maximum) override;
    BOOL GetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel, DWORD* minimum,
                                      DWORD* current, DWORD* maximum) override;
    BOOL GetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE* preset) override;
    BOOL SetMonitorBrightness(HANDLE physicalMonitor, DWORD value) override;
    BOOL SetMonitorContrast(HANDLE physicalMonitor, DWORD value) override;
    BOOL SetMonitorRedGreenOrBlueGain(HANDLE physicalMonitor, MC_GAIN_TYPE channel, DWORD value) override;
    BOOL SetMonitorColorTemperature(HANDLE physicalMonitor, MC_COLOR_TEMPERATURE preset) override;
    BOOL RestoreMonitorFactoryColorDefaults(HANDLE physicalMonitor) override;
    BOOL RestoreMonitorFactoryDefaults(HANDLE physicalMonitor) override;
    MonitorFacts GetMonitorFacts(HMONITOR monitor, const MONITORINFOEXW& info, DWORD index) override;

    // Inspection, for tests and benchmarks.
    SimulatedSetup State() const;
    std::vector<Call> Calls() const;
    void ClearCalls();
    size_t CountCalls(SimulatedOperation operation) const;
    // Calls that began while another call to the same monitor was in progress.
    size_t OverlapCount() const { return overlaps_.load(); }
    // Calls begun and not yet finished, on all monitors.
    size_t CallsInProgress() const { return inProgress_.load(); }
    // Waits until `condition` holds, tested whenever a call begins or ends; false when it
    // still does not after `timeoutMs`.
    bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) const;
    // While held, every call waits on its monitor's bus until released: a test decides
    // when a call ends instead of guessing with a latency.
    void HoldCalls(bool held);
    size_t OpenHandleCount() const;
    // Releases of handles that were never handed out or were released already.
    size_t InvalidReleaseCount() const;
    // Rewrites the state file (when there is one) with the current state.
    void WriteStateFile() const;
    // Makes the next `times` calls of `operation` on one monitor fail (kAlwaysFails: all).
    void SetFailures(size_t display, size_t monitor, SimulatedOperation operation, uint32_t times);

private:
    struct Device;
    struct Address {
        size_t display = 0;
        size_t monitor = 0;
    };

    Device* DeviceOf(HANDLE physicalMonitor, Address* address = nullptr) const;
    const SimulatedDisplayDescription* DisplayOf(HMONITOR monitor, size_t* index = nullptr) const;
    // Takes the state file's values when another process has changed it since it was
    // last written or read here.
    void ReadBackStateFile();
    // Runs one call on the monitor's bus: latency, the failure rule, then `body`.
    template <typename Body>
    BOOL Serve(HANDLE physicalMonitor, SimulatedOperation operation, uint32_t channel, uint32_t value,
               Body body);
    void Record(const Address& address, SimulatedOperation operation, uint32_t channel, uint32_t value,
                bool succeeded);
    // Wakes WaitUntil after a call began or ended.
    void Announce();

    std::vector<SimulatedDisplayDescription> displays_; // geometry and failure flags
    std::vector<std::vector<std::unique_ptr<Device>>> devices_;
    SimulatedLaptopPanelDescription laptop_;
    std::wstring stateFile_;

    mutable std::mutex handlesLock_;
    std::map<HANDLE, Address> openHandles_;
    uintptr_t nextHandle_ = 0x10000;
    size_t invalidReleases_ = 0;

    mutable std::mutex callsLock_;
    std::vector<Call> calls_;
    std::atomic<size_t> overlaps_{0};
    std::atomic<size_t> inProgress_{0};
    mutable std::mutex activityLock_;
    mutable std::condition_variable activity_;
    bool callsHeld_ = false; // guarded by activityLock_

    mutable std::mutex stateFileLock_;
    // The file as this process last wrote or read it: a change of its time or size is
    // another process's edit.
    mutable FILETIME stateFileTime_{};
    mutable uint64_t stateFileSize_ = 0;
};

enum class SimulationChoice { RealMonitors, Simulated, Malformed };

// Selects simulated monitors when ORVALUX_SIMULATED_MONITORS is set: installs them for
// the rest of the process (state file from ORVALUX_SIMULATOR_STATE, if set). A malformed
// description is reported in `error` and nothing is installed.
SimulationChoice InstallSimulationFromEnvironment(std::string& error);
