// The update component's page: one UTF-16 text, the same under every language of its set,
// holding the placeholders the update window fills in.
#include "ResourceAccess.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

TEST(UpdatePage, Utf16WithByteOrderMarkAndAllPlaceholders) {
    const auto english = ResourceBytes(MAKEINTRESOURCEW(23), IDR_UPDATE_PAGE, kEnglish);
    ASSERT_GE(english.size(), 4u);
    EXPECT_EQ(english.size() % 2, 0u);
    std::wstring page(english.size() / 2, L'\0');
    std::memcpy(page.data(), english.data(), page.size() * 2);
    EXPECT_EQ(page[0], L'\xFEFF');
    EXPECT_NE(page[1], L'\xFEFF') << "one byte order mark only";
    for (const wchar_t* placeholder : {L"#APPNAME#", L"#YOURVERSION#", L"#VERSION#"}) {
        EXPECT_NE(page.find(placeholder), std::wstring::npos) << placeholder;
    }
    // The change list goes on its own line, once.
    const size_t changes = page.find(L"#CHANGES#");
    ASSERT_NE(changes, std::wstring::npos);
    EXPECT_EQ(page.compare(changes - 1, 11, L"\n#CHANGES#\n"), 0);
    EXPECT_EQ(page.find(L"#CHANGES#", changes + 1), std::wstring::npos);

    for (LANGID language : kUpdateLanguages) {
        const auto translated = ResourceBytes(MAKEINTRESOURCEW(23), IDR_UPDATE_PAGE, language);
        EXPECT_TRUE(std::equal(translated.begin(), translated.end(), english.begin(), english.end()))
            << "the page is the same text in language " << language;
    }
}

} // namespace
