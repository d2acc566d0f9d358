// DrawText with the test face (cell 16 high, 8 wide, ink 7 x 12): placement, measuring, word
// breaks, ellipsis, prefixes, tabs and clipping.
#include <gtest/gtest.h>

#include "canvas.h"

namespace {

class DrawTextTest : public ::testing::Test {
 protected:
  DrawTextTest() : canvas_(120, 80) {
    font_ = TestFont(16);
    old_ = SelectObject(canvas_.dc(), font_);
    SetBkMode(canvas_.dc(), TRANSPARENT);
  }
  ~DrawTextTest() override {
    SelectObject(canvas_.dc(), old_);
    DeleteObject(font_);
  }

  RECT Calc(const char* text, UINT format, RECT r = RECT{10, 10, 10, 10}) {
    DrawTextA(canvas_.dc(), text, -1, &r, format | DT_CALCRECT);
    return r;
  }
  // Leftmost and topmost black pixel.
  POINT FirstInk() const {
    POINT p{-1, -1};
    for (int x = 0; x < canvas_.width() && p.x < 0; ++x)
      for (int y = 0; y < canvas_.height(); ++y)
        if (canvas_.At(x, y) == kBlack) {
          p.x = x;
          break;
        }
    for (int y = 0; y < canvas_.height() && p.y < 0; ++y)
      for (int x = 0; x < canvas_.width(); ++x)
        if (canvas_.At(x, y) == kBlack) {
          p.y = y;
          break;
        }
    return p;
  }

  Canvas canvas_;
  HFONT font_;
  HGDIOBJ old_;
};

TEST_F(DrawTextTest, SingleLineAlignment) {
  RECT r{0, 0, 100, 30};
  EXPECT_EQ(DrawTextA(canvas_.dc(), "ab", -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE), 7 + 16);
  POINT p = FirstInk();
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 7);  // (0 + 30 - 16) / 2
  canvas_.Fill(kWhite);
  DrawTextA(canvas_.dc(), "ab", -1, &r, DT_CENTER | DT_SINGLELINE);
  p = FirstInk();
  EXPECT_EQ(p.x, 42);
  EXPECT_EQ(p.y, 0);
  canvas_.Fill(kWhite);
  DrawTextA(canvas_.dc(), "ab", -1, &r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
  p = FirstInk();
  EXPECT_EQ(p.x, 84);
  EXPECT_EQ(p.y, 14);
  // The rectangle is left as it was.
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.bottom, 30);
}

