#include "monitor/CommandDispatcher.h"

#include "monitor/DisplayMonitor.h"
#include "monitor/MonitorWorker.h"

CommandDispatcher commandDispatcher;

void CommandDispatcher::Run() {
    // The display list is read without a lock: the start-up loop stops this thread
    // before it destroys or rebuilds the list. As in the workers, commands posted just
    // before a Stop are still forwarded once.
    do {
        WaitForWork();
        for (const MonitorCommand& command : TakeQueuedCommands()) {
            for (DisplayMonitor* display : displayMonitors) {
                if (display->worker) {
                    display->worker->PostCommand(command);
                }
            }
        }
    } while (IsRunning());
}
