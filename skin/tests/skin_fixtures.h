#pragma once
// Shared helpers of the skin tests: a fresh folder per test, bitmap files made at test time, and
// skin packages written the way the build writes the default skin.
#include <functional>
#include <string>
#include <vector>

#include "skin_pack/skin_pack.h"
#include "win32/windows.h"

namespace skin_test {

// A new empty folder for the running test (POSIX path).
std::string FreshFolder();
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// A 24-bit Windows bitmap file whose pixel (x, y) (y from the top) has colour(x, y).
std::string Bmp24(int width, int height, const std::function<COLORREF(int x, int y)>& colour);
std::string Bmp24(int width, int height, COLORREF fill);
// An 8-bit bitmap file with the palette given; pixel (x, y) has palette entry index(x, y).
std::string Bmp8(int width, int height, const std::vector<COLORREF>& palette,
                 const std::function<int(int x, int y)>& index);

// The colour of pixel (x, y) of a bitmap.
COLORREF PixelOf(HBITMAP bitmap, int x, int y);

}  // namespace skin_test
