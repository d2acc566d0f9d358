// The renderer's scaled picture shows exactly the pixels the window's own nearest-pixel stretch
// of the frame would, for every frame depth, size and part of the frame.
#include "scaled_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

struct Case {
  WORD bits;
  LONG width, height;  // the picture's
  RECT part;           // of the 37x23 frame, top-down
};

constexpr LONG kFrameWidth = 37, kFrameHeight = 23;

std::vector<COLORREF> Pixels(HDC dc, LONG width, LONG height) {
  std::vector<COLORREF> pixels;
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

HBITMAP Canvas(HDC dc, LONG width, LONG height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(dc, canvas);
  return canvas;
}

TEST(ScaledPictureTest, PicksThePixelsTheWindowsStretchWould) {
  std::mt19937 random(7);
  const Case cases[] = {
      {24, 100, 60, {0, 0, kFrameWidth, kFrameHeight}}, {32, 100, 60, {0, 0, kFrameWidth, kFrameHeight}},
      {24, 10, 7, {0, 0, kFrameWidth, kFrameHeight}},   {32, 11, 5, {3, 2, 30, 20}},
      {24, 37, 23, {5, 1, 36, 22}},                     {16, 50, 40, {1, 1, 20, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits to " << c.width << "x" << c.height);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), kFrameWidth, kFrameHeight, 1, c.bits, BI_RGB, 0, 0, 0, 0, 0};
    const size_t stride = (size_t(kFrameWidth) * c.bits + 31) / 32 * 4;
    std::vector<BYTE> frame(stride * kFrameHeight);
    for (BYTE& b : frame) b = BYTE(random());

    dshow::renderers::ScaledPicture picture;
    ASSERT_TRUE(picture.Draw(frame.data(), &format, c.part, c.width, c.height));
    EXPECT_TRUE(picture.Shows(c.width, c.height, c.part));
    EXPECT_FALSE(picture.Shows(c.width + 1, c.height, c.part));

    HDC shownDc = CreateCompatibleDC(nullptr), stretchedDc = CreateCompatibleDC(nullptr);
    HBITMAP shown = Canvas(shownDc, c.width, c.height), stretched = Canvas(stretchedDc, c.width, c.height);
    ASSERT_TRUE(picture.CopyTo(shownDc, 0, 0));
    SetStretchBltMode(stretchedDc, COLORONCOLOR);
    StretchDIBits(stretchedDc, 0, 0, c.width, c.height, c.part.left, kFrameHeight - c.part.bottom,
                  c.part.right - c.part.left, c.part.bottom - c.part.top, frame.data(), &format, DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(Pixels(shownDc, c.width, c.height), Pixels(stretchedDc, c.width, c.height));
    DeleteDC(shownDc);
    DeleteDC(stretchedDc);
    DeleteObject(shown);
    DeleteObject(stretched);
  }
}

}  // namespace
