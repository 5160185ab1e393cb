#pragma once

#include <windows.h>

#include <commctrl.h>

// Creates a balloon tooltip window owned by `dialog` and registers every child control
// with it; a control's tooltip is the string whose id is the control's id, asked for
// when shown. Returns the tooltip window (destroyed with its owner), or null.
HWND CreateTooltips(HWND dialog);

// The shared WM_NOTIFY step of dialogs with tooltips: answers a tooltip's text request
// and returns true when there is a text for the control.
bool HandleTooltipNotify(NMHDR* notification);
