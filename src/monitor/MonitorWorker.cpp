#include "monitor/MonitorWorker.h"

#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/ReapplyRules.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

uint32_t ReadReapplyPatience() {
    uint32_t stored = 0;
    return ReapplyPatienceFrom(ReadSettingDword(L"ReapplyPatience", stored) ? std::optional(stored)
                                                                            : std::nullopt);
}

} // namespace

MonitorWorker::MonitorWorker(DisplayMonitor* displayMonitor)
    : owner(displayMonitor), readyEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void MonitorWorker::RequestReapply() {
    owner->keepRefusedValues.store(true);
    reapplyRequested.store(true);
    Wake();
}

void MonitorWorker::Run() {
    // Each worker is its own single-threaded apartment for the laptop panel's WMI calls.
    // Both are undone when Run ends, also by an exception, in reverse order: the
    // backlight and its COM objects go before COM does, and no registry entry outlives
    // this thread.
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ScopedLaptopBacklight backlight;

    owner->OpenPhysicalMonitors();
    owner->ReadBrightness();
    owner->ReadContrast();
    owner->ReadGain(0);
    owner->ReadGain(1);
    owner->ReadGain(2);
    owner->ReadColorTemperature();

    ready.store(true, std::memory_order_release);
    ::SetEvent(readyEvent.get());

    // A re-apply runs one attempt at a time between batches: commands that arrive during
    // its pauses wake the worker and go first, so the user's latest value never waits
    // behind retries of an older one. Like a command, a re-apply requested before a Stop
    // makes its first attempt; the Stop ends the retries.
    ReapplySchedule reapply;
    uint32_t resetsAtBegin = 0;
    // The flag is tested after each batch, never before the first wait: Stop signals the
    // event, so commands posted just before a Stop are still applied once.
    do {
        if (reapply.IsPending()) {
            WaitForWorkUntil(reapply.NextAttempt());
        } else {
            WaitForWork();
        }
        const CoalescedCommands latest = CoalesceCommands(TakeQueuedCommands());
        owner->ApplyCommands(latest);
        if (reapplyRequested.exchange(false)) {
            reapply.Begin(owner->ReapplyAttempts(), owner->isLaptopPanel ? 0 : ReadReapplyPatience(),
                          Clock::now());
            resetsAtBegin = owner->factoryResets.load();
        } else if (std::any_of(latest.begin(), latest.end(),
                               [](const auto& value) { return value.has_value(); })) {
            // The user's value may find the monitor awake: no more waiting for it.
            reapply.EndPause(Clock::now());
        }
        if (reapply.IsDue(Clock::now()) && (IsRunning() || !reapply.IsPatient())) {
            const ReapplyAttempt attempt = owner->SendRememberedValues(resetsAtBegin);
            if (attempt == ReapplyAttempt::Accepted) {
                owner->VerifyRememberedValues(resetsAtBegin);
            }
            reapply.AttemptMade(attempt, Clock::now());
        }
        // While a re-apply is under way a refused command is its value to deliver.
        owner->keepRefusedValues.store(reapply.IsPending() || reapplyRequested.load());
    } while (IsRunning());
}
