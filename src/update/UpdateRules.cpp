#include "update/UpdateRules.h"

#include "ui/TextConversion.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::string_view kVersionInputTemplate =
    "<?xml version=\"1.0\" ?>\n"
    "<VersionInput>\n"
    "<Version>#VERSION#</Version>\n"
    "<InfoUrl>#VERSIONURL#</InfoUrl>\n"
    "<ClassName2Close>#CLASSTOCLOSE#</ClassName2Close>\n"
    "<MessageBoxTitle extraCmd=\"\" ecWparam=\"\" ecLparam=\"\">#APPNAME# update</MessageBoxTitle>\n"
    "<Host>#HOST#</Host>\n"
    "<IP>#IP#</IP>\n"
    "<Machine>64</Machine>\n"
    "</VersionInput>\n";

// Both documents are two levels deep and carry at most three attributes in a tag.
constexpr int kMaxNesting = 32;
constexpr int kMaxAttributes = 32;

// Lowers A to Z only: the comparison must not depend on the user's locale.
bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

size_t SkipPast(std::string_view xml, size_t pos, std::string_view end) {
    const size_t found = xml.find(end, pos);
    return found == std::string_view::npos ? xml.size() : found + end.size();
}

// Whether `xml` stays within the shape both documents need: at most kMaxNesting levels
// of elements and kMaxAttributes attributes in a tag, counted with TinyXML's own lexical
// rules (comments, CDATA, declarations and quoted attribute values hide markup).
// TinyXML parses and frees nested elements recursively, so a hostile answer of millions
// of nested tags would overflow the stack, and it checks every new attribute of a tag
// against all earlier ones, so a tag of many thousand attributes takes minutes.
// TinyXML starts an element only at a letter, "_" or a byte above 126 after the "<";
// anything else is an unknown node that runs to the next ">", quotes and all.
bool StartsElement(std::string_view tag) {
    if (tag.size() < 2) {
        return false;
    }
    const auto first = static_cast<unsigned char>(tag[1]);
    return first >= 127 || first == '_' || (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
}

bool HasBoundedShape(std::string_view xml) {
    int depth = 0;
    size_t pos = 0;
    while ((pos = xml.find('<', pos)) != std::string_view::npos) {
        const std::string_view rest = xml.substr(pos);
        if (rest.starts_with("<!--")) {
            pos = SkipPast(xml, pos, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            pos = SkipPast(xml, pos, "]]>");
        } else if (rest.starts_with("<?") || rest.starts_with("<!") ||
                   (!rest.starts_with("</") && !StartsElement(rest))) {
            pos = SkipPast(xml, pos, ">");
        } else if (rest.starts_with("</")) {
            depth = depth > 0 ? depth - 1 : 0;
            pos = SkipPast(xml, pos, ">");
        } else {
            char quote = 0;
            int attributes = 0;
            size_t i = pos + 1;
            for (; i < xml.size() && (quote || xml[i] != '>'); ++i) {
                if (quote && xml[i] == quote) {
                    quote = 0;
                } else if (!quote && (xml[i] == '"' || xml[i] == '\'')) {
                    quote = xml[i];
                } else if (!quote && xml[i] == '=' && ++attributes > kMaxAttributes) {
                    return false;
                }
            }
            if ((i >= xml.size() || xml[i - 1] != '/') && ++depth > kMaxNesting) {
                return false;
            }
            pos = i + 1;
        }
    }
    return true;
}

// Whether every multi-byte sequence of `text` is complete and well-formed UTF-8.
// TinyXML steps over a sequence by its first byte without looking at what it steps
// over: in ill-formed text a lead byte would swallow a "<", a quote (hiding markup from
// the shape check) or the terminating NUL (reading past the end).
bool IsWellFormedUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 1;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i < length) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// Parses `xml` into `document`; false when it is not well-formed. TinyXML keeps what it
// read before an error, so a truncated answer would otherwise pass with cut values.
bool ParseDocument(TiXmlDocument& document, const std::string& xml) {
    if (!IsWellFormedUtf8(xml) || !HasBoundedShape(xml)) {
        return false;
    }
    document.Parse(xml.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    return !document.Error();
}

// The text of an element: its first child when that is text (CDATA included). A first
// child that is an element, a comment or anything else gives no text, so markup can
// never pass for a value.
std::string TextOf(const TiXmlElement* element) {
    const TiXmlNode* child = element ? element->FirstChild() : nullptr;
    const TiXmlText* text = child ? child->ToText() : nullptr;
    return text ? std::string(text->Value()) : std::string();
}

// A required element: missing gives "<name> node is missed.", empty "<name> is missed.".
std::string RequiredText(const TiXmlElement& root, const char* name) {
    const TiXmlElement* element = root.FirstChildElement(name);
    if (!element) {
        throw UpdateError(std::string(name) + " node is missed.");
    }
    std::string text = TextOf(element);
    if (text.empty()) {
        throw UpdateError(std::string(name) + " is missed.");
    }
    return text;
}

// "yes" or "no" in any letter case; anything else fails with `incorrect`.
bool YesOrNo(std::string_view text, const char* incorrect) {
    if (EqualsIgnoringCase(text, "yes")) {
        return true;
    }
    if (EqualsIgnoringCase(text, "no")) {
        return false;
    }
    throw UpdateError(incorrect);
}

bool IsLoopbackHost(std::string_view host) {
    if (host == "[::1]" || EqualsIgnoringCase(host, "localhost")) {
        return true;
    }
    // Dotted quad 127.x.y.z only: "127.example.com" or "127.1" are names or shorthands
    // that may resolve elsewhere.
    std::string_view rest = host;
    for (int part = 0; part < 4; ++part) {
        const size_t dot = rest.find('.');
        const std::string_view number = rest.substr(0, dot);
        if (number.empty() || number.size() > 3 ||
            number.find_first_not_of("0123456789") != std::string_view::npos ||
            std::stoi(std::string(number)) > 255 || (part == 0 && number != "127")) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return part == 3;
        }
        rest = rest.substr(dot + 1);
    }
    return false;
}

} // namespace

