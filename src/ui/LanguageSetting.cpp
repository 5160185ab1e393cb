#include "ui/Localization.h"

#include "common/Settings.h"

void LoadLanguageSetting() {
    languageIndex = 0;
    ReadSettingDword(L"Language", languageIndex);
    SetLanguage(languageIndex);
}
