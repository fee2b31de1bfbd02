// Colour arithmetic shared by the owner-drawn controls. Colours are
// COLORREF values (0x00BBGGRR) held in plain integers, so this header
// needs no windows.h and its rules are tested natively.
#pragma once

#include <cstdint>

namespace quorbel_controls {

typedef uint32_t ColorValue;  // 0x00BBGGRR, as COLORREF

inline int RedOf(ColorValue c) { return static_cast<int>(c & 0xFF); }
inline int GreenOf(ColorValue c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int BlueOf(ColorValue c) { return static_cast<int>((c >> 16) & 0xFF); }
inline ColorValue MakeColor(int r, int g, int b) {
  return static_cast<ColorValue>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Each channel moved the fraction f of the way to white, truncated. A
// fraction outside (0, 1] leaves the colour as it is.
inline ColorValue LightenColor(ColorValue c, double f) {
  if (!(f > 0.0 && f <= 1.0)) return c;
  auto up = [f](int ch) { return static_cast<int>(ch + f * (255 - ch)); };
  return MakeColor(up(RedOf(c)), up(GreenOf(c)), up(BlueOf(c)));
}

// The grey of the same brightness (0.299 R + 0.587 G + 0.114 B). Black
// stays black: it is the transparent part of an icon's colour plane.
inline ColorValue GrayColor(ColorValue c) {
  if ((c & 0xFFFFFF) == 0) return c;
  int grey = static_cast<int>(0.299 * RedOf(c) + 0.587 * GreenOf(c) + 0.114 * BlueOf(c));
  return MakeColor(grey, grey, grey);
}

// Each channel reduced by a quarter, truncated; black stays black.
inline ColorValue DarkerColor(ColorValue c) {
  if ((c & 0xFFFFFF) == 0) return c;
  auto down = [](int ch) { return static_cast<int>(ch - 0.25 * ch); };
  return MakeColor(down(RedOf(c)), down(GreenOf(c)), down(BlueOf(c)));
}

}  // namespace quorbel_controls
