#pragma once

// Whether more than one installation of the program's package is registered. While an
// update replaces the installed version, the new one is registered before the old one is
// removed, and the removal must not undo what the new one keeps.
bool IsUpdateReplacingInstallation();
