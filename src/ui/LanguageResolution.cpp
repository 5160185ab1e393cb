#include "ui/LanguageResolution.h"

#include <algorithm>

namespace {

std::optional<uint16_t> ExactOrPrimary(std::span<const uint16_t> available, uint16_t requested) {
    for (const uint16_t candidate : {requested, PrimaryLanguageOf(requested)}) {
        if (std::find(available.begin(), available.end(), candidate) != available.end()) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<uint16_t> ChooseResourceLanguage(std::span<const uint16_t> available, uint16_t requested,
                                               uint16_t userUiLanguage) {
    if (requested != kUserDefaultLanguageId) {
        return ExactOrPrimary(available, requested);
    }
    if (userUiLanguage != kUserDefaultLanguageId) {
        if (const auto chosen = ExactOrPrimary(available, userUiLanguage)) {
            return chosen;
        }
    }
    if (const auto chosen = ExactOrPrimary(available, kEnglishUnitedStatesLanguageId)) {
        return chosen;
    }
    if (available.empty()) {
        return std::nullopt;
    }
    return available.front();
}

std::optional<uint16_t> ChooseResourceLanguageOrUserDefault(std::span<const uint16_t> available,
                                                            uint16_t requested, uint16_t userUiLanguage) {
    if (const auto chosen = ChooseResourceLanguage(available, requested, userUiLanguage)) {
        return chosen;
    }
    return ChooseResourceLanguage(available, kUserDefaultLanguageId, userUiLanguage);
}
