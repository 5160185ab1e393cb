#include "app/CommandLine.h"

namespace {

// Only A to Z fold: a locale-aware comparison would let other letters match
// (the Turkish dotless i, for one).
wchar_t FoldAsciiLetter(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsFoldingAscii(std::wstring_view text, std::wstring_view other) {
    if (text.size() != other.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (FoldAsciiLetter(text[i]) != FoldAsciiLetter(other[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsMonitorOffCommandLine(std::wstring_view arguments) {
    return EqualsFoldingAscii(arguments, L"monitoroff");
}

bool IsUninstallCommandLine(std::wstring_view arguments) {
    return EqualsFoldingAscii(arguments, L"uninstall");
}

bool RunValueStartsProgram(std::wstring_view runValue, std::wstring_view programPath) {
    if (runValue.size() >= 2 && runValue.front() == L'"' && runValue.back() == L'"') {
        runValue = runValue.substr(1, runValue.size() - 2);
    }
    return !programPath.empty() && EqualsFoldingAscii(runValue, programPath);
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

std::optional<AfterUpdateArguments> ParseAfterUpdateCommandLine(std::wstring_view arguments) {
    constexpr std::wstring_view kSwitch = L"afterupdate ";
    if (arguments.size() <= kSwitch.size() ||
        !EqualsFoldingAscii(arguments.substr(0, kSwitch.size()), kSwitch)) {
        return std::nullopt;
    }
    arguments.remove_prefix(kSwitch.size());
    AfterUpdateArguments parsed;
    size_t digits = 0;
    for (; digits < arguments.size() && arguments[digits] >= L'0' && arguments[digits] <= L'9'; ++digits) {
        if (parsed.installer > (UINTPTR_MAX - 9) / 10) {
            return std::nullopt;
        }
        parsed.installer = parsed.installer * 10 + static_cast<uintptr_t>(arguments[digits] - L'0');
    }
    if (digits == 0 || parsed.installer == 0 || digits + 1 >= arguments.size() || arguments[digits] != L' ') {
        return std::nullopt;
    }
    parsed.program = arguments.substr(digits + 1);
    return parsed;
}
