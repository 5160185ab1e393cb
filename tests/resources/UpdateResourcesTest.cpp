// The update page: one UTF-16 text in every language, with the placeholders the window fills in.
#include "ResourceAccess.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

TEST(UpdatePage, Utf16WithAllPlaceholdersInEveryLanguage) {
    const auto english = ResourceBytes(MAKEINTRESOURCEW(23), IDR_UPDATE_PAGE, kEnglish);
    ASSERT_FALSE(english.empty());
    std::wstring page(english.size() / 2, L'\0');
    std::memcpy(page.data(), english.data(), page.size() * 2);
    for (const wchar_t* placeholder : {L"#APPNAME#", L"#YOURVERSION#", L"#VERSION#", L"\n#CHANGES#\n"}) {
        EXPECT_NE(page.find(placeholder), std::wstring::npos) << placeholder;
    }
    for (LANGID language : kUpdateLanguages) {
        const auto translated = ResourceBytes(MAKEINTRESOURCEW(23), IDR_UPDATE_PAGE, language);
        EXPECT_TRUE(std::equal(translated.begin(), translated.end(), english.begin(), english.end()))
            << "the page is the same text in language " << language;
    }
}

} // namespace
