#pragma once

#include <string>

// Tells whoever started the program why it cannot start: on the console it was started
// from, if any, and to a debugger.
void ReportStartupError(const std::string& message);