TEST_F(DrawTextTest, MenuTextHalvesDrawnLeftAndRight) {
  // An owner-drawn menu item: label left-aligned, accelerator right-aligned in one rectangle.
  RECT r{4, 2, 100, 22};
  DrawTextA(canvas_.dc(), "Open", -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  DrawTextA(canvas_.dc(), "F3", -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  EXPECT_EQ(canvas_.At(4, 4), kBlack);
  EXPECT_EQ(canvas_.At(84, 4), kBlack);
  EXPECT_EQ(canvas_.At(99, 4), kWhite);
  EXPECT_EQ(canvas_.At(98, 4), kBlack);
  EXPECT_EQ(canvas_.At(4, 3), kWhite);
}

TEST_F(DrawTextTest, CalcRectMeasuresLines) {
  RECT r = Calc("abc", DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 34);
  EXPECT_EQ(r.bottom, 26);
  r = Calc("a\nbcd\r\ne", 0);
  EXPECT_EQ(r.right, 10 + 24);
  EXPECT_EQ(r.bottom, 10 + 48);
  // On a single line the breaks are characters.
  r = Calc("a\nb", DT_SINGLELINE);
  EXPECT_EQ(r.right, 10 + 24);
  EXPECT_EQ(r.bottom, 26);
  // Nothing is drawn while measuring.
  EXPECT_EQ(canvas_.Count(kBlack), 0);
  r = Calc("", 0);
  EXPECT_EQ(r.right, 10);
  EXPECT_EQ(r.bottom, 10);
}

TEST_F(DrawTextTest, WordBreakFillsLinesGreedily) {
  RECT r = Calc("aa bb cc", DT_WORDBREAK, RECT{0, 0, 40, 0});
  EXPECT_EQ(r.right, 40);  // "aa bb" fits exactly
  EXPECT_EQ(r.bottom, 32);
  r = Calc("aa bb cc", DT_WORDBREAK, RECT{0, 0, 39, 0});
  EXPECT_EQ(r.right, 16);
  EXPECT_EQ(r.bottom, 48);
  // A word wider than the line keeps a line of its own and is not split.
  r = Calc("a abcdefgh b", DT_WORDBREAK, RECT{0, 0, 30, 0});
  EXPECT_EQ(r.right, 64);
  EXPECT_EQ(r.bottom, 48);
  // Blanks at a break are dropped; explicit line breaks still count.
  r = Calc("aa    bb\ncc", DT_WORDBREAK, RECT{0, 0, 24, 0});
  EXPECT_EQ(r.right, 16);
  EXPECT_EQ(r.bottom, 48);
  // Drawing puts the second line one cell lower.
  RECT box{0, 0, 39, 80};
  EXPECT_EQ(DrawTextA(canvas_.dc(), "aa bb", -1, &box, DT_WORDBREAK), 32);
  EXPECT_EQ(canvas_.At(0, 16), kBlack);
  EXPECT_EQ(canvas_.At(20, 0), kWhite);
}

TEST_F(DrawTextTest, EndEllipsisCutsTheLine) {
  RECT r = Calc("abcdefgh", DT_SINGLELINE | DT_END_ELLIPSIS, RECT{0, 0, 50, 0});
  EXPECT_EQ(r.right, 48);  // "abc..."
  r = Calc("abc", DT_SINGLELINE | DT_END_ELLIPSIS, RECT{0, 0, 50, 0});
  EXPECT_EQ(r.right, 24);  // fits: unchanged
  RECT box{0, 0, 50, 20};
  DrawTextA(canvas_.dc(), "abcdefgh", -1, &box, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(canvas_.At(40, 0), kBlack);  // sixth box, the last dot
  EXPECT_EQ(canvas_.At(47, 0), kWhite);
  EXPECT_EQ(canvas_.Count(kBlack), 6 * 7 * 12);
}

TEST_F(DrawTextTest, PrefixesUnderlineAndDisappear) {
  EXPECT_EQ(Calc("&Save", DT_SINGLELINE).right, 10 + 32);
  EXPECT_EQ(Calc("&Save", DT_SINGLELINE | DT_NOPREFIX).right, 10 + 40);
  EXPECT_EQ(Calc("R&&D", DT_SINGLELINE).right, 10 + 24);
  EXPECT_EQ(Calc("end&", DT_SINGLELINE).right, 10 + 24);
  RECT box{0, 0, 100, 20};
  DrawTextA(canvas_.dc(), "S&ave", -1, &box, DT_SINGLELINE);
  // The prefixed character (second) is underlined one row under the baseline across its cell.
  for (int x = 8; x < 16; ++x) EXPECT_EQ(canvas_.At(x, 13), kBlack) << x;
  EXPECT_EQ(canvas_.At(7, 13), kWhite);
  EXPECT_EQ(canvas_.At(16, 13), kWhite);
  canvas_.Fill(kWhite);
  DrawTextA(canvas_.dc(), "S&ave", -1, &box, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(canvas_.Count(kBlack, RECT{0, 12, 100, 16}), 0);
  EXPECT_EQ(canvas_.Count(kBlack), 4 * 7 * 12);
  canvas_.Fill(kWhite);
  DrawTextA(canvas_.dc(), "R&&D", -1, &box, DT_SINGLELINE);
  EXPECT_EQ(canvas_.Count(kBlack, RECT{0, 12, 100, 16}), 0);
}

TEST_F(DrawTextTest, TabsExpandToEightAverageWidths) {
  EXPECT_EQ(Calc("a\tb", DT_SINGLELINE | DT_EXPANDTABS).right, 10 + 72);
  EXPECT_EQ(Calc("a\tb", DT_SINGLELINE).right, 10 + 24);
  RECT box{0, 0, 120, 20};
  DrawTextA(canvas_.dc(), "a\tb", -1, &box, DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(canvas_.At(64, 0), kBlack);
  EXPECT_EQ(canvas_.At(63, 0), kWhite);
  EXPECT_EQ(canvas_.At(10, 0), kWhite);
}

TEST_F(DrawTextTest, TextIsClippedToTheRectangleUnlessNoClip) {
  RECT box{0, 0, 20, 10};
  DrawTextA(canvas_.dc(), "abc", -1, &box, DT_SINGLELINE);
  EXPECT_EQ(canvas_.Count(kBlack), 2 * 7 * 10 + 4 * 10);
  canvas_.Fill(kWhite);
  DrawTextA(canvas_.dc(), "abc", -1, &box, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(canvas_.Count(kBlack), 3 * 7 * 12);
}

TEST_F(DrawTextTest, WideTextAndBadArguments) {
  RECT r{0, 0, 0, 0};
  const WCHAR text[] = u"ab\u00e9";
  EXPECT_EQ(DrawTextW(canvas_.dc(), text, -1, &r, DT_CALCRECT | DT_SINGLELINE), 16);
  EXPECT_EQ(r.right, 24);
  r = RECT{0, 0, 0, 0};
  EXPECT_EQ(DrawTextW(canvas_.dc(), text, 2, &r, DT_CALCRECT | DT_SINGLELINE), 16);
  EXPECT_EQ(r.right, 16);
  EXPECT_EQ(DrawTextA(canvas_.dc(), "a", -1, nullptr, 0), 0);
  EXPECT_EQ(DrawTextA(nullptr, "a", -1, &r, 0), 0);
  EXPECT_EQ(DrawTextA(canvas_.dc(), "", -1, &r, 0), 0);
}

}  // namespace
