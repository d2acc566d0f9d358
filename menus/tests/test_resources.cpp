#include "test_resources.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace menus_test {
namespace {

// An RT_BITMAP resource: the header and bottom-up 24-bit rows of solid colours, one run of
// width pixels per colour.
std::vector<uint8_t> Bitmap(int width, int height, std::vector<COLORREF> colours) {
  const int total = width * int(colours.size());
  const int stride = (total * 3 + 3) & ~3;
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), total, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint8_t> bytes(sizeof header + size_t(stride) * size_t(height));
  std::memcpy(bytes.data(), &header, sizeof header);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bytes.data() + sizeof header + size_t(y) * size_t(stride);
    for (int x = 0; x < total; ++x) {
      const COLORREF c = colours[size_t(x / width)];
      row[x * 3] = GetBValue(c);
      row[x * 3 + 1] = GetGValue(c);
      row[x * 3 + 2] = GetRValue(c);
    }
  }
  return bytes;
}

// A 4-bit bitmap of one colour of the standard 16.
std::vector<uint8_t> SixteenColourBitmap(int width, int height, uint8_t index) {
  const int stride = ((width * 4 + 31) / 32) * 4;
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), width, height, 1, 4, BI_RGB, 0, 0, 0, 16, 0};
  static const RGBQUAD kPalette[16] = {{0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
                                       {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
                                       {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
                                       {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0}};
  std::vector<uint8_t> bytes(sizeof header + sizeof kPalette + size_t(stride) * size_t(height), 0);
  std::memcpy(bytes.data(), &header, sizeof header);
  std::memcpy(bytes.data() + sizeof header, kPalette, sizeof kPalette);
  uint8_t* rows = bytes.data() + sizeof header + sizeof kPalette;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rows[size_t(y) * size_t(stride) + size_t(x / 2)] |= uint8_t(index << (x % 2 ? 0 : 4));
  return bytes;
}

const std::vector<uint8_t> kToolbarImages = Bitmap(16, 15, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
const std::vector<uint8_t> kRed = Bitmap(16, 15, {RGB(255, 0, 0)});
const std::vector<uint8_t> kGreen = Bitmap(16, 15, {RGB(0, 255, 0)});
const std::vector<uint8_t> kWide = Bitmap(20, 15, {RGB(0, 0, 255)});
const std::vector<uint8_t> kCheck = SixteenColourBitmap(16, 15, 7);  // light grey: the button face
const WORD kToolbar[] = {1, 16, 15, 4, 500, 0, 501, 502};
const WORD kSeparatorFirst[] = {1, 16, 15, 3, 0, 520, 521};
const std::vector<uint8_t> kSeparatorFirstImages = Bitmap(16, 15, {RGB(255, 0, 0), RGB(0, 255, 0)});
const WORD kLargeButtons[] = {1, 20, 18, 1, 530};
const std::vector<uint8_t> kLargeImages = Bitmap(20, 18, {RGB(0, 0, 255)});

const MenuScriptLine kMenuLines[] = {
    {MENU_POPUP, "&File"},
    {MENU_ITEM, "&Open", 100},
    {MENU_SEPARATOR},
    {MENU_ITEM, "E&xit", 101, MF_GRAYED},
    {MENU_END},
    {MENU_ITEM, "&Help", 200},
};
const MenuResource kMenu(kMenuLines);

const ResourceEntry kResources[] = {
    {RT_MENU, MAKEINTRESOURCE(kMenuResource), kMenu.Data(), kMenu.Size()},
    {RT_TOOLBAR, MAKEINTRESOURCE(kToolbarResource), kToolbar, sizeof kToolbar},
    {RT_BITMAP, MAKEINTRESOURCE(kToolbarResource), kToolbarImages.data(), DWORD(kToolbarImages.size())},
    {RT_TOOLBAR, MAKEINTRESOURCE(kSeparatorFirstToolbar), kSeparatorFirst, sizeof kSeparatorFirst},
    {RT_BITMAP, MAKEINTRESOURCE(kSeparatorFirstToolbar), kSeparatorFirstImages.data(), DWORD(kSeparatorFirstImages.size())},
    {RT_TOOLBAR, MAKEINTRESOURCE(kLargeToolbar), kLargeButtons, sizeof kLargeButtons},
    {RT_BITMAP, MAKEINTRESOURCE(kLargeToolbar), kLargeImages.data(), DWORD(kLargeImages.size())},
    {RT_BITMAP, MAKEINTRESOURCE(kRedBitmap), kRed.data(), DWORD(kRed.size())},
    {RT_BITMAP, MAKEINTRESOURCE(kGreenBitmap), kGreen.data(), DWORD(kGreen.size())},
    {RT_BITMAP, MAKEINTRESOURCE(kWideBitmap), kWide.data(), DWORD(kWide.size())},
    {RT_BITMAP, MAKEINTRESOURCE(kCheckBitmap), kCheck.data(), DWORD(kCheck.size())},
};
const ModuleResources kRegistered(kResources);

}  // namespace
}  // namespace menus_test
