#include "ui/DialogTexts.h"

#include "common/UniqueResource.h"
#include "ui/DialogTemplate.h"
#include "ui/Localization.h"
#include "ui/ResourceLookup.h"

#include <mutex>
#include <string>
#include <vector>

namespace {

// The hidden copy only exists to be read; it handles nothing itself.
INT_PTR CALLBACK CopyDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

bool ApplyDialogTexts(unsigned templateId, HWND dialog) {
    if (templateId == 0 || !dialog) {
        return false;
    }
    std::lock_guard guard(resourceLock);
    const HINSTANCE module = ResourceModule();
    const auto found =
        FindResourceForLanguage(module, RT_DIALOG, templateId, currentLangId, MissingLanguage::UserDefault);
    if (!found) {
        return false;
    }
    // A template marked visible would flash its copy on the screen.
    std::vector<std::byte> dialogTemplate(found->data.begin(), found->data.end());
    if (!ClearTemplateVisibleStyle(dialogTemplate)) {
        return false;
    }
    const UniqueHwnd copy(::CreateDialogIndirectParamW(
        module, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr, CopyDialogProc, 0));
    if (!copy) {
        return false;
    }
    ::SetWindowTextW(dialog, WindowText(copy.get()).c_str());
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (HWND source = ::GetDlgItem(copy.get(), ::GetDlgCtrlID(child))) {
            ::SetWindowTextW(child, WindowText(source).c_str());
        }
    }
    return true;
}
