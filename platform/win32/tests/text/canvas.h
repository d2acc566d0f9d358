#pragma once
// The drawing tests' canvas, with the colours and the test face the text tests use.
#include "../gdi/canvas.h"

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

// A font of the test face: cell height h, every character h / 2 wide (or width), ink from the
// cell top to the baseline (h - h / 4) and one column narrower than the advance.
inline HFONT TestFont(int height, int width = 0, int escapement = 0, bool underline = false, bool strike = false) {
  return CreateFontA(height, width, escapement, escapement, FW_NORMAL, FALSE, underline, strike, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Corvane Test Box");
}
