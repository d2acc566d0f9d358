// Saving images with the encoders found by MIME type, and bitmaps to and from GDI bitmaps.
#include <fstream>
#include <string>
#include <vector>

#include "gdiplus_test_support.h"
#include "testing/sandbox.h"
#include "win32/utf.h"

using namespace Gdiplus;
using gdiplus_test::Picture;
using gdiplus_test::Rgb;

namespace {

class GdiplusCodec : public gdiplus_test::GdiplusTest {
 protected:
  static std::string Path(const std::string& name) { return testing_support::SandboxDir() + "/" + name; }
  static bool Encoder(const std::u16string& mime, CLSID* clsid) {
    UINT count = 0, size = 0;
    if (GetImageEncodersSize(&count, &size) != Ok) return false;
    std::vector<ImageCodecInfo> encoders(count);
    if (GetImageEncoders(count, size, encoders.data()) != Ok) return false;
    for (const ImageCodecInfo& e : encoders)
      if (mime == e.MimeType) return *clsid = e.Clsid, true;
    return false;
  }
  static std::string Head(const std::string& path, size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    std::string head(bytes, '\0');
    in.read(head.data(), std::streamsize(bytes));
    return in ? head : std::string();
  }
  static Rgb PixelOf(Bitmap& image, int x, int y) {
    BitmapData data{};
    Rect one(x, y, 1, 1);
    if (image.LockBits(&one, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) return {1, 2, 3};
    const BYTE* p = static_cast<const BYTE*>(data.Scan0);
    const Rgb c{p[2], p[1], p[0]};
    image.UnlockBits(&data);
    return c;
  }
};

bool Near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// A picture of two halves written in every format and read back: each half keeps its colour
// (within what JPEG loses, and the palette colour for GIF), the file starts as its format does.
TEST_F(GdiplusCodec, EveryEncoderWritesAPictureThatReadsBack) {
  Picture picture(40, 30, {190, 40, 90});
  for (int y = 0; y < 30; ++y)
    for (int x = 20; x < 40; ++x) picture.Set(x, y, {30, 160, 220});
  struct Kind {
    std::u16string mime;
    std::string magic;
    int tolerance;
  };
  const Kind kinds[] = {{u"image/bmp", "BM", 0},        {u"image/jpeg", "\xFF\xD8\xFF", 12},
                        {u"image/png", "\x89PNG", 0},   {u"image/tiff", "II*", 0},
                        {u"image/gif", "GIF8", 0}};
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(win32::Utf16ToUtf8(kind.mime));
    CLSID clsid;
    ASSERT_TRUE(Encoder(kind.mime, &clsid));
    const std::string path = Path("saved.any");
    ASSERT_EQ(Ok, picture.bitmap()->Save(win32::Utf8ToUtf16(path).c_str(), &clsid));
    EXPECT_EQ(kind.magic, Head(path, kind.magic.size()));
    Bitmap read(win32::Utf8ToUtf16(path).c_str());
    ASSERT_EQ(Ok, read.GetLastStatus());
    EXPECT_EQ(40u, read.GetWidth());
    EXPECT_EQ(30u, read.GetHeight());
    Rgb left = {190, 40, 90}, right = {30, 160, 220};
    if (kind.mime == u"image/gif") left = {182, 36, 85}, right = {36, 145, 255};  // 3-3-2 palette
    EXPECT_TRUE(Near(PixelOf(read, 5, 15), left, kind.tolerance));
    EXPECT_TRUE(Near(PixelOf(read, 35, 15), right, kind.tolerance));
  }
}

TEST_F(GdiplusCodec, AFailedSaveLeavesNoFileAndUnknownEncodersAreRefused) {
  Picture picture(8, 8, {1, 2, 3});
  CLSID png;
  ASSERT_TRUE(Encoder(u"image/png", &png));
  const std::string nowhere = Path("missing-folder/picture.png");
  EXPECT_NE(Ok, picture.bitmap()->Save(win32::Utf8ToUtf16(nowhere).c_str(), &png));
  EXPECT_TRUE(Head(nowhere, 1).empty());
  CLSID unknown = png;
  unknown.Data1 ^= 0xFF;
  const std::string kept = Path("kept.png");
  std::ofstream(kept) << "mine";
  EXPECT_NE(Ok, picture.bitmap()->Save(win32::Utf8ToUtf16(kept).c_str(), &unknown));
  EXPECT_EQ("mine", Head(kept, 4));
}

// Through a GDI bitmap and back: the pixels survive, transparency is laid over the background.
TEST_F(GdiplusCodec, BitmapsGoToGdiAndComeBack) {
  Bitmap translucent(4, 2, PixelFormat32bppARGB);
  BitmapData data{};
  ASSERT_EQ(Ok, translucent.LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &data));
  for (UINT y = 0; y < 2; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) + y * UINT(data.Stride));
    for (UINT x = 0; x < 4; ++x) row[x] = x < 2 ? 0xFFFF0000u : 0x800000FFu;  // opaque red, half blue
  }
  ASSERT_EQ(Ok, translucent.UnlockBits(&data));
  HBITMAP gdi = nullptr;
  ASSERT_EQ(Ok, translucent.GetHBITMAP(Color(255, 0, 255, 0), &gdi));
  ASSERT_NE(nullptr, gdi);
  BITMAP bm{};
  ASSERT_NE(0, GetObject(gdi, sizeof bm, &bm));
  EXPECT_EQ(4, bm.bmWidth);
  EXPECT_EQ(2, std::abs(bm.bmHeight));

  Bitmap back(gdi, nullptr);
  ASSERT_EQ(Ok, back.GetLastStatus());
  EXPECT_EQ(4u, back.GetWidth());
  EXPECT_TRUE(Near(PixelOf(back, 0, 1), {255, 0, 0}, 0));
  EXPECT_TRUE(Near(PixelOf(back, 3, 0), {0, 127, 128}, 1));  // half blue over green
  DeleteObject(gdi);

  EXPECT_NE(Ok, Bitmap(static_cast<HBITMAP>(nullptr), nullptr).GetLastStatus());
}

TEST_F(GdiplusCodec, AWholeImageStretchesToTheRectangle) {
  Picture small(2, 2, {10, 200, 10});
  Picture large(20, 10, {0, 0, 0});
  Graphics graphics(large.bitmap());
  ASSERT_EQ(Ok, graphics.DrawImage(small.bitmap(), 5, 2, 10, 6));
  const Gdiplus::Rect box = large.ChangedBox({0, 0, 0});
  EXPECT_EQ(5, box.X);
  EXPECT_EQ(2, box.Y);
  EXPECT_EQ(10, box.Width);
  EXPECT_EQ(6, box.Height);
}

}  // namespace
