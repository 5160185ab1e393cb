#include "update/UpdatePageRules.h"

#include "ui/TextConversion.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdatePageRules, ChangesDecodeWhateverTheLayoutOfTheBase64) {
    EXPECT_EQ(DecodeChanges("PHRyPjx0ZD5G\r\nYXN0ZXI8L3Rk\nPjwvdHI+"), "<tr><td>Faster</td></tr>");
    EXPECT_EQ(DecodeChanges("w6k="), "\xc3\xa9") << "padding";
    EXPECT_EQ(DecodeChanges("w6k"), "\xc3\xa9") << "no padding";
    EXPECT_EQ(DecodeChanges("!!w6k=?"), "\xc3\xa9") << "characters outside the alphabet";
    EXPECT_EQ(DecodeChanges(""), "");
}

TEST(UpdatePageRules, TheChangeTableIsBorderedAcrossThePage) {
    EXPECT_EQ(Utf16ToUtf8(ChangeTable("PHRyPjx0ZD5HcsO8bjwvdGQ+PC90cj4=")),
              "<table border=\"1\" style=\"width:100%; text-align:center\">\n"
              "<tr><td>Gr\xc3\xbcn</td></tr>\n</table>");
    // Bytes that are no UTF-8 ("/w==" is 0xFF) still give a page.
    EXPECT_EQ(ChangeTable("/w=="), u"<table border=\"1\" style=\"width:100%; text-align:center\">\n"
                                   u"\uFFFD\n</table>");
}

TEST(UpdatePageRules, PlaceholdersAreFilledAndTheFirstChangesMarkTakesTheTable) {
    UpdatePageValues values{u"Orvalux", u"3.1.5", u"", "PHRyPg=="};
    const std::u16string page = FillUpdatePage(
        u"<title>#APPNAME# Update</title><h3>#APPNAME# #YOURVERSION# / #VERSION#</h3>#CHANGES#|#CHANGES#",
        values);
    EXPECT_EQ(Utf16ToUtf8(page),
              "<title>Orvalux Update</title><h3>Orvalux 3.1.5 / </h3>"
              "<table border=\"1\" style=\"width:100%; text-align:center\">\n<tr>\n</table>|#CHANGES#");
    values.offeredVersion = u"#VERSION#";
    EXPECT_EQ(FillUpdatePage(u"#VERSION#", values), u"#VERSION#") << "a value is not expanded again";
}

TEST(UpdatePageRules, OnlyWebAddressesLeaveThePage) {
    EXPECT_TRUE(IsLinkToOpen(u"https://orvalux.org/changes"));
    EXPECT_TRUE(IsLinkToOpen(u"HTTP://orvalux.org/"));
    for (const char16_t* address :
         {u"file:///C:/Windows/System32/calc.exe", u"\\\\server\\share\\setup.exe", u"file://server/share",
          u"ms-settings:privacy", u"search-ms:query=x", u"javascript:alert(1)", u"mailto:a@b", u"about:blank",
          u"http:\\\\server\\share", u" https://orvalux.org", u"https://", u"https://x\ny", u""}) {
        EXPECT_FALSE(IsLinkToOpen(address)) << Utf16ToUtf8(address);
    }
}

} // namespace
