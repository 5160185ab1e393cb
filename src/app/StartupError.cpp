#include "app/StartupError.h"

#include <windows.h>

void ReportStartupError(const std::string& message) {
    const std::string line = "orvalux: " + message + "\n";
    ::OutputDebugStringA(line.c_str());
    // A GUI program has no console of its own: use inherited standard error, or the
    // console of the parent when there is one.
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if ((error == nullptr || error == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        error = ::GetStdHandle(STD_ERROR_HANDLE);
    }
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}
