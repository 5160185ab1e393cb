// The dialogs and the tray menu as compiled in, created from the stored bytes: present in every
// language of their set, laid out identically, and translated where they carry text.
#include "StubDialog.h"
#include "ResourceAccess.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <span>
#include <tuple>
#include <vector>

namespace {

// Id, class (the font for the dialog itself), style, extended style and rectangle in
// client coordinates (font height and client size for the dialog itself).
using Layout = std::tuple<int, std::wstring, LONG, LONG, LONG, LONG, LONG, LONG>;

struct Dialog {
    std::vector<Layout> layout;      // the dialog, then its controls
    std::vector<std::wstring> texts; // the caption, then the controls'
    size_t templateItems = 0;
};

// Creates the dialog stored under exactly `language` and reads back its windows.
Dialog CreateStoredDialog(unsigned id, LANGID language) {
    static const INITCOMMONCONTROLSEX controls{
        sizeof(controls), ICC_BAR_CLASSES | ICC_HOTKEY_CLASS | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    static const bool controlsReady = InitCommonControlsEx(&controls) != FALSE;
    EXPECT_TRUE(controlsReady);
    Dialog result;
    const auto bytes = ResourceBytes(RT_DIALOG, id, language);
    // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, style, item count.
    HWND dialog = bytes.size() >= 18 && std::memcmp(bytes.data(), "\x01\x00\xFF\xFF", 4) == 0
                      ? CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                                   nullptr, test_support::StubDialogProcedure, 0)
                      : nullptr;
    if (dialog == nullptr) {
        ADD_FAILURE() << "dialog " << id << " missing or not an extended template in language " << language;
        return result;
    }
    uint16_t items = 0;
    std::memcpy(&items, bytes.data() + 16, sizeof(items));
    result.templateItems = items;
    RECT client{};
    GetClientRect(dialog, &client);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
    result.layout.emplace_back(font.lfHeight, font.lfFaceName, GetWindowLongW(dialog, GWL_STYLE),
                               GetWindowLongW(dialog, GWL_EXSTYLE), 0, 0, client.right, client.bottom);
    result.texts.push_back(test_support::WindowText(dialog));
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        result.layout.emplace_back(GetDlgCtrlID(child), className, GetWindowLongW(child, GWL_STYLE),
                                   GetWindowLongW(child, GWL_EXSTYLE), rect.left, rect.top, rect.right,
                                   rect.bottom);
        result.texts.push_back(test_support::WindowText(child));
    }
    DestroyWindow(dialog);
    return result;
}

// The popup's commands and their texts as stored under exactly `language`.
Dialog StoredTrayMenu(unsigned id, LANGID language) {
    Dialog result;
    const auto bytes = ResourceBytes(RT_MENU, id, language);
    HMENU menu = bytes.empty() ? nullptr : LoadMenuIndirectW(bytes.data());
    EXPECT_EQ(GetMenuItemCount(menu), 1) << "one popup in language " << language;
    HMENU popup = GetSubMenu(menu, 0);
    for (int index = 0; popup != nullptr && index < GetMenuItemCount(popup); ++index) {
        wchar_t text[256] = {};
        GetMenuStringW(popup, index, text, 256, MF_BYPOSITION);
        result.layout.emplace_back(GetMenuItemID(popup, index), L"", 0, 0, 0, 0, 0, 0);
        result.texts.emplace_back(text);
    }
    result.templateItems = result.layout.size() - 1;
    DestroyMenu(menu);
    return result;
}

// The update windows carry their texts in their templates, the menu its own: each translated.
TEST(Dialogs, EveryLanguageCreatesTheSameLayoutWithAllItsControls) {
    const struct {
        unsigned id;
        std::span<const uint16_t> languages;
        bool translated;
    } dialogs[] = {{IDD_PANEL, kProgramLanguages, false},           {IDD_HOTKEYS, kProgramLanguages, false},
                   {IDD_REAPPLY_DELAY, kProgramLanguages, false},   {IDD_LANGUAGE, kProgramLanguages, false},
                   {IDD_MONITORS, kProgramLanguages, false},        {IDD_UPDATE, kUpdateLanguages, true},
                   {IDD_DOWNLOAD_PROGRESS, kUpdateLanguages, true}, {IDR_TRAY_MENU, kProgramLanguages, true}};
    for (const auto& set : dialogs) {
        const auto read = set.id == IDR_TRAY_MENU ? StoredTrayMenu : CreateStoredDialog;
        const Dialog english = read(set.id, kEnglish);
        ASSERT_GT(english.layout.size(), 1u) << set.id;
        for (LANGID language : set.languages) {
            const Dialog translated = read(set.id, language);
            EXPECT_EQ(translated.layout.size(), translated.templateItems + 1)
                << "dialog " << set.id << " in language " << language;
            EXPECT_EQ(translated.layout, english.layout)
                << "dialog " << set.id << " in language " << language;
            for (size_t index = 0; set.translated && index < translated.texts.size(); ++index) {
                if (language != kEnglish && !english.texts.at(index).empty()) {
                    EXPECT_NE(translated.texts[index], english.texts[index])
                        << "English left in " << set.id << ", language " << language << ", item " << index;
                }
            }
        }
    }
}

} // namespace
