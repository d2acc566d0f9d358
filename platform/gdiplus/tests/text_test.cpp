#include <cmath>
#include <string>

#include "gdiplus_test_support.h"

using namespace Gdiplus;
using gdiplus_test::Inside;
using gdiplus_test::Picture;
using gdiplus_test::Rgb;

namespace {

class GdiplusText : public gdiplus_test::GdiplusTest {};

constexpr Rgb kBlack{0, 0, 0};

// The platform's face names resolve through the program's font configuration; a name nothing
// answers to is not found, and fonts made from it cannot draw.
TEST_F(GdiplusText, FamiliesResolveOrAreNotFound) {
  for (const char16_t* name : {u"Arial", u"Times New Roman", u"DejaVu Sans"}) {
    FontFamily family(name);
    EXPECT_EQ(family.GetLastStatus(), Ok);
    EXPECT_TRUE(family.IsAvailable());
  }
  ASSERT_NE(FontFamily::GenericSansSerif(), nullptr);
  EXPECT_TRUE(FontFamily::GenericSansSerif()->IsAvailable());

  FontFamily missing(u"No Such Face Anywhere");
  EXPECT_EQ(missing.GetLastStatus(), FontFamilyNotFound);
  EXPECT_FALSE(missing.IsAvailable());
  Font font(&missing, 20, FontStyleRegular, UnitPixel);
  EXPECT_NE(font.GetLastStatus(), Ok);
  EXPECT_FALSE(font.IsAvailable());
  Picture picture(50, 50);
  Graphics graphics(picture.bitmap());
  SolidBrush brush(Color(255, 255, 255));
  EXPECT_EQ(graphics.DrawString(u"x", -1, &font, RectF(0, 0, 50, 50), nullptr, &brush), InvalidParameter);
  EXPECT_EQ(picture.Count(kBlack), 50 * 50);
}

// Text is anti-aliased, in the brush's colour, and drawn only inside the box MeasureString gives
// for it, which starts at the layout rectangle's corner and is as tall as a line.
TEST_F(GdiplusText, DrawnTextIsSmoothAndInsideItsMeasuredBox) {
  FontFamily family(u"Arial");
  Font font(&family, 24, FontStyleRegular, UnitPixel);
  ASSERT_EQ(font.GetLastStatus(), Ok);
  Picture picture(300, 80);
  Graphics graphics(picture.bitmap());
  SolidBrush red(Color(255, 255, 0, 0));
  const RectF layout(10, 12, 1024, 80);
  ASSERT_EQ(graphics.DrawString(u"Corvane", -1, &font, layout, nullptr, &red), Ok);
  RectF box;
  ASSERT_EQ(graphics.MeasureString(u"Corvane", -1, &font, layout, &box), Ok);
  EXPECT_EQ(box.X, 10);
  EXPECT_EQ(box.Y, 12);
  EXPECT_GT(box.Width, 60);
  EXPECT_GT(box.Height, 24);
  EXPECT_LT(box.Height, 40);

  Rect changed = picture.ChangedBox(kBlack);
  ASSERT_GT(changed.Width, 0);
  EXPECT_TRUE(Inside(changed, box)) << changed.X << "," << changed.Y << " " << changed.Width << "x" << changed.Height;
  EXPECT_GT(changed.X, 10);  // the margin before the first letter
  int full = 0, partial = 0, other = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      Rgb c = picture.At(x, y);
      if (c.g || c.b) ++other;
      if (c.r == 255) ++full;
      if (c.r > 0 && c.r < 255) ++partial;
    }
  EXPECT_EQ(other, 0);
  EXPECT_GT(full, 50);
  EXPECT_GT(partial, 20);  // smoothed edges

  // A longer string measures wider; an empty one measures nothing and draws nothing.
  RectF longer;
  graphics.MeasureString(u"Corvane Corvane", -1, &font, layout, &longer);
  EXPECT_GT(longer.Width, box.Width * 1.5);
  RectF empty;
  graphics.MeasureString(u"", 0, &font, layout, &empty);
  EXPECT_EQ(empty.Width, 0);
  EXPECT_EQ(empty.Height, 0);
}

