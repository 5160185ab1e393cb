// The program's and the update component's dialogs and the tray menu as compiled into
// the executable: present in every language of their set, laid out identically, and
// translated where they carry text. Each dialog is created from the stored bytes, so the
// comparison is of what the user sees.
#include "ResourceAccess.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr unsigned kProgramDialogs[] = {IDD_PANEL, IDD_HOTKEYS, IDD_REAPPLY_DELAY, IDD_LANGUAGE};
constexpr unsigned kUpdateDialogs[] = {IDD_UPDATE, IDD_DOWNLOAD_PROGRESS};

INT_PTR CALLBACK EmptyDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept {
    return FALSE;
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct Control {
    int id;
    std::wstring windowClass, text;
    LONG style, exStyle;
    RECT rect; // in the dialog's client coordinates
    auto Layout() const {
        return std::tuple(id, windowClass, style, exStyle, rect.left, rect.top, rect.right, rect.bottom);
    }
};

struct Dialog {
    std::wstring caption, font;
    LONG style = 0, exStyle = 0, fontHeight = 0, width = 0, height = 0;
    std::vector<Control> controls;
    size_t templateItems = 0;

    bool SameLayout(const Dialog& other) const {
        if (std::tie(style, exStyle, font, fontHeight, width, height) !=
                std::tie(other.style, other.exStyle, other.font, other.fontHeight, other.width,
                         other.height) ||
            controls.size() != other.controls.size()) {
            return false;
        }
        for (size_t index = 0; index < controls.size(); ++index) {
            if (controls[index].Layout() != other.controls[index].Layout()) {
                return false;
            }
        }
        return true;
    }
};

// Creates the dialog stored under exactly `language` and reads back its windows.
Dialog CreateStoredDialog(unsigned id, LANGID language) {
    static const bool controlsReady = [] {
        const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_HOTKEY_CLASS |
                                                                  ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    EXPECT_TRUE(controlsReady);
    Dialog result;
    const auto bytes = ResourceBytes(RT_DIALOG, id, language);
    // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, style, item count.
    if (bytes.size() < 18 || std::memcmp(bytes.data(), "\x01\x00\xFF\xFF", 4) != 0) {
        ADD_FAILURE() << "dialog " << id << " missing or not an extended template in language " << language;
        return result;
    }
    uint16_t items = 0;
    std::memcpy(&items, bytes.data() + 16, sizeof(items));
    result.templateItems = items;
    HWND dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                             nullptr, EmptyDialogProc, 0);
    if (dialog == nullptr) {
        ADD_FAILURE() << "dialog " << id << " cannot be created in language " << language;
        return result;
    }
    result.caption = WindowText(dialog);
    result.style = GetWindowLongW(dialog, GWL_STYLE);
    result.exStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
    RECT client{};
    GetClientRect(dialog, &client);
    result.width = client.right;
    result.height = client.bottom;
    LOGFONTW font{};
    if (GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font)) {
        result.font = font.lfFaceName;
        result.fontHeight = font.lfHeight;
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        Control control{GetDlgCtrlID(child),
                        ClassName(child),
                        WindowText(child),
                        GetWindowLongW(child, GWL_STYLE),
                        GetWindowLongW(child, GWL_EXSTYLE),
                        {}};
        GetWindowRect(child, &control.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&control.rect), 2);
        result.controls.push_back(std::move(control));
    }
    DestroyWindow(dialog);
    return result;
}

