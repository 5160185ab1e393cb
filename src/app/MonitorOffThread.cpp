#include "app/MonitorOffThread.h"

namespace {
constexpr DWORD kMonitorOffDelayMs = 1000;
constexpr LPARAM kMonitorPowerOff = 2;
} // namespace

void SwitchMonitorsOff() {
    // The pause lets the user release the keys or the mouse, whose input would wake
    // the monitors again at once.
    ::Sleep(kMonitorOffDelayMs);
    ::PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorPowerOff);
}

void MonitorOffThread::Run() {
    SwitchMonitorsOff();
}

bool StartMonitorOff(UniqueHandle* keepHandle) {
    auto* thread = new MonitorOffThread();
    if (!thread->Start(keepHandle)) {
        delete thread; // never ran, so it cannot free itself
        return false;
    }
    return true;
}
