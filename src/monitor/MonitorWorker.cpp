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
    ComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    AttachLaptopBacklight();

    owner->OpenPhysicalMonitors();
    owner->ReadBrightness();
    owner->ReadContrast();
    owner->ReadGain(0);
    owner->ReadGain(1);
    owner->ReadGain(2);
    owner->ReadColorTemperature();

    ready.store(true, std::memory_order_release);
    ::SetEvent(readyEvent.get());

    // The flag is tested after each batch, never before the first wait: Stop signals the
    // event, so commands posted just before a Stop are still applied once.
    do {
        WaitForWork();
        owner->ApplyCommands(CoalesceCommands(TakeQueuedCommands()));
        if (reapplyRequested.exchange(false)) {
            owner->ReapplyRememberedValues();
        }
    } while (IsRunning());

    DetachLaptopBacklight();
}
