// The endpoint's answer as received, read and decided on; the same bytes also as a
// VersionInput document, which goes through the same parsing. UpdateError is how a bad
// document is refused; any other exception, a sanitizer report or a broken promise
// below is a finding.
#include "Require.h"
#include "update/DownloadRules.h"
#include "update/UpdateRules.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// TinyXML recurses once per level, so the parsers refuse documents nested deeper than
// this before it parses them: no document they accept may build a deeper tree.
constexpr int kMaxNesting = 32;

// The refusals of a document that did not parse at all (or lacks its root element);
// every other UpdateError comes after a successful parse.
constexpr std::string_view kAnswerUnreadable = "Error processing update";
constexpr std::string_view kInputUnreadable = "Error processing update input data";

bool IsUsableFileName(std::string_view name) {
    return !name.empty() && std::none_of(name.begin(), name.end(), [](char character) {
        return static_cast<unsigned char>(character) < 0x20 ||
               std::string_view("<>:\"/\\|?*").find(character) != std::string_view::npos;
    });
}

// The depth of the deepest element below `node`, counting stops past `limit`.
int ElementDepth(const TiXmlNode& node, int limit) {
    int deepest = 0;
    for (const TiXmlElement* child = node.FirstChildElement(); child && deepest <= limit;
         child = child->NextSiblingElement()) {
        const int depth = 1 + ElementDepth(*child, limit - 1);
        deepest = depth > deepest ? depth : deepest;
    }
    return deepest;
}

// Parses again what the rules accepted, as they do, and measures the tree.
void RequireShallowTree(const std::string& accepted) {
    TiXmlDocument document;
    document.Parse(accepted.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    Require(ElementDepth(document, kMaxNesting) <= kMaxNesting,
            "an accepted document builds a tree no deeper than the nesting limit");
}

void ReadAsAnswer(std::string_view received) {
    // The rules ignore everything from the first "<!" on.
    const std::string parsed(received.substr(0, received.find("<!")));
    try {
        const UpdateAnswer answer = ReadUpdateAnswer(received);
        switch (DecideUpdate(answer)) {
        case UpdateDecision::Blacklisted:
            Require(answer.blacklisted, "only a blacklisted answer is decided Blacklisted");
            break;
        case UpdateDecision::NoUpdate:
            Require(!answer.blacklisted && !answer.needToBeUpdated, "NoUpdate only when no update is needed");
            break;
        case UpdateDecision::UpdateNeeded:
            Require(!answer.location.empty() && !answer.changes.empty(),
                    "an update has a Location and Changes");
            if (const auto name = DownloadFileName(answer.location)) {
                Require(IsUsableFileName(*name),
                        "the installer's file name has no character Windows refuses");
            }
            break;
        }
    } catch (const UpdateError& error) {
        if (kAnswerUnreadable == error.what()) {
            return;
        }
    }
    RequireShallowTree(parsed);
}

void ReadAsInput(std::string_view document) {
    try {
        const UpdateInput input = ReadUpdateInput(document);
        // The address check reads numbers out of whatever InfoUrl holds; it must not throw.
        IsPermittedQueryUrl(BuildRequestUrl(input));
    } catch (const UpdateError& error) {
        if (kInputUnreadable == error.what()) {
            return;
        }
    }
    RequireShallowTree(std::string(document));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ReadAsAnswer(text);
    ReadAsInput(text);
    return 0;
}
