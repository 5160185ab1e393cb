#pragma once

#include "app/RemoteCommandRules.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string_view>

// A command line handed to the running instance: the calling process sends its argument
// text with WM_COPYDATA to the panel window and waits for the answer, which the instance
// sends back the same way to a window of the caller.

// The panel's answer to WM_COPYDATA: true when the message is a well-formed command; it
// then runs soon after. Anything else (another program's data, garbage) is ignored.
bool AcceptRemoteCommand(HWND panel, const COPYDATASTRUCT* data);
// Starts the next accepted command on a thread of its own, unless one runs; each answers
// its caller from there.
void RunRemoteCommands();
// Stops the running command before its next value and waits for it: called before the
// monitor list is torn down.
void EndRemoteCommands();

// Asks the running instance to carry out `arguments`; none when no panel took the
// command or its answer did not come before `deadline`.
std::optional<CommandAnswerMessage> AskRunningInstance(std::wstring_view arguments,
                                                       std::chrono::steady_clock::time_point deadline);
