#pragma once

#include "common/IntRect.h"

// The primary display's rectangle: the first display whose monitors' union starts at
// the origin, or the primary work area when none does.
IntRect PrimaryMonitorRect();
