// Stands in for a downloaded installer: writes the arguments it was started with to
// installer-ran.txt in the temporary folder (TEMP), then ends; as a file whose name holds
// "fail" it ends as a failed installation does.
#include <windows.h>

#include <shlwapi.h>

#include <cstdio>
#include <string>

int wmain() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    const bool fail = path.find(L"fail", path.find_last_of(L'\\')) != std::wstring::npos;
    // In the temporary folder: the installer's own folder goes when it has ended.
    std::wstring temporary(MAX_PATH, L'\0');
    temporary.resize(::GetEnvironmentVariableW(L"TEMP", temporary.data(), MAX_PATH));
    if (FILE* file = ::_wfopen((temporary + L"\\installer-ran.txt").c_str(), L"w")) {
        std::fprintf(file, "%ls\n", ::PathGetArgsW(::GetCommandLineW()));
        std::fclose(file);
    }
    return fail ? 1603 : 0; // ERROR_INSTALL_FAILURE
}
