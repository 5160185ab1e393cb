#include "ui/framework/DwmApi.h"

#include "common/UniqueResource.h"

#include <string>

namespace {

template <typename Function> Function LookUp(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)))
                   : nullptr;
}

class SystemDwmApi final : public DwmApi {
public:
    SystemDwmApi() {
        // A full System32 path: the dialogs may be constructed before the process limits
        // its DLL search, and Windows 7 may lack the search flags.
        wchar_t directory[MAX_PATH];
        const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            library_.reset(::LoadLibraryW((std::wstring(directory, length) + L"\\dwmapi.dll").c_str()));
        }
        isCompositionEnabled_ =
            LookUp<IsCompositionEnabledFunction>(library_.get(), "DwmIsCompositionEnabled");
        extendFrame_ = LookUp<ExtendFrameFunction>(library_.get(), "DwmExtendFrameIntoClientArea");
    }

    bool IsCompositionEnabled() override {
        BOOL enabled = FALSE;
        return isCompositionEnabled_ && SUCCEEDED(isCompositionEnabled_(&enabled)) && enabled;
    }

    HRESULT ExtendFrameIntoClientArea(HWND window, const MARGINS& margins) override {
        return extendFrame_ ? extendFrame_(window, &margins) : E_NOTIMPL;
    }

private:
    using IsCompositionEnabledFunction = HRESULT(WINAPI*)(BOOL*);
    using ExtendFrameFunction = HRESULT(WINAPI*)(HWND, const MARGINS*);

    UniqueHmodule library_;
    IsCompositionEnabledFunction isCompositionEnabled_ = nullptr;
    ExtendFrameFunction extendFrame_ = nullptr;
};

} // namespace

std::unique_ptr<DwmApi> LoadSystemDwmApi() {
    return std::make_unique<SystemDwmApi>();
}
