#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Whether the whole argument text is the monitor-off switch: "monitoroff" with the
// letters A to Z in any case. Extra words or blanks make it a normal start.
bool IsMonitorOffCommandLine(std::wstring_view arguments);

// Whether the whole argument text is "uninstall" (any case): the installer's call while
// it removes the program, which then forgets "Start with Windows" if that starts it.
bool IsUninstallCommandLine(std::wstring_view arguments);

// Whether the Run value `runValue` starts the program at `programPath`: the path itself,
// quoted or not, compared without regard to the case of A to Z.
bool RunValueStartsProgram(std::wstring_view runValue, std::wstring_view programPath);

// The argument text of a full process command line (as GetCommandLineW gives it): what
// follows the program path and the one blank that separates them. The C runtime's own
// argument pointer skips every blank, which would let " monitoroff" match.
std::wstring_view ArgumentText(std::wstring_view commandLine);

// The watch over an update's installer: "afterupdate <installer process handle> <program
// path>". The handle is a decimal number (inherited from the program that started it);
// the path is the rest of the text.
struct AfterUpdateArguments {
    uintptr_t installer = 0;
    std::wstring_view program;
};
std::optional<AfterUpdateArguments> ParseAfterUpdateCommandLine(std::wstring_view arguments);
