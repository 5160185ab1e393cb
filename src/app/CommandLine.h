#pragma once

#include <string_view>

// Whether the whole argument text is the monitor-off switch: "monitoroff" with the
// letters A to Z in any case. Extra words or blanks make it a normal start.
bool IsMonitorOffCommandLine(std::wstring_view arguments);
