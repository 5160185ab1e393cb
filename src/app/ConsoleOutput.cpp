#include "app/ConsoleOutput.h"

#include "ui/TextConversion.h"

namespace {

// A handle the program was given to write to; a program started without redirection
// has none.
HANDLE UsableStandardHandle(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN ? handle
                                                                                                  : nullptr;
}

} // namespace

ConsoleOutput::ConsoleOutput()
    : output_(UsableStandardHandle(STD_OUTPUT_HANDLE)), error_(UsableStandardHandle(STD_ERROR_HANDLE)) {
    if ((output_ && error_) || !::AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    // The program is built for the GUI: attaching gives it the console, not handles to it.
    parentConsole_.reset(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                       nullptr));
    if (!parentConsole_) {
        return;
    }
    if (!output_) {
        output_ = parentConsole_.get();
    }
    if (!error_) {
        error_ = parentConsole_.get();
    }
}

void ConsoleOutput::Write(std::string_view text, bool error) const {
    const HANDLE target = error ? error_ : output_;
    if (!target || text.empty()) {
        return;
    }
    DWORD mode = 0;
    if (::GetConsoleMode(target, &mode)) {
        // A console shows UTF-16 whatever its code page.
        const std::wstring wide = Utf8ToWide(text);
        DWORD written = 0;
        ::WriteConsoleW(target, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    DWORD written = 0;
    ::WriteFile(target, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
