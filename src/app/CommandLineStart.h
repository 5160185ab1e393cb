#pragma once

#include <string_view>

// A start with a command ("set", "get", "list", "--help"): carried out by the running
// instance when there is one, otherwise by this process alone (no tray icon, no panel),
// and answered on the caller's console or redirected output. Returns the exit code.
int RunCommandLine(std::wstring_view arguments);
