#include "monitor/MonitorWorker.h"

#include "common/ComInitialization.h"
#include "common/Settings.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"
#include "monitor/ReapplyRules.h"

#include <algorithm>

namespace {

uint32_t ReadReapplyPatience() {
    uint32_t stored = 0;
    return ReapplyPatienceFrom(ReadSettingDword(L"ReapplyPatience", stored) ? std::optional(stored)
                                                                            : std::nullopt);
}

using Clock = std::chrono::steady_clock;

// When a worker's re-apply makes its next attempt: first the quick attempts, then, for a
// monitor that refused them all, patient retries with growing pauses until the patience
// is spent.
class ReapplySchedule {
public:
    void Begin(int attempts, uint32_t patience) {
        attemptsLeft = attempts;
        patienceMs = patience;
        patient = false;
        pending = true;
        next = Clock::now();
    }
    bool IsPending() const { return pending; }
    bool IsPatient() const { return patient; }
    bool IsDue() const { return pending && Clock::now() >= next; }
    Clock::time_point NextAttempt() const { return next; }
    void EndPause() {
        if (patient) {
            next = Clock::now();
        }
    }
    void AttemptMade(bool accepted) {
        const Clock::time_point now = Clock::now();
        if (accepted) {
            pending = false;
            return;
        }
        if (!patient && --attemptsLeft > 0) {
            next = now + kReapplyPause;
            return;
        }
        if (!patient) {
            patient = true;
            patientSince = now;
            retries = 0;
        } else {
            ++retries;
        }
        const auto pause = NextPatientPause(
            retries, std::chrono::duration_cast<std::chrono::milliseconds>(now - patientSince), patienceMs);
        pending = pause.has_value();
        next = now + pause.value_or(std::chrono::milliseconds(0));
    }

private:
    bool pending = false;
    bool patient = false;
    int attemptsLeft = 0;
    uint32_t patienceMs = 0;
    uint32_t retries = 0;
    Clock::time_point next;
    Clock::time_point patientSince;
};

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
            reapply.Begin(owner->ReapplyAttempts(), owner->isLaptopPanel ? 0 : ReadReapplyPatience());
        } else if (std::any_of(latest.begin(), latest.end(),
                               [](const auto& value) { return value.has_value(); })) {
            // The user's value may find the monitor awake: no more waiting for it.
            reapply.EndPause();
        }
        if (reapply.IsDue() && (IsRunning() || !reapply.IsPatient())) {
            const bool accepted = owner->SendRememberedValues();
            if (accepted) {
                owner->VerifyRememberedValues();
            }
            reapply.AttemptMade(accepted);
        }
        // While a re-apply is under way a refused command is its value to deliver.
        owner->keepRefusedValues.store(reapply.IsPending() || reapplyRequested.load());
    } while (IsRunning());
}
