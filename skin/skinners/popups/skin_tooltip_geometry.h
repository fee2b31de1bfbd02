// Where the library's tooltip goes: eight placements around the point it
// is shown for, tried in turn until one fits the work area. No windows.h,
// tested natively.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_TOOLTIP_GEOMETRY_H
#define QUORBEL_SKIN_SKINNERS_SKIN_TOOLTIP_GEOMETRY_H

#include <cstdint>

#include "skin/core/skin_data_types.h"

// The w x h rectangle of placement 0..7 for the point (x, y): 0 (and any
// other value) below right, 1 below centred, 2 below left, 3 right, 4
// left, 5 above right, 6 above centred, 7 above left.
SkinRect TooltipRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t placement);

// Both corners inside the work area (a corner on its right or bottom edge
// is outside).
bool TooltipFits(const SkinRect& rect, const SkinRect& workArea);

// The wanted placement when it fits, else the first of 0..7 that fits,
// else placement 7.
SkinRect PlaceTooltip(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t placement, const SkinRect& workArea);

#endif
