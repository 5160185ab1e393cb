#pragma once

#include <cstdint>
#include <span>
#include <vector>

// How sizes follow the scale of the monitor a window is on, decided without any window.
// Every fixed pixel distance of the program is its size at 96 DPI (100 %).

inline constexpr uint32_t kBaseDpi = 96;
inline constexpr uint32_t kMaximumDpi = 480; // 500 %

// A DPI as the system reports it, kept to 96..480: a broken answer (0, or absurdly large)
// must neither collapse nor explode the layout.
uint32_t ClampDpi(uint32_t dpi);

// `pixels` at 96 DPI as pixels at `dpi` (clamped), rounded half away from zero as MulDiv
// rounds.
int32_t ScaleForDpi(int32_t pixels, uint32_t dpi);

// Of pictures drawn at `percents` (ascending, e.g. 100, 150, 200), the index of the one to
// show at `dpi`: the smallest that is at least as large as the scale asks for, so it is
// only ever scaled down, else the largest. -1 only when there is no picture at all.
int PictureForDpi(std::span<const uint32_t> percents, uint32_t dpi);

// The scales the program's pictures (title, flags) are drawn at, in percent.
inline constexpr uint32_t kPicturePercents[] = {100, 150, 200};

// The order in which to try pictures drawn at `percents` (ascending) for `dpi`: the one
// PictureForDpi picks, then the larger ones, then the smaller ones from the largest down,
// so a missing size falls back to the nearest one.
std::vector<int> PictureFallbackOrder(std::span<const uint32_t> percents, uint32_t dpi);

// The extent at which to show `pictureExtent` pixels of a picture drawn for `picturePercent`
// on a monitor of `dpi`: its size at 100 % scaled to `dpi`.
int32_t PictureExtentForDpi(int32_t pictureExtent, uint32_t picturePercent, uint32_t dpi);
