#pragma once

#include <cstdint>

// The header tint, chosen once per process the first time the panel is shown.
void ChooseHeaderTint();
// 0x00RRGGBB; chooses it first when that has not happened yet.
uint32_t CurrentHeaderTint();
