#pragma once

#include <optional>
#include <string>
#include <string_view>

// The installer download's decisions that need no window.

// The name the installer is saved under: the last path component of `location` (what
// follows its last "/", "\" or ":"), with every character Windows refuses in a file name
// (control characters and < > : " / \ | ? *) replaced by "_", so a query string does not
// make the name unusable. None when nothing is left to name the file.
std::optional<std::string> DownloadFileName(std::string_view location);