TEST(Dialogs, EveryLanguageCreatesTheSameLayoutWithAllItsControls) {
    for (unsigned id : kProgramDialogs) {
        const Dialog english = CreateStoredDialog(id, kEnglish);
        for (LANGID language : kProgramLanguages) {
            const Dialog translated = CreateStoredDialog(id, language);
            EXPECT_EQ(translated.controls.size(), translated.templateItems)
                << "dialog " << id << " in language " << language;
            EXPECT_TRUE(translated.SameLayout(english)) << "dialog " << id << " in language " << language;
            if (id != IDD_HOTKEYS) {
                EXPECT_EQ(translated.caption, english.caption)
                    << "dialog " << id << " in language " << language;
            }
        }
    }
    for (unsigned id : kUpdateDialogs) {
        const Dialog english = CreateStoredDialog(id, kEnglish);
        for (LANGID language : kUpdateLanguages) {
            const Dialog translated = CreateStoredDialog(id, language);
            EXPECT_EQ(translated.controls.size(), translated.templateItems)
                << "dialog " << id << " in language " << language;
            ASSERT_TRUE(translated.SameLayout(english)) << "dialog " << id << " in language " << language;
            for (size_t index = 0; index < translated.controls.size(); ++index) {
                const auto& text = translated.controls[index].text;
                EXPECT_EQ(text.empty(), english.controls[index].text.empty());
                if (language != kEnglish && !text.empty()) {
                    EXPECT_NE(text, english.controls[index].text) << "English left in language " << language;
                }
            }
            if (id == IDD_UPDATE && language != kEnglish) {
                EXPECT_FALSE(translated.caption.empty());
                EXPECT_NE(translated.caption, english.caption) << "English left in language " << language;
            }
        }
    }
    // The controls the update window drives by id.
    std::vector<int> updateIds;
    for (const Control& control : CreateStoredDialog(IDD_UPDATE, kEnglish).controls) {
        updateIds.push_back(control.id);
    }
    EXPECT_EQ(updateIds, (std::vector<int>{IDC_INSTALL, IDCANCEL, IDC_UPDATE_PAGE}));
    const auto progress = CreateStoredDialog(IDD_DOWNLOAD_PROGRESS, kEnglish).controls;
    ASSERT_EQ(progress.size(), 1u);
    EXPECT_EQ(progress[0].id, IDCANCEL);
}

TEST(Dialogs, HotkeyDialogCaptionIsTranslated) {
    const std::map<LANGID, std::wstring> captions = {
        {1, L"تعريف مفاتيح التشغيل السريع"},
        {4, L"定义热键"},
        {7, L"Definieren Sie hotkeys"},
        {8, L"Ορισμός των πλήκτρων συντόμευσης"},
        {9, L"Define hotkeys"},
        {10, L"Definir teclas de acceso rápido"},
        {12, L"Définir des raccourcis clavier"},
        {13, L"הגדר מקשי הקיצור"},
        {16, L"Definire i tasti di scelta rapida"},
        {17, L"ホットキーを定義します。"},
        {18, L"단축키 정의"},
        {19, L"Define hotkeys"},
        {22, L"Definir as teclas de atalho"},
        {25, L"Определение клавиш"},
        {29, L"Definiera hotkeys"},
        {1028, L"定義熱鍵"},
    };
    for (LANGID language : kProgramLanguages) {
        EXPECT_EQ(CreateStoredDialog(IDD_HOTKEYS, language).caption, captions.at(language))
            << "language " << language;
    }
}

struct MenuEntry {
    UINT id;
    std::wstring text;
};

std::vector<MenuEntry> TrayMenuItems(LANGID language) {
    const auto bytes = ResourceBytes(RT_MENU, IDR_TRAY_MENU, language);
    std::vector<MenuEntry> entries;
    if (bytes.empty()) {
        ADD_FAILURE() << "menu missing in language " << language;
        return entries;
    }
    HMENU menu = LoadMenuIndirectW(bytes.data());
    EXPECT_EQ(GetMenuItemCount(menu), 1) << "one popup in language " << language;
    HMENU popup = GetSubMenu(menu, 0);
    for (int index = 0; popup != nullptr && index < GetMenuItemCount(popup); ++index) {
        wchar_t text[256] = {};
        GetMenuStringW(popup, index, text, 256, MF_BYPOSITION);
        entries.push_back({GetMenuItemID(popup, index), text});
    }
    DestroyMenu(menu);
    return entries;
}

TEST(TrayMenu, SameCommandsInEveryLanguageEachTranslated) {
    const auto english = TrayMenuItems(kEnglish);
    const UINT expectedIds[] = {IDM_ABOUT, IDM_START_WITH_WINDOWS, IDM_CHECK_FOR_UPDATES, IDM_MONITOR_OFF,
                                IDM_EXIT};
    ASSERT_EQ(english.size(), std::size(expectedIds));
    for (LANGID language : kProgramLanguages) {
        const auto items = TrayMenuItems(language);
        ASSERT_EQ(items.size(), english.size()) << "language " << language;
        for (size_t index = 0; index < items.size(); ++index) {
            EXPECT_EQ(items[index].id, expectedIds[index]) << "language " << language;
            EXPECT_FALSE(items[index].text.empty()) << "language " << language;
            if (language != kEnglish) {
                EXPECT_NE(items[index].text, english[index].text)
                    << "English text left in language " << language << ", item " << items[index].id;
            }
        }
    }
}

} // namespace
