#include "update/UpdateRules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

constexpr char kUpdate[] =
    "<VERSION><NeedToBeUpdated>YES</NeedToBeUpdated><Version>3.2.0</Version>"
    "<Location>https://x/a.msi?a=1&amp;b=2</Location><Changes>PHRyPg==</Changes></VERSION>";

std::string Repeat(std::string_view part, size_t times) {
    std::string text;
    while (times-- > 0) {
        text += part;
    }
    return text;
}

TEST(UpdateRules, InputDocumentGivesTheRequest) {
    const std::string base = "https://u.example/Orvalux/VersionCheck.aspx";
    // The values, the request and the boxes' title.
    const std::tuple<VersionInputValues, std::string, std::string> cases[] = {
        // Empty host and address leave their keys out.
        {{"3.115", "", "", "Orvalux", base, ""}, base + "?version=3.115&machine=64", "Orvalux update"},
        {{"3.15", "", "10.0.0.5", "Orvalux", base, ""},
         base + "?version=3.15&machine=64&ip=10.0.0.5",
         "Orvalux update"},
        // A value holding its own placeholder is not expanded again; a later placeholder is.
        {{"1.00", "#HOST#", "", "#APPNAME# #VERSIONURL#", base, ""},
         base + "?version=1.00&machine=64&host=#HOST#",
         "#APPNAME# " + base + " update"},
    };
    for (const auto& [values, url, title] : cases) {
        SCOPED_TRACE(url);
        const UpdateInput input = ReadUpdateInput(FillVersionInput(values));
        EXPECT_EQ(BuildRequestUrl(input), url);
        EXPECT_EQ(input.messageBoxTitle, title);
        EXPECT_EQ(input.extraCmd, 0);
    }
}

TEST(UpdateRules, HandWrittenInputDocuments) {
    const UpdateInput read = ReadUpdateInput(
        "<VersionInput><InfoUrl>https://a</InfoUrl><MessageBoxTitle extraCmd=\"7\" ecWparam=\"-2\">T"
        "</MessageBoxTitle><SilentMode>NO</SilentMode></VersionInput>");
    EXPECT_EQ(read.extraCmd, 7);
    EXPECT_EQ(read.ecWparam, -2);
    EXPECT_EQ(read.silentMode, "NO");
    EXPECT_EQ(read.version, "");

    const std::pair<std::string, const char*> faults[] = {
        {"", "Error processing update input data"},
        // Values go in as plain text: markup in one breaks the document.
        {FillVersionInput({"1.00", "", "", "<b", "https://a", ""}), "Error processing update input data"},
        {"<Other><InfoUrl>https://a</InfoUrl></Other>", "Error processing update input data"},
        {"<VersionInput><Version>1</Version></VersionInput>", "InfoUrl node is missed."},
        {"<VersionInput><InfoUrl/></VersionInput>", "InfoUrl is missed."},
        {"<VersionInput><InfoUrl>https://a</InfoUrl><SilentMode>maybe</SilentMode></VersionInput>",
         "SilentMode value is incorrect (only \"yes\" or \"no\" is allowed)."},
    };
    for (const auto& [document, text] : faults) {
        try {
            ReadUpdateInput(document);
            ADD_FAILURE() << document;
        } catch (const UpdateError& error) {
            EXPECT_EQ(error.what(), std::string(text)) << document;
        }
    }
}

