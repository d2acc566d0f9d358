#pragma once
// Colour arithmetic of the styled menus: every operation works per channel and rounds through
// MulDiv, so that the same colours come out on every screen.
#include "win32/windows.h"

namespace styled_menu {

template <class Channel>
COLORREF PerChannel(COLORREF c, Channel f) {
  return RGB(f(GetRValue(c)), f(GetGValue(c)), f(GetBValue(c)));
}

template <class Channel>
COLORREF PerChannel(COLORREF a, COLORREF b, Channel f) {
  return RGB(f(GetRValue(a), GetRValue(b)), f(GetGValue(a), GetGValue(b)), f(GetBValue(a), GetBValue(b)));
}

// Each channel scaled by (255 - n) / 255.
inline COLORREF Darken(int n, COLORREF c) {
  return PerChannel(c, [n](int x) { return MulDiv(x, 255 - n, 255); });
}

// Each channel moved towards 255 by n / 255 of the distance.
inline COLORREF Lighten(int n, COLORREF c) {
  return PerChannel(c, [n](int x) { return x + MulDiv(255 - x, n, 255); });
}

// 86 % of a and 14 % of b.
inline COLORREF Mix86(COLORREF a, COLORREF b) {
  return PerChannel(a, b, [](int x, int y) { return MulDiv(86, x, 100) + MulDiv(14, y, 100); });
}

// 70 % of a and 30 % of b.
inline COLORREF Mix70(COLORREF a, COLORREF b) {
  return PerChannel(a, b, [](int x, int y) { return MulDiv(7, x, 10) + MulDiv(3, y, 10); });
}

// The bluish shade a selected icon casts.
inline COLORREF ShadowTint(COLORREF c) {
  return RGB(MulDiv(GetRValue(c), 7, 10), MulDiv(GetGValue(c), 7, 10), MulDiv(GetBValue(c) + 55, 7, 10));
}

inline COLORREF Grey(COLORREF c) {
  int v = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
  return RGB(v, v, v);
}

// Each channel raised by n, saturating at 255.
inline COLORREF AddToChannels(int n, COLORREF c) {
  return PerChannel(c, [n](int x) { return x + n > 254 ? 255 : x + n; });
}

inline bool IsLightColor(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) > 384; }

}  // namespace styled_menu
