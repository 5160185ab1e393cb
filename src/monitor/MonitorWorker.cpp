#include "monitor/MonitorWorker.h"

#include "common/ComInitialization.h"
#include "monitor/DisplayMonitor.h"
#include "monitor/LaptopBacklight.h"

MonitorWorker::MonitorWorker(DisplayMonitor* displayMonitor)
    : owner(displayMonitor), readyEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void MonitorWorker::RequestReapply() {
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
    int attemptsLeft = 0;
    std::chrono::steady_clock::time_point nextAttempt;
    // The flag is tested after each batch, never before the first wait: Stop signals the
    // event, so commands posted just before a Stop are still applied once.
    do {
        if (attemptsLeft > 0) {
            WaitForWorkUntil(nextAttempt);
        } else {
            WaitForWork();
        }
        owner->ApplyCommands(CoalesceCommands(TakeQueuedCommands()));
        if (reapplyRequested.exchange(false)) {
            attemptsLeft = owner->ReapplyAttempts();
            nextAttempt = std::chrono::steady_clock::now();
        }
        if (attemptsLeft > 0 && std::chrono::steady_clock::now() >= nextAttempt) {
            attemptsLeft = owner->SendRememberedValues() ? 0 : attemptsLeft - 1;
            nextAttempt = std::chrono::steady_clock::now() + kReapplyPause;
        }
    } while (IsRunning());
}
