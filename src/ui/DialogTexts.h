#pragma once

#include <windows.h>

// Gives the live dialog `dialog` the caption and control texts of dialog resource
// `templateId` in the current language, or as the user default when that language has no
// copy. Controls the template lacks keep their texts; a missing template (or id 0, a
// dialog built in memory) leaves the dialog as it is.
// Returns whether the texts were applied.
bool ApplyDialogTexts(unsigned templateId, HWND dialog);
