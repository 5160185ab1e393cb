#include "monitor/ReferenceRules.h"

std::optional<ReferencePosition> ChooseReference(const std::vector<std::vector<bool>>& hasRange) {
    if (hasRange.empty()) {
        return std::nullopt;
    }
    for (size_t display = 0; display < hasRange.size(); ++display) {
        for (size_t monitor = 0; monitor < hasRange[display].size(); ++monitor) {
            if (hasRange[display][monitor]) {
                return ReferencePosition{display, monitor};
            }
        }
    }
    return ReferencePosition{0, hasRange.front().empty() ? std::nullopt : std::optional<size_t>(0)};
}
