// The answer's Changes through the Base64 decoder and the UTF-8 to UTF-16 conversion
// into the update page. The input up to its first NUL byte is the offered version, the
// rest the Changes text; without a NUL byte it is all Changes. A sanitizer report, an
// exception or a broken promise below is a finding.
#include "Require.h"
#include "ui/TextConversion.h"
#include "update/UpdatePageRules.h"

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Well-formed UTF-16 comes back from UTF-8 unchanged; a lone or reversed surrogate comes
// back replaced.
bool IsWellFormedUtf16(std::u16string_view text) {
    return Utf8ToUtf16(Utf16ToUtf8(text)) == text;
}

// Whatever the bytes, the text is well-formed; when nothing had to be replaced, the way
// back gives the very bytes.
void RequireSoundConversion(std::string_view bytes) {
    const std::u16string text = Utf8ToUtf16(bytes);
    Require(IsWellFormedUtf16(text), "UTF-8 converts to well-formed UTF-16");
    if (text.find(u'\uFFFD') == std::u16string::npos) {
        Require(Utf16ToUtf8(text) == bytes,
                "UTF-8 converted without replacement converts back to the same bytes");
    }
}

// Base64 as an endpoint may send it: padded, in lines of 72 characters.
std::string Base64Lines(std::string_view bytes) {
    std::string encoded;
    CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size(), true,
                                  new CryptoPP::Base64Encoder(new CryptoPP::StringSink(encoded)));
    return encoded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string_view version =
        nul == std::string_view::npos ? std::string_view() : input.substr(0, nul);
    const std::string_view changes = nul == std::string_view::npos ? input : input.substr(nul + 1);

    RequireSoundConversion(input);
    RequireSoundConversion(DecodeChanges(changes));
    Require(DecodeChanges(Base64Lines(changes)) == changes, "Base64 in lines decodes to the bytes encoded");

    const std::u16string table = ChangeTable(changes);
    Require(IsWellFormedUtf16(table), "the change table is well-formed UTF-16");
    const UpdatePageValues values{u"Orvalux", u"3.1.5", Utf8ToUtf16(version), std::string(changes)};
    const std::u16string page = FillUpdatePage(
        u"<title>#APPNAME#</title><p>#YOURVERSION# / #VERSION#</p>#CHANGES#<p>#CHANGES#</p>", values);
    Require(page.find(table) != std::u16string::npos, "the page holds the change table");
    return 0;
}
