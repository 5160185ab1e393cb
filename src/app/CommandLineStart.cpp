#include "app/CommandLineStart.h"

#include "app/Application.h"
#include "app/CommandExecution.h"
#include "app/CommandLineRules.h"
#include "app/ConsoleOutput.h"
#include "app/RemoteCommand.h"
#include "common/ComInitialization.h"
#include "common/UniqueResource.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "simulator/SimulatedMonitorApi.h"

#include <chrono>

namespace {

constexpr auto kInstanceAnswerTime = std::chrono::seconds(5);
// Held while a command without an instance talks to the monitors, so that two scripts
// at once take turns on the bus.
constexpr wchar_t kStandaloneLockName[] = L"Orvalux_CommandLine";
constexpr DWORD kStandaloneWaitMs = 5000;

CommandAnswerMessage RunWithoutInstance(const CommandRequest& request) {
    std::string simulationError;
    if (InstallSimulationFromEnvironment(simulationError) == SimulationChoice::Malformed) {
        return {kExitUsage, "", Joined({"orvalux: ", simulationError, "\n"})};
    }
    // The laptop backlight's WMI set-up is done first on this thread: the monitor workers
    // doing it all at once can hang.
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ScopedLaptopBacklight backlight;
    const UniqueHandle lock(::CreateMutexW(nullptr, FALSE, kStandaloneLockName));
    if (lock && ::WaitForSingleObject(lock.get(), kStandaloneWaitMs) == WAIT_TIMEOUT) {
        return {kExitNoAnswer, "", "orvalux: another orvalux.exe command did not finish within 5 s.\n"};
    }
    EnumerateDisplayMonitors();
    CommandAnswerMessage answer = ExecuteCommand(request, nullptr);
    DestroyDisplayMonitors();
    if (lock) {
        ::ReleaseMutex(lock.get());
    }
    return answer;
}

} // namespace

int RunCommandLine(std::wstring_view arguments) {
    const auto deadline = std::chrono::steady_clock::now() + kInstanceAnswerTime;
    const ConsoleOutput console;
    const ParsedCommand parsed = ParseCommandLine(arguments);
    if (!parsed.request) {
        console.Write(Joined({"orvalux: ", parsed.error, "\n\n", UsageText()}), true);
        return kExitUsage;
    }
    if (parsed.request->verb == CommandVerb::Help) {
        console.Write(UsageText(), false);
        return kExitDone;
    }
    CommandAnswerMessage answer;
    // The instance owns the monitors: a second process must not talk to them meanwhile.
    if (const UniqueHandle instance(::OpenEventW(SYNCHRONIZE, FALSE, kInstanceEventName)); instance) {
        answer = AskRunningInstance(arguments, deadline)
                     .value_or(CommandAnswerMessage{
                         kExitNoAnswer, "", "orvalux: the running Orvalux did not answer within 5 s.\n"});
    } else {
        answer = RunWithoutInstance(*parsed.request);
    }
    console.Write(answer.output, false);
    console.Write(answer.error, true);
    return static_cast<int>(answer.exitCode);
}
