// The update component's windows and page, stored under the languages of its own set.
#include "DialogTemplate.h"
#include "ResourceAccess.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>
#include <algorithm>
#include <cstring>
#include <string>

namespace {

DialogTemplate LoadDialog(unsigned id, LANGID language) {
    const auto dialog = ParseDialogTemplate(ResourceBytes(RT_DIALOG, id, language));
    if (!dialog) {
        ADD_FAILURE() << "dialog " << id << " missing or unreadable in language " << language;
        return {};
    }
    return *dialog;
}

std::wstring ItemText(const DialogTemplate& dialog, uint32_t id) {
    for (const auto& item : dialog.items) {
        if (item.id == id) {
            return item.text;
        }
    }
    ADD_FAILURE() << "no control " << id;
    return {};
}

TEST(UpdateDialogs, EnglishTextsAndLayout) {
    const DialogTemplate update = LoadDialog(IDD_UPDATE, kEnglish);
    EXPECT_EQ(update.caption, L"Update");
    EXPECT_EQ(ItemText(update, IDC_INSTALL), L"Install");
    EXPECT_EQ(ItemText(update, IDCANCEL), L"Cancel");
    EXPECT_EQ((std::array{update.cx, update.cy}), (std::array<int16_t, 2>{366, 233}));
    EXPECT_EQ(update.style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              static_cast<uint32_t>(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    ASSERT_EQ(update.items.size(), 3u);
    const auto& page = update.items[2];
    EXPECT_EQ(page.id, static_cast<uint32_t>(IDC_UPDATE_PAGE));
    EXPECT_EQ(page.style & SS_TYPEMASK, static_cast<uint32_t>(SS_BLACKFRAME));
    EXPECT_EQ((std::array{page.x, page.y, page.cx, page.cy}), (std::array<int16_t, 4>{7, 7, 352, 201}));

    const DialogTemplate progress = LoadDialog(IDD_DOWNLOAD_PROGRESS, kEnglish);
    EXPECT_TRUE(progress.caption.empty());
    EXPECT_EQ((std::array{progress.cx, progress.cy}), (std::array<int16_t, 2>{265, 39}));
    ASSERT_EQ(progress.items.size(), 1u);
    EXPECT_EQ(progress.items[0].id, static_cast<uint32_t>(IDCANCEL));
    EXPECT_EQ(progress.items[0].text, L"Cancel");
}

TEST(UpdateDialogs, SameLayoutInEveryLanguageEachTranslated) {
    for (unsigned id : {IDD_UPDATE, IDD_DOWNLOAD_PROGRESS}) {
        const DialogTemplate english = LoadDialog(id, kEnglish);
        for (LANGID language : kUpdateLanguages) {
            const DialogTemplate translated = LoadDialog(id, language);
            EXPECT_TRUE(translated.SameLayout(english)) << "dialog " << id << " in language " << language;
            for (size_t index = 0; index < std::min(translated.items.size(), english.items.size()); ++index) {
                const auto& text = translated.items[index].text;
                EXPECT_EQ(text.empty(), english.items[index].text.empty());
                if (language != kEnglish && !text.empty()) {
                    EXPECT_NE(text, english.items[index].text) << "English left in language " << language;
                }
            }
            if (id == IDD_UPDATE && language != kEnglish) {
                EXPECT_FALSE(translated.caption.empty());
                EXPECT_NE(translated.caption, english.caption) << "English left in language " << language;
            }
        }
    }
}

std::wstring PageText(std::span<const std::byte> bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    return text;
}

size_t Occurrences(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

TEST(UpdatePage, Utf16WithByteOrderMarkAndAllPlaceholders) {
    const auto english = ResourceBytes(MAKEINTRESOURCEW(23), IDR_UPDATE_PAGE, kEnglish);
    ASSERT_GE(english.size(), 2u);
    EXPECT_EQ(english.size() % 2, 0u);
    const std::wstring page = PageText(english);
    EXPECT_EQ(page[0], L'\xFEFF');
    EXPECT_NE(page.find(L"XHTML 1.0 Transitional"), std::wstring::npos);
    EXPECT_NE(page.find(L"<title>#APPNAME# Update</title>"), std::wstring::npos);
    EXPECT_NE(page.find(L"#APPNAME# update is available."), std::wstring::npos);
    EXPECT_NE(page.find(L"Your version: #YOURVERSION#"), std::wstring::npos);
    EXPECT_NE(page.find(L"Latest version: #VERSION#"), std::wstring::npos);
    EXPECT_NE(page.find(L"<h4>Changes:</h4>"), std::wstring::npos);
    EXPECT_EQ(Occurrences(page, L"\n#CHANGES#\n"), 1u) << "the change list goes on its own line, once";
    EXPECT_NE(page.find(L"font-family: Verdana"), std::wstring::npos);

    for (LANGID language : kUpdateLanguages) {
        const auto translated = ResourceBytes(MAKEINTRESOURCEW(23), IDR_UPDATE_PAGE, language);
        EXPECT_TRUE(std::equal(translated.begin(), translated.end(), english.begin(), english.end()))
            << "the page is the same text in language " << language;
    }
}

} // namespace
