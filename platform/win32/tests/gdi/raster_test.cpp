// Raster operations, the monochrome/colour rules, stretching, keyed copies, gradients and
// alpha blending.
#include "canvas.h"

namespace {

// With P = 0xF0, S = 0xCC and D = 0xAA in every byte, each bit position holds one of the eight
// (P, S, D) combinations, so the result byte of any ternary operation is its truth table.
TEST(RasterOps, EveryTernaryOperationFollowsItsTruthTableOnColourPixels) {
  Canvas dest(1, 1);
  Canvas source(1, 1);
  source.Set(0, 0, RGB(0xCC, 0xCC, 0xCC));
  HBRUSH pattern = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
  HGDIOBJ old = SelectObject(dest.dc(), pattern);
  for (int rop = 0; rop < 256; ++rop) {
    dest.Set(0, 0, RGB(0xAA, 0xAA, 0xAA));
    ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 1, 1, source.dc(), 0, 0, static_cast<DWORD>(rop) << 16));
    EXPECT_EQ(dest.At(0, 0), RGB(rop, rop, rop)) << "rop " << rop;
  }
  SelectObject(dest.dc(), old);
  DeleteObject(pattern);
}

// On monochrome bitmaps pixel i carries the combination i: pattern, source and destination
// bits come from three bitmaps.
TEST(RasterOps, EveryTernaryOperationFollowsItsTruthTableOnMonochromePixels) {
  MonoCanvas pattern({"00001111"});
  MonoCanvas source({"00110011"});
  HBRUSH brush = CreatePatternBrush(pattern.bitmap());
  for (int rop = 0; rop < 256; ++rop) {
    MonoCanvas dest({"01010101"});
    HGDIOBJ old = SelectObject(dest.dc(), brush);
    ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 8, 1, source.dc(), 0, 0, static_cast<DWORD>(rop) << 16));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(dest.Bit(i, 0), (rop >> i) & 1) << "rop " << rop << " bit " << i;
    SelectObject(dest.dc(), old);
  }
  DeleteObject(brush);
}

TEST(RasterOps, NamedCodesAndPatBlt) {
  Canvas c(4, 1, RGB(0x12, 0x34, 0x56));
  EXPECT_TRUE(PatBlt(c.dc(), 0, 0, 1, 1, BLACKNESS));
  EXPECT_TRUE(PatBlt(c.dc(), 1, 0, 1, 1, WHITENESS));
  EXPECT_TRUE(PatBlt(c.dc(), 2, 0, 1, 1, DSTINVERT));
  HGDIOBJ old = SelectObject(c.dc(), CreateSolidBrush(RGB(0xFF, 0x00, 0x0F)));
  EXPECT_TRUE(PatBlt(c.dc(), 3, 0, 1, 1, PATINVERT));
  DeleteObject(SelectObject(c.dc(), old));
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(1, 0), RGB(255, 255, 255));
  EXPECT_EQ(c.At(2, 0), RGB(0xED, 0xCB, 0xA9));
  EXPECT_EQ(c.At(3, 0), RGB(0xED, 0x34, 0x59));
  // A source operation is not a pattern operation.
  EXPECT_FALSE(PatBlt(c.dc(), 0, 0, 1, 1, SRCCOPY));
}

TEST(RasterOps, NullBrushPaintsNothing) {
  Canvas c(2, 2, RGB(1, 2, 3));
  SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(PatBlt(c.dc(), 0, 0, 2, 2, PATCOPY));
  EXPECT_EQ(c.Count(RGB(1, 2, 3)), 4);
}

TEST(MonoColourRules, MonochromeSourceTakesDestinationTextAndBackgroundColours) {
  MonoCanvas mono({"0110"});
  Canvas dest(4, 1);
  SetTextColor(dest.dc(), RGB(200, 0, 0));
  SetBkColor(dest.dc(), RGB(0, 0, 200));
  ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 4, 1, mono.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(dest.At(0, 0), RGB(200, 0, 0));
  EXPECT_EQ(dest.At(1, 0), RGB(0, 0, 200));
  EXPECT_EQ(dest.At(2, 0), RGB(0, 0, 200));
  EXPECT_EQ(dest.At(3, 0), RGB(200, 0, 0));
}

