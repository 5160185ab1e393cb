#pragma once

#include "app/RemoteCommandRules.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string_view>

// A command line handed to the running instance: the calling process sends its argument
// text with WM_COPYDATA to the panel window and waits for the answer, which the instance
// sends back the same way to a window of the caller.

// Posted by the panel to itself: the accepted commands run outside the sender's call.
inline constexpr UINT kRunRemoteCommandsMessage = WM_APP + 1;

// The panel's answer to WM_COPYDATA: true when the message is a well-formed command; it
// then runs soon after. Anything else (another program's data, garbage) is ignored.
bool AcceptRemoteCommand(HWND panel, const COPYDATASTRUCT* data);
// Posted by a command's thread to the panel: a value (wParam the parameter, lParam the
// value) went to every monitor, and the slider and the tray icon follow.
inline constexpr UINT kCommandValueShownMessage = WM_APP + 2;

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