// Words wrap at the layout rectangle's width, lines stack one line spacing apart, and nothing is
// drawn outside the rectangle, also for lines that do not fit its height.
TEST_F(GdiplusText, TextWrapsAndIsClippedToTheLayoutRectangle) {
  FontFamily family(u"Arial");
  Font font(&family, 16, FontStyleRegular, UnitPixel);
  std::u16string text;
  for (int i = 0; i < 30; ++i) text += u"word ";
  Picture picture(300, 200);
  Graphics graphics(picture.bitmap());
  SolidBrush white(Color(255, 255, 255));
  RectF oneLine;
  graphics.MeasureString(u"word", -1, &font, RectF(0, 0, 1024, 200), &oneLine);

  const RectF narrow(20, 30, 150, 50);
  ASSERT_EQ(graphics.DrawString(text.c_str(), -1, &font, narrow, nullptr, &white), Ok);
  RectF box;
  graphics.MeasureString(text.c_str(), -1, &font, narrow, &box);
  EXPECT_LE(box.Width, 150);
  EXPECT_EQ(box.Height, 50);  // cut at the rectangle's height
  Rect changed = picture.ChangedBox(kBlack);
  EXPECT_TRUE(Inside(changed, narrow));
  EXPECT_GT(changed.Y + changed.Height, 30 + 2 * int(oneLine.Height));  // a third line shows in part

  RectF tall;
  graphics.MeasureString(text.c_str(), -1, &font, RectF(0, 0, 150, 0), &tall);
  EXPECT_GE(tall.Height, 8 * oneLine.Height);
  EXPECT_NEAR(std::fmod(tall.Height, oneLine.Height), 0, 0.01);
}

// Bold inks more than regular; underline adds a rule under the text as wide as the text.
TEST_F(GdiplusText, StyleBitsChangeTheInk) {
  FontFamily family(u"Arial");
  auto ink = [&](int style) {
    Font font(&family, 30, style, UnitPixel);
    Picture picture(300, 60);
    Graphics graphics(picture.bitmap());
    SolidBrush white(Color(255, 255, 255));
    graphics.DrawString(u"Hello", -1, &font, RectF(0, 0, 1024, 60), nullptr, &white);
    return std::make_pair(picture.Count({255, 255, 255}), picture.ChangedBox(kBlack));
  };
  auto [regular, regularBox] = ink(FontStyleRegular);
  auto [bold, boldBox] = ink(FontStyleBold);
  auto [underlined, underlinedBox] = ink(FontStyleUnderline);
  EXPECT_GT(bold, regular * 5 / 4);
  EXPECT_GT(underlined, regular + regularBox.Width / 2);
  EXPECT_GT(underlinedBox.Y + underlinedBox.Height, regularBox.Y + regularBox.Height);
}

// A path from a string is its outline: drawn, it is only pen-coloured (no smoothing) and leaves
// the letters' insides alone; filled, the insides take the brush.
TEST_F(GdiplusText, StringPathsAreOutlinedOrFilled) {
  FontFamily family(u"DejaVu Sans");
  GraphicsPath path;
  ASSERT_EQ(path.AddString(u"\u2588", -1, &family, FontStyleRegular, 60, RectF(10, 10, 1024, 100), nullptr), Ok);
  Picture picture(120, 100);
  Graphics graphics(picture.bitmap());
  Pen green(Color(255, 0, 255, 0), 1.0f);
  ASSERT_EQ(graphics.DrawPath(&green, &path), Ok);
  Rect block = picture.ChangedBox(kBlack);
  ASSERT_GT(block.Width, 20);
  ASSERT_GT(block.Height, 40);
  EXPECT_EQ(picture.Count({0, 255, 0}) + picture.Count(kBlack), 120 * 100);
  const int cx = block.X + block.Width / 2, cy = block.Y + block.Height / 2;
  EXPECT_EQ(picture.At(cx, cy), kBlack);
  EXPECT_EQ(picture.At(block.X, cy), (Rgb{0, 255, 0}));

  SolidBrush red(Color(255, 255, 0, 0));
  ASSERT_EQ(graphics.FillPath(&red, &path), Ok);
  EXPECT_EQ(picture.At(cx, cy), (Rgb{255, 0, 0}));

  FontFamily missing(u"No Such Face Anywhere");
  GraphicsPath none;
  EXPECT_EQ(none.AddString(u"x", -1, &missing, 0, 20, RectF(0, 0, 100, 100), nullptr), FontFamilyNotFound);
  EXPECT_EQ(graphics.DrawPath(&green, &none), Ok);  // an empty path draws nothing
}

// On a bottom-up frame, text laid out at the top lands in the rows stored last.
TEST_F(GdiplusText, TextAtTheTopOfABottomUpFrameIsInItsLastRows) {
  const int width = 200, height = 100, rowBytes = width * 3;
  std::vector<BYTE> dib(size_t(rowBytes) * height, 0);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  Bitmap frame(&info, dib.data());
  Graphics graphics(&frame);
  FontFamily family(u"Arial");
  Font font(&family, 20, FontStyleRegular, UnitPixel);
  SolidBrush white(Color(255, 255, 255));
  ASSERT_EQ(graphics.DrawString(u"Top", -1, &font, RectF(0, 0, 1024, float(height)), nullptr, &white), Ok);
  int firstRow = -1, lastRow = -1;
  for (int row = 0; row < height; ++row)
    for (int i = 0; i < rowBytes; ++i)
      if (dib[size_t(row) * rowBytes + i]) {
        if (firstRow < 0) firstRow = row;
        lastRow = row;
        break;
      }
  EXPECT_GT(firstRow, height - 30);
  EXPECT_LT(lastRow, height);
}

}  // namespace