TEST(MonoColourRules, ColourSourceEqualToItsBackgroundBecomesWhite) {
  Canvas colour(3, 1);
  colour.Set(0, 0, RGB(10, 20, 30));
  colour.Set(1, 0, RGB(255, 255, 255));
  colour.Set(2, 0, RGB(10, 20, 31));
  SetBkColor(colour.dc(), RGB(10, 20, 30));
  MonoCanvas mono({"010"});
  ASSERT_TRUE(BitBlt(mono.dc(), 0, 0, 3, 1, colour.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(mono.Bit(0, 0), 1);
  EXPECT_EQ(mono.Bit(1, 0), 0);
  EXPECT_EQ(mono.Bit(2, 0), 0);
}

TEST(MonoColourRules, MaskedCopyThroughAndThenOr) {
  // The classic transparent copy: AND with a mask (1 = keep background), then OR the image.
  Canvas dest(3, 1, RGB(0, 255, 0));
  MonoCanvas mask({"010"});
  Canvas image(3, 1, RGB(0, 0, 0));
  image.Set(0, 0, RGB(255, 0, 0));
  image.Set(2, 0, RGB(0, 0, 255));
  SetTextColor(dest.dc(), RGB(0, 0, 0));
  SetBkColor(dest.dc(), RGB(255, 255, 255));
  BitBlt(dest.dc(), 0, 0, 3, 1, mask.dc(), 0, 0, SRCAND);
  BitBlt(dest.dc(), 0, 0, 3, 1, image.dc(), 0, 0, SRCPAINT);
  EXPECT_EQ(dest.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(dest.At(1, 0), RGB(0, 255, 0));
  EXPECT_EQ(dest.At(2, 0), RGB(0, 0, 255));
}

TEST(MonoColourRules, CompatibleBitmapOfAFreshMemoryDcIsMonochrome) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 8);
  BITMAP bm{};
  ASSERT_EQ(GetObject(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(bitmap);
  Canvas canvas(2, 2);
  bitmap = CreateCompatibleBitmap(canvas.dc(), 8, 8);
  DIBSECTION ds{};
  EXPECT_EQ(GetObject(bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(Blits, CopiesClipToTheSourceAndHandleOverlap) {
  Canvas c(4, 1);
  for (int x = 0; x < 4; ++x) c.Set(x, 0, RGB(x, 0, 0));
  // Overlapping move to the right inside one bitmap reads the original pixels.
  ASSERT_TRUE(BitBlt(c.dc(), 1, 0, 3, 1, c.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(c.At(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(c.At(2, 0), RGB(1, 0, 0));
  EXPECT_EQ(c.At(3, 0), RGB(2, 0, 0));
  // A source rectangle hanging off its bitmap copies only what exists.
  Canvas d(4, 1, RGB(9, 9, 9));
  ASSERT_TRUE(BitBlt(d.dc(), 0, 0, 4, 1, c.dc(), 2, 0, SRCCOPY));
  EXPECT_EQ(d.At(0, 0), RGB(1, 0, 0));
  EXPECT_EQ(d.At(2, 0), RGB(9, 9, 9));
}

TEST(Stretching, EnlargingRepeatsPixelsAndShrinkingModesDiffer) {
  Canvas src(2, 2);
  src.Set(0, 0, RGB(255, 0, 0));
  src.Set(1, 0, RGB(0, 255, 0));
  src.Set(0, 1, RGB(0, 0, 255));
  src.Set(1, 1, RGB(255, 255, 255));
  Canvas big(4, 4);
  ASSERT_TRUE(StretchBlt(big.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(big.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(big.At(2, 1), RGB(0, 255, 0));
  EXPECT_EQ(big.At(1, 2), RGB(0, 0, 255));
  EXPECT_EQ(big.At(3, 3), RGB(255, 255, 255));

  Canvas one(1, 1);
  SetStretchBltMode(one.dc(), COLORONCOLOR);
  StretchBlt(one.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), RGB(255, 0, 0));
  SetStretchBltMode(one.dc(), BLACKONWHITE);  // AND of the four
  StretchBlt(one.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), RGB(0, 0, 0));
  SetStretchBltMode(one.dc(), WHITEONBLACK);  // OR of the four
  StretchBlt(one.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), RGB(255, 255, 255));
  SetStretchBltMode(one.dc(), HALFTONE);  // the average
  StretchBlt(one.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), RGB(128, 128, 128));
}

TEST(Stretching, NegativeWidthMirrors) {
  Canvas src(3, 1);
  for (int x = 0; x < 3; ++x) src.Set(x, 0, RGB(x * 100, 0, 0));
  Canvas dst(3, 1);
  ASSERT_TRUE(StretchBlt(dst.dc(), 2, 0, -3, 1, src.dc(), 0, 0, 3, 1, SRCCOPY));
  EXPECT_EQ(dst.At(0, 0), RGB(200, 0, 0));
  EXPECT_EQ(dst.At(2, 0), RGB(0, 0, 0));
}

TEST(Stretching, HugeDestinationsOnlyWorkOnWhatIsVisible) {
  Canvas src(2, 1);
  src.Set(0, 0, RGB(255, 0, 0));
  src.Set(1, 0, RGB(0, 0, 255));
  Canvas dst(4, 4);
  const int huge = 1 << 28;
  ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, huge, huge, src.dc(), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(dst.Count(RGB(255, 0, 0)), 16);
  ASSERT_TRUE(TransparentBlt(dst.dc(), -huge / 2, 0, huge, huge, src.dc(), 0, 0, 2, 1, RGB(255, 0, 0)));
  EXPECT_EQ(dst.Count(RGB(0, 0, 255)), 16);
}

TEST(KeyedCopies, TransparentBltSkipsTheKeyColourAlsoWhenStretching) {
  Canvas src(2, 1);
  src.Set(0, 0, RGB(255, 0, 255));
  src.Set(1, 0, RGB(10, 20, 30));
  Canvas dst(4, 2, RGB(1, 1, 1));
  ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, RGB(255, 0, 255)));
  EXPECT_EQ(dst.At(0, 0), RGB(1, 1, 1));
  EXPECT_EQ(dst.At(1, 1), RGB(1, 1, 1));
  EXPECT_EQ(dst.At(2, 0), RGB(10, 20, 30));
  EXPECT_EQ(dst.At(3, 1), RGB(10, 20, 30));
  EXPECT_FALSE(TransparentBlt(dst.dc(), 0, 0, -1, 1, src.dc(), 0, 0, 1, 1, 0));
}

TEST(KeyedCopies, MsimgFunctionsAreExportedByTheBuiltInModule) {
  HMODULE module = LoadLibraryA("msimg32.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "TransparentBlt")), reinterpret_cast<void*>(&TransparentBlt));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")), reinterpret_cast<void*>(&GradientFill));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")), reinterpret_cast<void*>(&AlphaBlend));
  FreeLibrary(module);
}

TEST(Gradients, HorizontalAndVerticalRectanglesStepEvenly) {
  Canvas c(256, 16);
  TRIVERTEX v[2] = {{0, 0, 0, 0xFF00, 0xFF00, 0}, {256, 8, 0xFF00, 0xFF00, 0, 0}};
  GRADIENT_RECT r{0, 1};
  ASSERT_TRUE(GradientFill(c.dc(), v, 2, &r, 1, GRADIENT_FILL_RECT_H));
  for (int x = 0; x < 256; ++x) {
    EXPECT_LE(std::abs(GetRValue(c.At(x, 3)) - x * 255 / 256), 1) << x;
    EXPECT_EQ(GetGValue(c.At(x, 3)), 0xFF);
    EXPECT_LE(std::abs(GetBValue(c.At(x, 3)) - (255 - x * 255 / 256)), 1) << x;
  }
  TRIVERTEX w[2] = {{0, 8, 0, 0, 0, 0}, {256, 16, 0xFF00, 0, 0, 0}};
  ASSERT_TRUE(GradientFill(c.dc(), w, 2, &r, 1, GRADIENT_FILL_RECT_V));
  EXPECT_EQ(c.At(100, 8), RGB(0, 0, 0));
  EXPECT_LE(std::abs(GetRValue(c.At(100, 15)) - 7 * 255 / 8), 1);
  EXPECT_EQ(c.At(5, 15), c.At(250, 15));
  // A mesh naming a missing vertex fails and draws nothing more.
  GRADIENT_RECT bad{0, 2};
  EXPECT_FALSE(GradientFill(c.dc(), v, 2, &bad, 1, GRADIENT_FILL_RECT_H));
}

TEST(Gradients, TriangleInterpolatesFromItsCorners) {
  Canvas c(64, 64, RGB(1, 2, 3));
  TRIVERTEX v[3] = {{0, 0, 0xFF00, 0, 0, 0}, {64, 0, 0, 0xFF00, 0, 0}, {0, 64, 0, 0, 0xFF00, 0}};
  GRADIENT_TRIANGLE t{0, 1, 2};
  ASSERT_TRUE(GradientFill(c.dc(), v, 3, &t, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_GE(GetRValue(c.At(0, 0)), 250);
  EXPECT_GE(GetGValue(c.At(62, 0)), 240);
  EXPECT_GE(GetBValue(c.At(0, 62)), 240);
  EXPECT_EQ(c.At(63, 63), RGB(1, 2, 3));  // outside the triangle
  COLORREF mid = c.At(16, 16);
  EXPECT_NEAR(GetRValue(mid) + GetGValue(mid) + GetBValue(mid), 255, 3);
}

TEST(AlphaBlending, ConstantAndPremultipliedPerPixelAlpha) {
  Canvas src(2, 1);
  Canvas dst(2, 1, RGB(0, 0, 200));
  src.Set(0, 0, RGB(200, 0, 0));
  src.Set(1, 0, RGB(200, 0, 0));
  BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 2, 1, half));
  EXPECT_NEAR(GetRValue(dst.At(0, 0)), 100, 1);
  EXPECT_NEAR(GetBValue(dst.At(0, 0)), 100, 1);
  // Per pixel: a premultiplied half-transparent red over blue.
  dst.Fill(RGB(0, 0, 200));
  uint32_t* bits = nullptr;
  DIBSECTION ds{};
  GetObject(src.bitmap(), sizeof ds, &ds);
  bits = static_cast<uint32_t*>(ds.dsBm.bmBits);
  bits[0] = 0x80640000;  // alpha 128, red 100 (premultiplied 200)
  bits[1] = 0x00000000;  // fully transparent
  BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 2, 1, perPixel));
  EXPECT_NEAR(GetRValue(dst.At(0, 0)), 100, 1);
  EXPECT_NEAR(GetBValue(dst.At(0, 0)), 100, 1);
  EXPECT_EQ(dst.At(1, 0), RGB(0, 0, 200));
  // A source rectangle outside the source fails.
  EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, 2, 1, src.dc(), 1, 0, 2, 1, half));
}

TEST(Pixels, SetAndGetFollowClipAndBounds) {
  Canvas c(2, 2);
  EXPECT_EQ(SetPixel(c.dc(), 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(c.dc(), 2, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(c.dc(), -1, 0, RGB(1, 2, 3)), CLR_INVALID);
}

}  // namespace
