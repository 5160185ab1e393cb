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
