#include "ui/DialogTexts.h"

#include "ui/DialogTemplate.h"
#include "ui/Localization.h"
#include "ui/ResourceLookup.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>

namespace {

std::wstring Wide(const std::u16string& text) {
    return {text.begin(), text.end()};
}

// Each change of a text redraws the window; an unchanged one is left alone.
void SetTextIfChanged(HWND window, const std::wstring& text) {
    std::wstring current(text.size() + 2, L'\0');
    current.resize(
        static_cast<size_t>(::GetWindowTextW(window, current.data(), static_cast<int>(current.size()))));
    if (current != text) {
        ::SetWindowTextW(window, text.c_str());
    }
}

} // namespace

bool ApplyDialogTexts(unsigned templateId, HWND dialog) {
    if (templateId == 0 || !dialog) {
        return false;
    }
    std::optional<DialogTemplateTexts> texts;
    {
        std::lock_guard guard(resourceLock);
        const auto found = FindResourceForLanguage(ResourceModule(), RT_DIALOG, templateId, currentLangId,
                                                   MissingLanguage::UserDefault);
        if (!found) {
            return false;
        }
        texts = ReadDialogTemplateTexts(found->data);
    }
    if (!texts) {
        return false;
    }
    SetTextIfChanged(dialog, Wide(texts->caption));
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const auto id = static_cast<uint32_t>(::GetDlgCtrlID(child));
        const auto control = std::find_if(texts->controls.begin(), texts->controls.end(),
                                          [id](const DialogTemplateTexts::Control& c) { return c.id == id; });
        if (control != texts->controls.end()) {
            SetTextIfChanged(child, Wide(control->text));
        }
    }
    return true;
}
