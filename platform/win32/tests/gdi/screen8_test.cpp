// An emulated 8-bit palette screen (CORVANE_SCREEN=1024x768x8, set for this process).
#include "canvas.h"

namespace {

TEST(PaletteScreen, DeviceCapsReportAPaletteDevice) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 8);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), 20);
  EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 256);
  EXPECT_NE(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE, 0);
  DeleteDC(dc);
}

TEST(PaletteScreen, NearestColourComesFromTheDefaultPalette) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetNearestColor(dc, RGB(250, 3, 2)), RGB(255, 0, 0));
  EXPECT_EQ(GetNearestColor(dc, RGB(192, 192, 192)), RGB(192, 192, 192));
  EXPECT_EQ(GetNearestColor(dc, RGB(100, 155, 200)), RGB(102, 153, 204));  // the colour cube
  DeleteDC(dc);
}

TEST(PaletteScreen, ScreenBitmapsAreIndexedAndPalettesRealize) {
  HDC dc = CreateCompatibleDC(nullptr);
  Canvas canvas(2, 2);
  BITMAPINFO bmi{};
  bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  uint8_t rows[16] = {0, 0, 255, 0, 0, 255};
  HBITMAP screen = CreateDIBitmap(dc, &bmi.bmiHeader, CBM_INIT, rows, &bmi, DIB_RGB_COLORS);
  BITMAP bm{};
  GetObject(screen, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 8);
  // A logical palette: PALETTEINDEX colours come from it.
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(storage.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 2;
  lp->palPalEntry[0] = PALETTEENTRY{10, 20, 30, 0};
  lp->palPalEntry[1] = PALETTEENTRY{0, 0, 255, 0};
  HPALETTE palette = CreatePalette(lp);
  SelectPalette(canvas.dc(), palette, FALSE);
  EXPECT_EQ(RealizePalette(canvas.dc()), 2u);
  SetPixel(canvas.dc(), 0, 0, PALETTEINDEX(0));
  EXPECT_EQ(canvas.At(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(0, 0, 250)), 1u);
  SelectPalette(canvas.dc(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  DeleteObject(palette);
  DeleteObject(screen);
  DeleteDC(dc);
}

TEST(PaletteScreen, APaletteRealizedOnTheScreenBringsItsOwnColours) {
  const COLORREF brown = RGB(165, 42, 0);
  HDC screen = GetDC(nullptr);
  ASSERT_NE(GetNearestColor(screen, brown), brown);  // not among the system's colours
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(storage.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 2;
  lp->palPalEntry[0] = PALETTEENTRY{165, 42, 0, 0};
  lp->palPalEntry[1] = PALETTEENTRY{255, 0, 0, 0};  // already there: takes no entry
  HPALETTE palette = CreatePalette(lp);
  HPALETTE old = SelectPalette(screen, palette, FALSE);
  RealizePalette(screen);
  HBRUSH brush = CreateSolidBrush(PALETTEINDEX(0));
  RECT cell{0, 0, 4, 4};
  FillRect(screen, &cell, brush);
  EXPECT_EQ(GetPixel(screen, 1, 1), brown);
  // The static colours stay.
  SetPixel(screen, 6, 6, RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(screen, 6, 6), RGB(255, 0, 0));
  SetPixel(screen, 7, 7, RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(screen, 7, 7), RGB(255, 255, 255));
  SelectPalette(screen, old, FALSE);
  DeleteObject(brush);
  DeleteObject(palette);
  ReleaseDC(nullptr, screen);
}

}  // namespace
