#include <set>

#include "gdiplus_test_support.h"
#include "testing/image_files.h"
#include "testing/sandbox.h"
#include "win32/utf.h"

using namespace Gdiplus;
using gdiplus_test::Picture;
using gdiplus_test::Rgb;

namespace {

class GdiplusBrush : public gdiplus_test::GdiplusTest {
 protected:
  // Fills a large block glyph and returns a 16 x 16 window from its inside, starting at a
  // surface position that is a multiple of 8, as one bit per pixel (foreground white).
  std::vector<bool> FillBlock(const Brush& brush, Picture* into = nullptr) {
    FontFamily family(u"DejaVu Sans");
    GraphicsPath path;
    path.AddString(u"\u2588", -1, &family, FontStyleRegular, 80, RectF(0, 0, 1024, 120), nullptr);
    Picture own(100, 120, {1, 2, 3});
    Picture& picture = into ? *into : own;
    Graphics graphics(picture.bitmap());
    EXPECT_EQ(graphics.FillPath(&brush, &path), Ok);
    Rect block = picture.ChangedBox({1, 2, 3});
    EXPECT_GT(block.Width, 40);
    origin_ = {(block.X + 15) / 8 * 8, (block.Y + 15) / 8 * 8};
    std::vector<bool> bits;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) bits.push_back(picture.At(origin_.X + x, origin_.Y + y) == Rgb{255, 255, 255});
    return bits;
  }
  Point origin_;
};

// Every hatch style is an 8 x 8 pattern of the two colours on the surface's grid; the styles all
// look different, the named lines lie where their names say, and the percentage styles cover
// their share of the pixels, each darker one more.
TEST_F(GdiplusBrush, HatchStylesAreDistinctTiledPatterns) {
  std::set<std::vector<bool>> looks;
  int previousShare = 0;
  for (int style = HatchStyleMin; style <= HatchStyleMax; ++style) {
    HatchBrush brush(HatchStyle(style), Color(255, 255, 255, 255), Color(255, 0, 0, 0));
    ASSERT_EQ(brush.GetLastStatus(), Ok);
    std::vector<bool> bits = FillBlock(brush);
    int foreground = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        foreground += bits[y * 16 + x];
        ASSERT_EQ(bits[y * 16 + x], bits[(y + 8) * 16 + x + 8]) << "style " << style << " repeats every 8 pixels";
      }
    EXPECT_GT(foreground, 0) << style;
    EXPECT_LT(foreground, 64) << style;
    looks.insert(std::vector<bool>(bits.begin(), bits.begin() + 8 * 16));
    if (style >= HatchStyle05Percent && style <= HatchStyle90Percent) {
      EXPECT_GT(foreground, previousShare) << style;
      previousShare = foreground;
    }
  }
  EXPECT_EQ(looks.size(), size_t(HatchStyleTotal));

  HatchBrush horizontal(HatchStyleHorizontal, Color(255, 255, 255), Color(0, 0, 0));
  std::vector<bool> bits = FillBlock(horizontal);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(bits[y * 16 + x], (origin_.Y + y) % 8 == 0);
  HatchBrush vertical(HatchStyleVertical, Color(255, 255, 255), Color(0, 0, 0));
  bits = FillBlock(vertical);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(bits[y * 16 + x], (origin_.X + x) % 8 == 0);
  HatchBrush half(HatchStyle50Percent, Color(255, 255, 255), Color(0, 0, 0));
  bits = FillBlock(half);
  int share = 0;
  for (bool b : bits) share += b;
  EXPECT_EQ(share, 128);

  HatchBrush beyond(HatchStyle(HatchStyleTotal), Color(255, 255, 255), Color(0, 0, 0));
  EXPECT_EQ(beyond.GetLastStatus(), InvalidParameter);
  Picture picture(10, 10);
  Graphics graphics(picture.bitmap());
  EXPECT_EQ(graphics.DrawString(u"x", -1, nullptr, RectF(), nullptr, &beyond), InvalidParameter);
}

// A texture brush tiles its image from the surface's origin, whatever is drawn with it.
TEST_F(GdiplusBrush, TextureTilesFromTheSurfaceOrigin) {
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
  const std::string path = testing_support::SandboxDir() + "/tile.png";
  ASSERT_EQ(testing_support::WritePng(path, 2, 2, rgba), "");
  Bitmap tile(win32::Utf8ToUtf16(path).c_str());
  ASSERT_EQ(tile.GetLastStatus(), Ok);
  TextureBrush brush(&tile);
  ASSERT_EQ(brush.GetLastStatus(), Ok);
  Picture picture(100, 120, {1, 2, 3});
  FillBlock(brush, &picture);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int px = origin_.X + x, py = origin_.Y + y;
      const uint8_t* want = &rgba[size_t((py % 2) * 2 + px % 2) * 4];
      EXPECT_EQ(picture.At(px, py), (Rgb{want[0], want[1], want[2]})) << px << "," << py;
    }

  Bitmap* none = nullptr;
  TextureBrush empty(none);
  EXPECT_EQ(empty.GetLastStatus(), InvalidParameter);
}

}  // namespace
