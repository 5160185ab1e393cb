// The program's dialogs and tray menu as compiled into the executable: present in every
// language of their set, laid out identically, and translated where they carry text.
#include "DialogTemplate.h"
#include "ResourceAccess.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>
#include <map>
#include <string>

namespace {

DialogTemplate LoadDialog(unsigned id, LANGID language) {
    const auto bytes = ResourceBytes(RT_DIALOG, id, language);
    const auto dialog = ParseDialogTemplate(bytes);
    if (!dialog) {
        ADD_FAILURE() << "dialog " << id << " missing or unreadable in language " << language;
        return {};
    }
    return *dialog;
}

const DialogItem* FindItem(const DialogTemplate& dialog, uint32_t id) {
    for (const auto& item : dialog.items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

void ExpectItem(const DialogTemplate& dialog, uint32_t id, const wchar_t* windowClass, uint32_t style,
                int16_t x, int16_t y, int16_t cx, int16_t cy) {
    const DialogItem* item = FindItem(dialog, id);
    ASSERT_NE(item, nullptr) << "control " << id;
    // The resource compiler may store a class name in capitals; window classes ignore case.
    EXPECT_EQ(_wcsicmp(item->windowClass.c_str(), windowClass), 0)
        << "control " << id << ": " << item->windowClass;
    EXPECT_EQ(item->style, style) << "control " << id;
    EXPECT_EQ((std::array{item->x, item->y, item->cx, item->cy}), (std::array{x, y, cx, cy}))
        << "control " << id;
}

constexpr unsigned kProgramDialogs[] = {IDD_PANEL, IDD_HOTKEYS, IDD_REAPPLY_DELAY, IDD_LANGUAGE};

TEST(ProgramDialogs, SameLayoutInEveryLanguage) {
    for (unsigned id : kProgramDialogs) {
        const DialogTemplate english = LoadDialog(id, kEnglish);
        for (LANGID language : kProgramLanguages) {
            const DialogTemplate translated = LoadDialog(id, language);
            EXPECT_TRUE(translated.SameLayout(english)) << "dialog " << id << " in language " << language;
            if (id != IDD_HOTKEYS) {
                EXPECT_EQ(translated.caption, english.caption)
                    << "dialog " << id << " in language " << language;
            }
        }
    }
}

TEST(ProgramDialogs, PanelHasTheDocumentedStylesAndControls) {
    const DialogTemplate panel = LoadDialog(IDD_PANEL, kEnglish);
    EXPECT_EQ(panel.style, 0x84040040u);
    EXPECT_EQ(panel.exStyle, 0x2080088u);
    EXPECT_EQ(panel.cx, 159);
    EXPECT_EQ(panel.cy, 133);
    EXPECT_TRUE(panel.caption.empty());
    EXPECT_EQ(panel.pointSize, 8);
    EXPECT_EQ(panel.typeface, L"MS Shell Dlg 2");

    const std::pair<uint32_t, int16_t> sliders[] = {
        {IDC_BRIGHTNESS_SLIDER, 4}, {IDC_CONTRAST_SLIDER, 24}, {IDC_COLOR_TEMPERATURE_SLIDER, 44},
        {IDC_RED_SLIDER, 64},       {IDC_GREEN_SLIDER, 84},    {IDC_BLUE_SLIDER, 104}};
    for (auto [id, x] : sliders) {
        ExpectItem(panel, id, L"msctls_trackbar32", 0x50010012, x, 32, 17, 98);
        EXPECT_EQ(FindItem(panel, id)->exStyle, static_cast<uint32_t>(WS_EX_TRANSPARENT));
    }
    const std::pair<uint32_t, int16_t> iconHolders[] = {
        {IDC_BRIGHTNESS_ICON, 10}, {IDC_CONTRAST_ICON, 30}, {IDC_COLOR_TEMPERATURE_ICON, 50},
        {IDC_RED_ICON, 70},        {IDC_GREEN_ICON, 90},    {IDC_BLUE_ICON, 110}};
    for (auto [id, x] : iconHolders) {
        ExpectItem(panel, id, L"Static", WS_CHILD | SS_ICON, x, 21, 20, 20);
    }
    const std::pair<uint32_t, int16_t> buttons[] = {{IDC_LANGUAGE, 37},
                                                    {IDC_REAPPLY_DELAY, 52},
                                                    {IDC_HOTKEYS, 67},
                                                    {IDC_FACTORY_RESET, 97},
                                                    {IDC_EXPAND, 112}};
    for (auto [id, y] : buttons) {
        ExpectItem(panel, id, L"Button", 0x50010040, 140, y, 16, 14);
    }
    EXPECT_EQ(panel.items.size(), 17u);
}

TEST(ProgramDialogs, PopupsHaveTheDocumentedStylesAndControls) {
    const DialogTemplate hotkeys = LoadDialog(IDD_HOTKEYS, kEnglish);
    EXPECT_EQ(hotkeys.style, 0x80C800C0u);
    EXPECT_EQ(hotkeys.exStyle, 0x80u);
    EXPECT_EQ((std::array{hotkeys.cx, hotkeys.cy}), (std::array<int16_t, 2>{178, 116}));
    for (uint32_t id : {IDC_MONITOR_OFF_HOTKEY, IDC_BRIGHTNESS_UP_HOTKEY, IDC_BRIGHTNESS_DOWN_HOTKEY,
                        IDC_CONTRAST_UP_HOTKEY, IDC_CONTRAST_DOWN_HOTKEY}) {
        ASSERT_NE(FindItem(hotkeys, id), nullptr) << id;
        EXPECT_EQ(_wcsicmp(FindItem(hotkeys, id)->windowClass.c_str(), L"msctls_hotkey32"), 0);
    }
    for (uint32_t id : {IDC_MONITOR_OFF_MARK, IDC_BRIGHTNESS_UP_MARK, IDC_BRIGHTNESS_DOWN_MARK,
                        IDC_CONTRAST_UP_MARK, IDC_CONTRAST_DOWN_MARK}) {
        ASSERT_NE(FindItem(hotkeys, id), nullptr) << id;
        EXPECT_EQ(FindItem(hotkeys, id)->style & SS_TYPEMASK, static_cast<uint32_t>(SS_ICON));
    }
    for (uint32_t id : {IDC_INCREMENT, IDOK, IDCANCEL}) {
        ASSERT_NE(FindItem(hotkeys, id), nullptr) << id;
        EXPECT_TRUE(FindItem(hotkeys, id)->text.empty()) << "buttons carry images only";
    }
    EXPECT_EQ(FindItem(hotkeys, IDOK)->style & BS_TYPEMASK, static_cast<uint32_t>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(hotkeys.items.size(), 13u);

    const DialogTemplate delay = LoadDialog(IDD_REAPPLY_DELAY, kEnglish);
    EXPECT_EQ(delay.style, 0x80000040u);
    EXPECT_EQ(delay.exStyle, 0x2080088u);
    EXPECT_EQ((std::array{delay.cx, delay.cy}), (std::array<int16_t, 2>{21, 70}));
    ExpectItem(delay, IDC_REAPPLY_DELAY_SLIDER, L"msctls_trackbar32", 0x50010012, 1, 1, 17, 69);
    EXPECT_EQ(delay.items.size(), 1u);

    const DialogTemplate language = LoadDialog(IDD_LANGUAGE, kEnglish);
    EXPECT_EQ(language.style, 0x80000040u);
    EXPECT_EQ(language.exStyle, 0x2080088u);
    EXPECT_EQ((std::array{language.cx, language.cy}), (std::array<int16_t, 2>{102, 14}));
    ExpectItem(language, IDC_LANGUAGE_LIST, L"ComboBoxEx32", 0x50210103, 0, 0, 102, 200);
    EXPECT_EQ(language.items.size(), 1u);
}

TEST(ProgramDialogs, HotkeyDialogCaptionIsTranslated) {
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
        EXPECT_EQ(LoadDialog(IDD_HOTKEYS, language).caption, captions.at(language))
            << "language " << language;
    }
}

// The templates name only window classes that exist once common controls are initialised,
// so every dialog can be created from the stored bytes in every language.
INT_PTR CALLBACK EmptyDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

int CountChildren(HWND parent) {
    int count = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        ++count;
    }
    return count;
}

TEST(ProgramDialogs, EveryTemplateCreatesAllItsControls) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_HOTKEY_CLASS | ICC_USEREX_CLASSES |
                                                        ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    for (unsigned id : kProgramDialogs) {
        for (LANGID language : kProgramLanguages) {
            const auto bytes = ResourceBytes(RT_DIALOG, id, language);
            const auto parsed = ParseDialogTemplate(bytes);
            ASSERT_TRUE(parsed.has_value());
            HWND dialog = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                                     nullptr, EmptyDialogProc, 0);
            ASSERT_NE(dialog, nullptr) << "dialog " << id << " in language " << language;
            EXPECT_EQ(CountChildren(dialog), static_cast<int>(parsed->items.size()))
                << "dialog " << id << " in language " << language;
            DestroyWindow(dialog);
        }
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
    for (size_t index = 0; index < english.size(); ++index) {
        EXPECT_EQ(english[index].id, expectedIds[index]);
    }
    EXPECT_EQ(english[0].text, L"About ...");
    EXPECT_EQ(english[4].text, L"Exit");
    for (LANGID language : kProgramLanguages) {
        const auto items = TrayMenuItems(language);
        ASSERT_EQ(items.size(), english.size()) << "language " << language;
        for (size_t index = 0; index < items.size(); ++index) {
            EXPECT_EQ(items[index].id, english[index].id) << "language " << language;
            EXPECT_FALSE(items[index].text.empty()) << "language " << language;
            if (language != kEnglish) {
                EXPECT_NE(items[index].text, english[index].text)
                    << "English text left in language " << language << ", item " << items[index].id;
            }
        }
    }
}

} // namespace
