#pragma once

#include <cstddef>
#include <span>

// Clears WS_VISIBLE in the style of a dialog template (classic or extended), so a
// dialog created from it stays hidden. Returns false when the data is too short to be
// a template.
bool ClearTemplateVisibleStyle(std::span<std::byte> dialogTemplate) noexcept;
