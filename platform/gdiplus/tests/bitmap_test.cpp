#include <cstring>
#include <fstream>

#include "gdiplus_test_support.h"
#include "testing/guarded_buffer.h"
#include "testing/image_files.h"
#include "testing/sandbox.h"
#include "win32/utf.h"

using namespace Gdiplus;
using gdiplus_test::Picture;
using gdiplus_test::Rgb;

namespace {

class GdiplusBitmap : public gdiplus_test::GdiplusTest {};

BITMAPINFO DibInfo(int width, int height, int bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = WORD(bits);
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

std::u16string SandboxPath(const std::string& name) {
  return win32::Utf8ToUtf16(testing_support::SandboxDir() + "/" + name);
}

// A bottom-up DIB keeps its top row last in memory: the bitmap over it shows that row on top,
// with a negative stride, and drawing at the top writes the last row. Rows are padded to 4 bytes.
TEST_F(GdiplusBitmap, BottomUpDibShowsItsLastRowOnTop) {
  const int width = 5, height = 3, rowBytes = 16;
  std::vector<BYTE> dib(size_t(rowBytes) * height, 0);
  dib[size_t(rowBytes) * 2 + 2] = 200;  // red of the first pixel in the last memory row
  BITMAPINFO info = DibInfo(width, height, 24);
  Bitmap bitmap(&info, dib.data());
  ASSERT_EQ(bitmap.GetLastStatus(), Ok);
  EXPECT_EQ(bitmap.GetPixelFormat(), PixelFormat24bppRGB);

  BitmapData data{};
  ASSERT_EQ(bitmap.LockBits(nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
  EXPECT_EQ(data.Stride, -rowBytes);
  EXPECT_EQ(data.Scan0, dib.data() + rowBytes * 2);
  EXPECT_EQ(static_cast<BYTE*>(data.Scan0)[2], 200);
  ASSERT_EQ(bitmap.UnlockBits(&data), Ok);

  Picture white(width, 1, {255, 255, 255});
  Graphics graphics(&bitmap);
  ASSERT_EQ(graphics.DrawImage(white.bitmap(), Rect(0, 0, width, 1), 0, 0, width, 1, UnitPixel), Ok);
  for (int x = 0; x < width * 3; ++x) EXPECT_EQ(dib[size_t(rowBytes) * 2 + size_t(x)], 255) << x;
  EXPECT_EQ(dib[0], 0);

  info.bmiHeader.biHeight = -height;  // top-down: the first row is on top
  Bitmap topDown(&info, dib.data());
  ASSERT_EQ(topDown.LockBits(nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
  EXPECT_EQ(data.Stride, rowBytes);
  EXPECT_EQ(data.Scan0, dib.data());
  topDown.UnlockBits(&data);

  BITMAPINFO eight = DibInfo(width, height, 8);
  Bitmap refused(&eight, dib.data());
  EXPECT_EQ(refused.GetLastStatus(), InvalidParameter);
}

// An opaque bitmap locked as 32 bpp ARGB hands out a converted copy, written back only when
// locked for writing; a locked bitmap can be neither locked again nor drawn on.
TEST_F(GdiplusBitmap, LockBitsConvertsAndWritesBackOnlyForWriting) {
  Picture picture(4, 2, {10, 20, 30});
  Bitmap* bitmap = picture.bitmap();
  BitmapData data{};
  Rect rect(1, 0, 2, 2);
  ASSERT_EQ(bitmap->LockBits(&rect, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
  EXPECT_EQ(data.Width, 2u);
  EXPECT_EQ(data.Stride, 8);
  const BYTE* p = static_cast<const BYTE*>(data.Scan0);
  EXPECT_EQ(p[0], 30);
  EXPECT_EQ(p[1], 20);
  EXPECT_EQ(p[2], 10);
  EXPECT_EQ(p[3], 255);
  static_cast<BYTE*>(data.Scan0)[0] = 99;  // read only: not kept
  BitmapData again{};
  EXPECT_EQ(bitmap->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &again), WrongState);
  Graphics graphics(bitmap);
  EXPECT_EQ(graphics.DrawImage(bitmap, Rect(0, 0, 1, 1), 0, 0, 1, 1, UnitPixel), WrongState);
  ASSERT_EQ(bitmap->UnlockBits(&data), Ok);
  EXPECT_EQ(picture.At(1, 0), (Rgb{10, 20, 30}));

  ASSERT_EQ(bitmap->LockBits(&rect, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
  BYTE* q = static_cast<BYTE*>(data.Scan0) + data.Stride;  // second row, first pixel of the rect
  q[0] = 1, q[1] = 2, q[2] = 3;
  ASSERT_EQ(bitmap->UnlockBits(&data), Ok);
  EXPECT_EQ(picture.At(1, 1), (Rgb{3, 2, 1}));
  EXPECT_EQ(picture.At(0, 1), (Rgb{10, 20, 30}));

  Rect outside(3, 0, 2, 1);
  EXPECT_EQ(bitmap->LockBits(&outside, ImageLockModeRead, PixelFormat32bppARGB, &data), InvalidParameter);
  EXPECT_EQ(bitmap->UnlockBits(&data), WrongState);
}

// Drawn 1:1, every pixel is copied exactly; stretched, the destination rectangle is covered;
// whatever falls outside the target is left out, and the target's memory is never overrun.
TEST_F(GdiplusBitmap, DrawImageCopiesStretchesAndClips) {
  Picture source(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) source.Set(x, y, {BYTE(x * 60), BYTE(y * 60), 7});

  // A bottom-up DIB whose top row ends where its memory does.
  const int width = 10, height = 6, rowBytes = 32;
  testing_support::GuardedBuffer memory(size_t(rowBytes) * height);
  BITMAPINFO info = DibInfo(width, height, 24);
  Bitmap target(&info, memory.data());
  Graphics graphics(&target);
  auto at = [&](int x, int y) {
    const BYTE* p = memory.data() + size_t(height - 1 - y) * rowBytes + size_t(x) * 3;
    return Rgb{p[2], p[1], p[0]};
  };

  ASSERT_EQ(graphics.DrawImage(source.bitmap(), Rect(1, 1, 4, 4), 0, 0, 4, 4, UnitPixel), Ok);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(at(1 + x, 1 + y), source.At(x, y)) << x << "," << y;
  EXPECT_EQ(at(0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(at(5, 5), (Rgb{0, 0, 0}));

  // Past the right and top edges: the part inside lands where it belongs.
  ASSERT_EQ(graphics.DrawImage(source.bitmap(), Rect(8, -2, 4, 4), 0, 0, 4, 4, UnitPixel), Ok);
  EXPECT_EQ(at(8, 0), source.At(0, 2));
  EXPECT_EQ(at(9, 1), source.At(1, 3));

  // Stretched twice over, from the image's centre out past the right edge.
  Picture flat(2, 2, {0, 200, 0});
  ASSERT_EQ(graphics.DrawImage(flat.bitmap(), Rect(6, 2, 8, 4), 0, 0, 2, 2, UnitPixel), Ok);
  for (int y = 2; y < 6; ++y)
    for (int x = 6; x < 10; ++x) EXPECT_EQ(at(x, y), (Rgb{0, 200, 0})) << x << "," << y;
  EXPECT_EQ(at(4, 3), source.At(3, 2));
}

// Drawing an image with alpha blends each pixel: alpha 0 leaves the target as it was, alpha 255
// replaces it exactly.
TEST_F(GdiplusBitmap, DrawImageBlendsByAlpha) {
  Bitmap overlay(3, 1, PixelFormat32bppARGB);
  BitmapData data{};
  ASSERT_EQ(overlay.LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
  const BYTE pixels[12] = {50, 60, 70, 0, 50, 60, 70, 255, 0, 0, 255, 128};
  std::memcpy(data.Scan0, pixels, sizeof pixels);
  overlay.UnlockBits(&data);

  Picture frame(3, 1, {100, 100, 100});
  Graphics graphics(frame.bitmap());
  ASSERT_EQ(graphics.DrawImage(&overlay, Rect(0, 0, 3, 1), 0, 0, 3, 1, UnitPixel), Ok);
  EXPECT_EQ(frame.At(0, 0), (Rgb{100, 100, 100}));
  EXPECT_EQ(frame.At(1, 0), (Rgb{70, 60, 50}));
  Rgb half = frame.At(2, 0);
  EXPECT_NEAR(half.r, 178, 2);
  EXPECT_NEAR(half.g, 50, 2);
}

// Image files are decoded whole with their alpha; a missing file and a file that is no image
// leave an empty image with a status that says which.
TEST_F(GdiplusBitmap, ImageFilesDecodeWithAlpha) {
  std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 9, 8, 7, 255};
  const std::string path = testing_support::SandboxDir() + "/two.png";
  ASSERT_EQ(testing_support::WritePng(path, 2, 2, rgba), "");
  Bitmap bitmap(SandboxPath("two.png").c_str());
  ASSERT_EQ(bitmap.GetLastStatus(), Ok);
  EXPECT_EQ(bitmap.GetWidth(), 2u);
  EXPECT_EQ(bitmap.GetHeight(), 2u);
  EXPECT_EQ(bitmap.GetPixelFormat(), PixelFormat32bppARGB);
  BitmapData data{};
  ASSERT_EQ(bitmap.LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
  const BYTE* p = static_cast<const BYTE*>(data.Scan0);
  EXPECT_EQ(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24, 0xFFFF0000);
  EXPECT_EQ(p[4] | p[5] << 8 | p[6] << 16 | p[7] << 24, 0x8000FF00);
  const BYTE* second = p + data.Stride;
  EXPECT_EQ(second[4] | second[5] << 8 | second[6] << 16 | second[7] << 24, 0xFF090807);
  bitmap.UnlockBits(&data);

  // Platform paths: backslashes and another case of the name.
  std::u16string platformPath = SandboxPath("TWO.PNG");
  for (char16_t& c : platformPath)
    if (c == u'/') c = u'\\';
  std::unique_ptr<Image> byPlatformPath(Image::FromFile(platformPath.c_str()));
  EXPECT_EQ(byPlatformPath->GetLastStatus(), Ok);
  EXPECT_EQ(byPlatformPath->GetWidth(), 2u);

  std::unique_ptr<Image> missing(Image::FromFile(SandboxPath("none.png").c_str()));
  EXPECT_EQ(missing->GetLastStatus(), FileNotFound);
  EXPECT_EQ(missing->GetWidth(), 0u);

  std::ofstream(testing_support::SandboxDir() + "/junk.png") << "not an image at all";
  Bitmap junk(SandboxPath("junk.png").c_str());
  EXPECT_EQ(junk.GetLastStatus(), UnknownImageFormat);
  Picture frame(2, 2);
  Graphics graphics(frame.bitmap());
  EXPECT_EQ(graphics.DrawImage(&junk, Rect(0, 0, 2, 2), 0, 0, 2, 2, UnitPixel), InvalidParameter);
}

}  // namespace
