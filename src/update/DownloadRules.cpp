#include "update/DownloadRules.h"

std::optional<std::string> DownloadFileName(std::string_view location) {
    const size_t separator = location.find_last_of("/\\:");
    std::string name(separator == std::string_view::npos ? location : location.substr(separator + 1));
    if (name.empty()) {
        return std::nullopt;
    }
    for (char& character : name) {
        const auto code = static_cast<unsigned char>(character);
        if (code < 0x20 || std::string_view("<>:\"/\\|?*").find(character) != std::string_view::npos) {
            character = '_';
        }
    }
    return name;
}
