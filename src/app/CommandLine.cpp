#include "app/CommandLine.h"

namespace {

// Only A to Z fold: a locale-aware comparison would let other letters match
// (the Turkish dotless i, for one).
wchar_t FoldAsciiLetter(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

} // namespace

bool IsMonitorOffCommandLine(std::wstring_view arguments) {
    constexpr std::wstring_view kSwitch = L"monitoroff";
    if (arguments.size() != kSwitch.size()) {
        return false;
    }
    for (size_t i = 0; i < kSwitch.size(); ++i) {
        if (FoldAsciiLetter(arguments[i]) != kSwitch[i]) {
            return false;
        }
    }
    return true;
}

std::wstring_view ArgumentText(std::wstring_view commandLine) {
    size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        // A quoted path runs to the closing quote; blanks inside it belong to it.
        const size_t closing = commandLine.find(L'"', 1);
        end = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
    } else {
        end = commandLine.find_first_of(L" \t");
        if (end == std::wstring_view::npos) {
            end = commandLine.size();
        }
    }
    std::wstring_view rest = commandLine.substr(end);
    if (!rest.empty() && (rest.front() == L' ' || rest.front() == L'\t')) {
        rest.remove_prefix(1);
    }
    return rest;
}
