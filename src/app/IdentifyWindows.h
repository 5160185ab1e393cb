#pragma once

#include <windows.h>

#include <vector>

// "Identify": each monitor's number, large, in the middle of that monitor for two seconds.
// `areas[i]` is the screen rectangle of monitor i + 1. The windows close themselves; a
// second call while they show starts over.
void ShowMonitorNumbers(const std::vector<RECT>& areas);
