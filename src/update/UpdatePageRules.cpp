#include "update/UpdatePageRules.h"

#include "ui/TextConversion.h"

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>

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
