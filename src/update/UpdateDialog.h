#pragma once

#include "update/UpdateParams.h"
#include "update/UpdateRules.h"

#include <windows.h>

// The update page (dialog 10200): the offered version and its changes in the embedded
// browser, Install and Cancel. Links in the page open in the default browser. Returns
// kUpdatePageInstall only when the user chose Install; anything else (closed, cancelled,
// ended by a quit message, not shown) installs nothing.
inline constexpr INT_PTR kUpdatePageInstall = 10202; // the Install button's id
INT_PTR ShowUpdateDialog(HWND owner, const UpdateParams& params, const UpdateAnswer& answer);
