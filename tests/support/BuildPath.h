// Files of the build as a Windows program names them.
#pragma once

#include <string>

namespace test_support {

// Under Wine the build path is a Unix path, and Wine's Z: drive maps the root.
inline std::wstring BuildPath(const char* path) {
    std::wstring wide;
    for (const char* c = path; *c; ++c) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return !wide.empty() && wide[0] == L'/' ? L"Z:" + wide : wide;
}

} // namespace test_support
