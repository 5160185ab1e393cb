#include "update/DownloadRules.h"

std::optional<std::string> DownloadFileName(std::string_view location) {
    const size_t separator = location.find_last_of("/\\:");
    std::string name(separator == std::string_view::npos ? location : location.substr(separator + 1));
    // Windows drops trailing dots and blanks from a name, so "." and ".." would name a
    // folder and "setup.msi." another file than the one started.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        name.pop_back();
    }
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

namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view lowerCaseEnd) {
    if (text.size() < lowerCaseEnd.size()) {
        return false;
    }
    text.remove_prefix(text.size() - lowerCaseEnd.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lowerCaseEnd[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsStartableInstaller(std::string_view fileName) {
    return EndsWithIgnoringCase(fileName, ".msi") || EndsWithIgnoringCase(fileName, ".exe");
}

InstallerCommand InstallerCommandFor(std::string_view downloadPath, std::string_view msiexecPath,
                                     bool elevated) {
    constexpr std::string_view kParameters = "/qb /promptrestart /i";
    std::string extension(downloadPath.size() >= 4 ? downloadPath.substr(downloadPath.size() - 4) : "");
    for (char& character : extension) {
        character =
            character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
    }
    if (extension == ".msi") {
        return {std::string(msiexecPath), std::string(kParameters) + " \"" + std::string(downloadPath) + "\"",
                "open"};
    }
    return {std::string(downloadPath), std::string(kParameters), elevated ? "open" : "runas"};
}

int ProgressPercent(double total, double received) {
    if (!(total >= 0.000001) || !(received > 0)) {
        return 0;
    }
    const double percent = received * 100 / total;
    return percent >= 100 ? 100 : static_cast<int>(percent);
}

bool InstallerSucceeded(uint32_t exitCode) {
    return exitCode == 0 || exitCode == 1641 || exitCode == 3010;
}
