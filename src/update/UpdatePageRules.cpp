#include "update/UpdatePageRules.h"

#include "ui/TextConversion.h"

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>

#include <algorithm>

std::string DecodeChanges(std::string_view base64) {
    std::string decoded;
    // The decoder ignores what is not in its alphabet, padding included.
    CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(base64.data()), base64.size(), true,
                                  new CryptoPP::Base64Decoder(new CryptoPP::StringSink(decoded)));
    return decoded;
}

std::u16string ChangeTable(std::string_view changesBase64) {
    return u"<table border=\"1\" style=\"width:100%; text-align:center\">\n" +
           Utf8ToUtf16(DecodeChanges(changesBase64)) + u"\n</table>";
}

std::u16string FillUpdatePage(std::u16string page, const UpdatePageValues& values) {
    ReplaceAll(page, u"#APPNAME#", values.appName);
    ReplaceAll(page, u"#YOURVERSION#", values.runningVersion);
    ReplaceAll(page, u"#VERSION#", values.offeredVersion);
    if (const size_t changes = page.find(u"#CHANGES#"); changes != std::u16string::npos) {
        page.replace(changes, std::u16string_view(u"#CHANGES#").size(), ChangeTable(values.changesBase64));
    }
    return page;
}

bool IsLinkToOpen(std::u16string_view address) {
    for (const std::u16string_view scheme :
         {std::u16string_view(u"http://"), std::u16string_view(u"https://")}) {
        if (address.size() <= scheme.size()) {
            continue;
        }
        bool same = true;
        for (size_t i = 0; i < scheme.size() && same; ++i) {
            const char16_t c = address[i];
            same = (c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c) == scheme[i];
        }
        // A control character could end the address early for whatever reads it next.
        if (same) {
            return std::none_of(address.begin(), address.end(),
                                [](char16_t c) { return c < 0x20 || c == 0x7F; });
        }
    }
    return false;
}