TEST(UpdateRules, AnswersAreReadOrRefusedWithTheirText) {
    const std::string no = "<VERSION><NeedToBeUpdated>No</NeedToBeUpdated></VERSION>";
    const std::string yesHead = "<VERSION><NeedToBeUpdated>yes</NeedToBeUpdated>";
    const std::string bad = "Error processing update";
    const auto need = UpdateDecision::UpdateNeeded;
    const auto none = UpdateDecision::NoUpdate;
    // The answer, its decision, and the text it is refused with (empty: it is read).
    const std::tuple<std::string, UpdateDecision, std::string> cases[] = {
        {kUpdate, need, ""},
        {no, none, ""},
        {"\xEF\xBB\xBF" + no, none, ""}, // byte-order mark
        {no + "\r\n<!DOCTYPE html><html><p>trailer</html>", none, ""},
        {"<VERSION><Blacklisted>x</Blacklisted><NeedToBeUpdated>maybe</NeedToBeUpdated></VERSION>",
         UpdateDecision::Blacklisted, ""},
        {"<!DOCTYPE html>" + no, none, bad},
        {"", none, bad},
        {"<version>" + no.substr(9), none, bad},
        {no.substr(0, no.size() - 3), none, bad}, // truncated
        {"<VERSION><NeedToBeUpdated>n<!-- -->o</NeedToBeUpdated></VERSION>", none, bad},
        {"<VERSION><NeedToBeUpdated><![CDATA[no]]></NeedToBeUpdated></VERSION>", none, bad},
        {"<VERSION><NeedToBeUpdated></NeedToBeUpdated></VERSION>", none, "NeedToBeUpdated is missed."},
        {"<VERSION><NeedToBeUpdated><yes/></NeedToBeUpdated></VERSION>", none, "NeedToBeUpdated is missed."},
        {"<VERSION><NeedToBeUpdated>maybe</NeedToBeUpdated></VERSION>", none,
         "NeedToBeUpdated value is incorrect (only \"yes\" or \"no\" is allowed)."},
        {yesHead + "<Changes>x</Changes></VERSION>", need, "Location node is missed."},
        {yesHead + "<Location/><Changes>x</Changes></VERSION>", need, "Location is missed."},
        {yesHead + "<Location><a>https://x</a></Location><Changes>x</Changes></VERSION>", need,
         "Location is missed."},
        {yesHead + "<Location>https://x/a.msi</Location></VERSION>", need, "Changes node is missed."},
        {yesHead + "<Location>https://x/a.msi</Location><Changes> </Changes></VERSION>", need,
         "Changes is missed."},
        // Ten megabytes of change list is read; ten megabytes of nesting is refused
        // before the parser could recurse through it, quoted "/>" included.
        {yesHead + "<Location>l</Location><Changes>" + Repeat("QUJD", 2'500'000) + "</Changes></VERSION>",
         need, ""},
        {yesHead + Repeat("<a b='/>'>", 1'000'000) + "</VERSION>", need, bad},
        // Ill-formed UTF-8: the parser would step over the end, or over markup that the
        // nesting count then misses.
        {"<?xml version=\"1.0\"?><VERSION>\xF0", none, bad},
        {"\xEF\xBB\xBF<VERSION><NeedToBeUpdated>no\xC3</NeedToBeUpdated></VERSION>", none, bad},
        {"<?xml version=\"1.0\"?><VERSION><NeedToBeUpdated>no</NeedToBeUpdated>" + Repeat("<a>\xF0</a>", 40) +
             Repeat("</a>", 40) + "</VERSION>",
         none, bad},
        {"<VERSION><NeedToBeUpdated>no</NeedToBeUpdated><Note>\xE2\x9C\x93</Note></VERSION>", none, ""},
        // "<'" is no tag to the parser, so its quote hides nothing: the nesting behind
        // it counts.
        {"<VERSION><NeedToBeUpdated>no</NeedToBeUpdated><'x>" + Repeat("<a>", 40) + "'" + Repeat("</a>", 40) +
             "</VERSION>",
         none, bad},
        // A tag of thousands of attributes would take the parser minutes.
        {"<VERSION" + Repeat(" a=''", 80'000) + "><NeedToBeUpdated>no</NeedToBeUpdated></VERSION>", none,
         bad},
    };
    for (const auto& [text, decision, refusal] : cases) {
        SCOPED_TRACE(text.substr(0, 120));
        try {
            const UpdateAnswer answer = ReadUpdateAnswer(text);
            EXPECT_EQ(refusal, "");
            EXPECT_EQ(DecideUpdate(answer), decision);
        } catch (const UpdateError& error) {
            EXPECT_EQ(error.what(), refusal);
        }
    }
    const UpdateAnswer offered = ReadUpdateAnswer(kUpdate);
    EXPECT_EQ(offered.location, "https://x/a.msi?a=1&b=2");
}

TEST(UpdateRules, QueryGoesOverHttpsOrToLoopback) {
    const std::pair<const char*, bool> cases[] = {
        {"https://updates.example/v", true},
        {"HTTPS://UPDATES.EXAMPLE", true},
        {"http://127.255.3.4", true},
        {"http://LocalHost/", true},
        {"http://[::1]:80/", true},
        {"http://127.0.0.1.example/", false},
        {"http://127.1/", false},
        {"http://127.0.0.256/", false},
        {"http://128.0.0.1/", false},
        {"http://localhost@updates.example/", false},
        {"http://127.0.0.1:80x/", false},
        {"http://[::2]/", false},
        {"ftp://127.0.0.1/", false},
        {"file:///C:/answer.xml", false},
        {"127.0.0.1/v", false},
    };
    for (const auto& [url, permitted] : cases) {
        EXPECT_EQ(IsPermittedQueryUrl(url), permitted) << url;
    }
}

} // namespace
