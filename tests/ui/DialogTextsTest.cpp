#include "StubDialog.h"
#include "LocalizationTestIds.h"
#include "StringResourceReader.h"

#include "common/UniqueResource.h"
#include "resource.h"
#include "ui/DialogTexts.h"
#include "ui/ResourceLookup.h"
#include "ui/TrayMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using test_support::WindowText;

class DialogTexts : public ::testing::Test {
protected:
    void SetUp() override {
        live_.reset(::CreateDialogParamW(nullptr, MAKEINTRESOURCEW(IDD_TEST_LIVE), nullptr,
                                         test_support::StubDialogProcedure, 0));
        ASSERT_TRUE(live_);
    }
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts = {WindowText(live_.get())};
        for (const int id : {IDC_TEST_FIRST, IDC_TEST_SECOND, IDC_TEST_BUTTON}) {
            texts.push_back(WindowText(::GetDlgItem(live_.get(), id)));
        }
        return texts;
    }

    UniqueHwnd live_;
};

// The live dialog has a control (IDC_TEST_SECOND) the templates lack; without a template it stays as built.
TEST_F(DialogTexts, TemplateOfTheCurrentLanguageLeavesExtraControlsAlone) {
    const struct {
        unsigned templateId;
        uint16_t language;
        std::vector<std::wstring> texts;
    } cases[] = {
        {4199, 1033, {L"Live caption", L"live 4101", L"live 4102", L"live 4103"}},
        {IDD_TEST_TEXTS, 1043, {L"Nederlandse titel", L"Nederlands 4101", L"live 4102", L"Nederlands 4103"}},
        {IDD_TEST_TEXTS, 1033, {L"English caption", L"English 4101", L"live 4102", L"English 4103"}},
    };
    for (const auto& expected : cases) {
        const ScopedLanguage scope(expected.language);
        EXPECT_EQ(ApplyDialogTexts(expected.templateId, live_.get()), expected.templateId == IDD_TEST_TEXTS);
        EXPECT_EQ(Texts(), expected.texts) << expected.templateId << " in " << expected.language;
    }
}

// What the resource tests read each language with: a full id never reaches its primary language's copy.
TEST(ResourceLookup, FindsOnlyTheExactLanguage) {
    EXPECT_EQ(ResourceLanguages(nullptr, RT_DIALOG, IDD_TEST_TEXTS), (std::vector<uint16_t>{9, 19}));
    EXPECT_TRUE(FindExactResource(nullptr, RT_DIALOG, IDD_TEST_TEXTS, 19));
    EXPECT_FALSE(FindExactResource(nullptr, RT_DIALOG, IDD_TEST_TEXTS, 1043));
    EXPECT_FALSE(FindExactResource(nullptr, RT_DIALOG, 4199, 9));
}

// Under a Polish UI language (not shipped) with the first language entry, the menu and dialogs come as
// the user default (English), rather than not at all.
using PolishUserInterface = DialogTexts;
TEST_F(PolishUserInterface, MenuAndDialogsComeAsTheUserDefault) {
    ASSERT_EQ(::GetUserDefaultUILanguage(), 1045) << "this test needs a Polish user interface language";
    const ScopedLanguage restore(currentLangId);
    SetLanguage(0);
    ASSERT_EQ(currentLangId, 1045);
    const UniqueHmenu menu = LoadTrayMenu();
    ASSERT_TRUE(menu);
    EXPECT_NE(::GetMenuState(menu.get(), IDM_EXIT, MF_BYCOMMAND), UINT_MAX);
    ASSERT_TRUE(ApplyDialogTexts(IDD_HOTKEYS, live_.get()));
    EXPECT_EQ(WindowText(live_.get()), L"Define hotkeys");
}

} // namespace
