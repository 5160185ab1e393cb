#pragma once

#include <windows.h>

#include <uxtheme.h>

#include <memory>

// The desktop window manager calls the dialogs use, looked up at run time: "dwmapi.dll"
// is missing on some systems, and tests need composition on where the platform has none.
class DwmApi {
public:
    virtual ~DwmApi() = default;
    // True when the composition query succeeds and reports composition on.
    virtual bool IsCompositionEnabled() = 0;
    virtual HRESULT ExtendFrameIntoClientArea(HWND window, const MARGINS& margins) = 0;
};

// The system's library, loaded from System32 only, freed with the object. Without the
// library composition is off and nothing is extended.
std::unique_ptr<DwmApi> LoadSystemDwmApi();
