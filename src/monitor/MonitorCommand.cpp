#include "monitor/MonitorCommand.h"

#include "monitor/MonitorParameter.h"

CoalescedCommands CoalesceCommands(const std::deque<MonitorCommand>& commands) {
    CoalescedCommands latest;
    for (const MonitorCommand& command : commands) {
        if (command.parameter < kFirstParameterCode || command.parameter > kLastParameterCode ||
            command.value == kNoCommandValue) {
            continue;
        }
        latest[command.parameter - 1] = command.value;
    }
    return latest;
}
