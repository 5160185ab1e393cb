#pragma once

#include "update/UpdateParams.h"
#include "update/UpdateRules.h"

#include <windows.h>

// The update page (dialog 10200): the offered version and its changes in the embedded
// browser, Install and Cancel. Links in the page open in the default browser. Returns 0
// for Install, -1 when the user closed it (or it could not be shown).
INT_PTR ShowUpdateDialog(HWND owner, const UpdateParams& params, const UpdateAnswer& answer);
