#pragma once

#include <windows.h>

#include <cstdint>

// Name of the event that marks the running instance.
inline constexpr wchar_t kInstanceEventName[] = L"Orvalux";
// Registered message a second "monitoroff" start broadcasts to the running instance.
inline constexpr wchar_t kMonitorOffMessageName[] = L"Orvalux_MonitorOff";

// Set by the panel when the display configuration changed: the message loop ends and
// everything that depends on the set of monitors is built again.
extern bool rebuildRequested;

// Ends the program: the message loop ends, and no rebuild follows even when a display
// change asked for one meanwhile, so that an Exit arriving with a display change is not
// taken for the rebuild.
void RequestExit();
// The module every resource is loaded from.
extern HINSTANCE moduleInstance;
// Delay before remembered values are sent again after a wake-up, in milliseconds.
extern uint32_t settingsTimeout;
// Step of the brightness and contrast hotkeys, in percent (1..100).
inline constexpr uint32_t kDefaultHotkeyIncrement = 10;
extern uint32_t hotkeyIncrement;

// The whole program: chooses how to run from the process command line and returns the
// exit code (0, or a negative COM result when the platform cannot be used).
int RunOrvalux(HINSTANCE instance, const wchar_t* commandLine);
