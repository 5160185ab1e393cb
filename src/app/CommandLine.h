#pragma once

#include <string_view>

// Whether the whole argument text is the monitor-off switch: "monitoroff" with the
// letters A to Z in any case. Extra words or blanks make it a normal start.
bool IsMonitorOffCommandLine(std::wstring_view arguments);

// The argument text of a full process command line (as GetCommandLineW gives it): what
// follows the program path and the one blank that separates them. The C runtime's own
// argument pointer skips every blank, which would let " monitoroff" match.
std::wstring_view ArgumentText(std::wstring_view commandLine);