std::string FormatVersionText(unsigned major, unsigned minor, unsigned build) {
    char text[40];
    std::snprintf(text, sizeof(text), "%d.%d%d", static_cast<int>(major), static_cast<int>(minor),
                  static_cast<int>(build));
    return text;
}

std::string FillVersionInput(const VersionInputValues& values) {
    std::string document(kVersionInputTemplate);
    ReplaceAll(document, "#VERSION#", values.version);
    ReplaceAll(document, "#HOST#", values.host);
    ReplaceAll(document, "#IP#", values.ip);
    ReplaceAll(document, "#APPNAME#", values.appName);
    ReplaceAll(document, "#VERSIONURL#", values.versionUrl);
    ReplaceAll(document, "#CLASSTOCLOSE#", values.classToClose);
    return document;
}

UpdateInput ReadUpdateInput(std::string_view text) {
    TiXmlDocument document;
    const TiXmlElement* root =
        ParseDocument(document, std::string(text)) ? document.FirstChildElement("VersionInput") : nullptr;
    if (!root) {
        throw UpdateError("Error processing update input data");
    }
    UpdateInput input;
    input.version = TextOf(root->FirstChildElement("Version"));
    input.machine = TextOf(root->FirstChildElement("Machine"));
    input.infoUrl = RequiredText(*root, "InfoUrl");
    input.className2Close = TextOf(root->FirstChildElement("ClassName2Close"));
    input.host = TextOf(root->FirstChildElement("Host"));
    input.ip = TextOf(root->FirstChildElement("IP"));
    if (const TiXmlElement* title = root->FirstChildElement("MessageBoxTitle")) {
        input.messageBoxTitle = TextOf(title);
        title->QueryIntAttribute("extraCmd", &input.extraCmd);
        title->QueryIntAttribute("ecWparam", &input.ecWparam);
        title->QueryIntAttribute("ecLparam", &input.ecLparam);
    }
    if (const TiXmlElement* silent = root->FirstChildElement("SilentMode")) {
        const std::string mode = TextOf(silent);
        if (!mode.empty()) {
            YesOrNo(mode, "SilentMode value is incorrect (only \"yes\" or \"no\" is allowed).");
            input.silentMode = mode;
        }
    }
    return input;
}

std::string BuildRequestUrl(const UpdateInput& input) {
    std::string url = input.infoUrl + "?version=" + input.version + "&machine=" + input.machine;
    if (!input.host.empty()) {
        url += "&host=" + input.host;
    }
    if (!input.ip.empty()) {
        url += "&ip=" + input.ip;
    }
    return url;
}

bool IsPermittedQueryUrl(std::string_view url) {
    const size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos) {
        return false;
    }
    const std::string_view scheme = url.substr(0, schemeEnd);
    if (EqualsIgnoringCase(scheme, "https")) {
        return true;
    }
    if (!EqualsIgnoringCase(scheme, "http")) {
        return false;
    }
    std::string_view authority = url.substr(schemeEnd + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    // Anything the transfer library might read differently is refused outright.
    if (authority.find_first_of("@\\ \t\r\n%") != std::string_view::npos) {
        return false;
    }
    std::string_view host = authority;
    if (host.starts_with('[')) {
        host = host.substr(0, host.find(']') + 1);
    } else {
        host = host.substr(0, host.find(':'));
    }
    const std::string_view port = authority.substr(host.size());
    if (!port.empty() &&
        (port[0] != ':' || port.substr(1).find_first_not_of("0123456789") != std::string_view::npos)) {
        return false;
    }
    return IsLoopbackHost(host);
}

UpdateAnswer ReadUpdateAnswer(std::string_view received) {
    const std::string text(received.substr(0, received.find("<!")));
    TiXmlDocument document;
    const TiXmlElement* root =
        ParseDocument(document, text) ? document.FirstChildElement("VERSION") : nullptr;
    if (!root) {
        throw UpdateError("Error processing update");
    }
    UpdateAnswer answer;
    if (root->FirstChildElement("Blacklisted")) {
        answer.blacklisted = true;
        return answer;
    }
    answer.needToBeUpdated =
        YesOrNo(RequiredText(*root, "NeedToBeUpdated"),
                "NeedToBeUpdated value is incorrect (only \"yes\" or \"no\" is allowed).");
    if (!answer.needToBeUpdated) {
        return answer;
    }
    answer.version = TextOf(root->FirstChildElement("Version"));
    answer.location = RequiredText(*root, "Location");
    answer.changes = RequiredText(*root, "Changes");
    return answer;
}

UpdateDecision DecideUpdate(const UpdateAnswer& answer) {
    if (answer.blacklisted) {
        return UpdateDecision::Blacklisted;
    }
    return answer.needToBeUpdated ? UpdateDecision::UpdateNeeded : UpdateDecision::NoUpdate;
}
