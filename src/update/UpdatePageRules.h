#pragma once

#include <string>
#include <string_view>

// The update page's text, built without a window: the template's placeholders and the
// change table. Pages are UTF-16, as the browser reads the page file.

struct UpdatePageValues {
    std::u16string appName;
    std::u16string runningVersion; // "major.minor.build"
    std::u16string offeredVersion; // as the endpoint sent it; may be empty
    std::string changesBase64;     // the answer's Changes
};

// The bytes Base64 text stands for. Characters outside the standard alphabet (line
// breaks, "=" padding, anything else) are skipped, never an error.
std::string DecodeChanges(std::string_view base64);

// The change list as a bordered table across the page: the decoded bytes are table rows
// in UTF-8; bytes that are not UTF-8 show as U+FFFD.
std::u16string ChangeTable(std::string_view changesBase64);

// The page: every "#APPNAME#", "#YOURVERSION#" and "#VERSION#" replaced, then the first
// "#CHANGES#" by the change table.
std::u16string FillUpdatePage(std::u16string page, const UpdatePageValues& values);

// Whether an address the page itself tried to go to is opened in the user's browser: an
// http or https address only. Files, shares, scripts and protocol handlers never are, as
// a refresh or a frame in the change table could send the page there without a click.
bool IsLinkToOpen(std::u16string_view address);
