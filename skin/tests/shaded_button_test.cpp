// The shaded button's pictures: the palette ramp through the system's button colours, each
// pattern, the grain, the dotted edges, the hover and colouring blends, and how they are drawn.
#include <gtest/gtest.h>

#include <algorithm>

#include "skin/shaded_button.h"
#include "testing/ui_driver.h"

namespace skin_test {
namespace {

using testing_ui::UiDriver;

constexpr int kWidth = 50, kHeight = 30;

COLORREF Entry(const CDibImage& image, int index) {
  const auto* palette = reinterpret_cast<const RGBQUAD*>(image.GetBits() - image.GetPaletteSize());
  return RGB(palette[index].rgbRed, palette[index].rgbGreen, palette[index].rgbBlue);
}

// y counted from the top row.
int Index(const CDibImage& image, int x, int y) {
  return image.GetBits()[size_t(image.GetHeight() - 1 - y) * size_t(image.GetStride()) + size_t(x)];
}

COLORREF Mix(COLORREF from, COLORREF to, int part, int whole) {
  return RGB((GetRValue(from) * (whole - part) + GetRValue(to) * part) / whole,
             (GetGValue(from) * (whole - part) + GetGValue(to) * part) / whole,
             (GetBValue(from) * (whole - part) + GetBValue(to) * part) / whole);
}

class ShadedButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr));
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 20, 20 + kWidth, 20 + kHeight),
                              &parent, 1400));
    ui.Pump();
  }
  void TearDown() override { parent.DestroyWindow(); }

  UiDriver ui;
  CWnd parent;
  CShadedButton button;
};

TEST_F(ShadedButtonTest, ThePaletteRunsFromShadowThroughFaceToHighlightAndTheHoverOneTowardTheHighlight) {
  button.SetShade(CShadedButton::kVertical, 0, 10, 0, 0);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), face = GetSysColor(COLOR_BTNFACE);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const CDibImage& normal = button.NormalImage();
  ASSERT_EQ(kWidth, normal.GetWidth());
  ASSERT_EQ(kHeight, normal.GetHeight());
  EXPECT_EQ(shadow, Entry(normal, 0));
  EXPECT_EQ(Mix(shadow, face, 64, 128), Entry(normal, 64));
  EXPECT_EQ(Mix(shadow, face, 127, 128), Entry(normal, 127));
  EXPECT_EQ(Mix(face, light, 1, 128), Entry(normal, 128));
  EXPECT_EQ(Mix(face, light, 100, 128), Entry(normal, 227));
  EXPECT_EQ(light, Entry(normal, 255));
  for (int i : {0, 100, 200, 255}) {
    EXPECT_EQ(Mix(Entry(normal, i), light, 10, 100), Entry(button.HoverImage(), i)) << i;
    EXPECT_EQ(Entry(button.HoverImage(), i), Entry(button.PressedImage(), i)) << i;
  }

  // The edges: dotted lines of the darkest and the lightest entry.
  const CDibImage& top = button.HorizontalEdge();
  const CDibImage& side = button.VerticalEdge();
  ASSERT_EQ(kWidth, top.GetWidth());
  ASSERT_EQ(1, top.GetHeight());
  ASSERT_EQ(1, side.GetWidth());
  ASSERT_EQ(kHeight, side.GetHeight());
  for (int x = 0; x < 6; ++x) EXPECT_EQ(x % 2 ? 255 : 0, Index(top, x, 0)) << x;
  for (int y = 0; y < 6; ++y) EXPECT_EQ(y % 2 ? 255 : 0, Index(side, 0, y)) << y;
  EXPECT_EQ(shadow, Entry(side, 0));

  // Colouring moves the picture's palette, not the edges'.
  button.SetShade(CShadedButton::kVertical, 0, 0, 50, RGB(0, 0, 255));
  EXPECT_EQ(Mix(shadow, RGB(0, 0, 255), 50, 100), Entry(button.NormalImage(), 0));
  EXPECT_EQ(shadow, Entry(button.HorizontalEdge(), 0));
  EXPECT_EQ(Entry(button.NormalImage(), 40), Entry(button.HoverImage(), 40)) << "no highlight";
}

TEST_F(ShadedButtonTest, EachPatternLaysItsRampWithoutGrain) {
  const int w = kWidth, h = kHeight, k = 255;
  auto bump = [](int v, int n) {
    const int a = v * 255 / n - 127;
    return a * a * a / 16384;
  };
  struct Case {
    int shade;
    int x, y;
    int expected;
  };
  const Case cases[] = {
      {1, 0, 0, (k / 2) * 0 / h + (w - 0) * (k / 2) / w},
      {1, 30, 20, (k / 2) * 20 / h + (w - 30) * (k / 2) / w},
      {2, 7, 0, 0},
      {2, 7, h - 1, k * (h - 1) / h},
      {3, 0, 9, 255},
      {3, w - 1, 9, (w - (w - 1)) * k / w},
      {4, 3, 0, (bump(0, h) + 128) & 0xFF},
      {4, 3, h / 2, bump(h / 2, h) + 128},
      {5, 0, 4, (bump(w, w) + 128) & 0xFF},
      {5, w / 2, 4, bump(w - w / 2, w) + 128},
      {6, 10, 12, std::clamp(bump(12, h) + bump(w - 10, w) + 128, 0, 255)},
      {6, 0, 0, std::clamp(bump(0, h) + bump(w, w) + 128, 0, 255)},
      {0, 17, 17, 128},
  };
  for (const Case& c : cases) {
    button.SetShade(c.shade, 0, 0, 0, 0);
    EXPECT_EQ(c.expected, Index(button.NormalImage(), c.x, c.y)) << "shade " << c.shade << " at " << c.x << "," << c.y;
  }

  // The hard bump's rounded ends, at most 16 pixels long (50 / 6 = 8 here).
  button.SetShade(CShadedButton::kHardBump, 0, 0, 0, 0);
  const int r = w / 6;
  EXPECT_EQ((w - (w - 1)) * 128 / r, Index(button.NormalImage(), w - 1, h / 2)) << "right end";
  EXPECT_EQ(255 - 1 * 128 / r, Index(button.NormalImage(), 1, h / 2)) << "left end";
  EXPECT_EQ(bump(h / 2, h) + 128, Index(button.NormalImage(), w / 2, h / 2)) << "middle";

  // Strokes of indices 0..40 over a diagonal ramp.
  button.SetShade(CShadedButton::kMetal, 0, 0, 0, 0);
  const int k2 = (255 - 40) / 2;
  int stroked = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int stroke = Index(button.NormalImage(), x, y) - (k2 * y / h + (w - x) * k2 / w);
      ASSERT_GE(stroke, 0) << x << "," << y;
      ASSERT_LE(stroke, 40) << x << "," << y;
      stroked += stroke > 0;
    }
  }
  EXPECT_GT(stroked, 0);
}

TEST_F(ShadedButtonTest, TheGrainStaysWithinTheGranularity) {
  const int g = 8, k = 255 - 2 * g;
  for (int round = 0; round < 4; ++round) {
    button.SetShade(CShadedButton::kVertical, g, 10, 0, 0);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const int noise = Index(button.NormalImage(), x, y) - (k * y / kHeight + g);
        ASSERT_GE(noise, -g);
        ASSERT_LT(noise, g);
      }
    }
  }
}

TEST_F(ShadedButtonTest, AnUnsizedOrNarrowWindowGetsAPictureAndOddArgumentsAreGuarded) {
  CShadedButton unsized;
  ASSERT_TRUE(unsized.Create("", WS_CHILD, CRect(0, 0, 0, 0), &parent, 1401));
  unsized.SetShade(CShadedButton::kSoftBump, 8, 10, 0, 0);
  EXPECT_EQ(1, unsized.NormalImage().GetWidth());
  EXPECT_EQ(1, unsized.NormalImage().GetHeight());
  EXPECT_EQ(1, unsized.HoverImage().GetWidth());
  // Patterns that divide by a fraction of the size, and grain beyond the range of shades.
  for (int shade = 0; shade <= 9; ++shade) {
    unsized.SetShade(shade, 100000, 300, -20, RGB(1, 2, 3));
    EXPECT_EQ(1, unsized.NormalImage().GetWidth()) << shade;
  }
  CShadedButton narrow;
  ASSERT_TRUE(narrow.Create("", WS_CHILD, CRect(0, 0, 4, 1), &parent, 1402));
  narrow.SetShade(CShadedButton::kHardBump, 8, 10, 0, 0);
  EXPECT_EQ(4, narrow.NormalImage().GetWidth());
}

TEST_F(ShadedButtonTest, TheHoverPictureShowsUnderTheMouseAndMovesWhenPressed) {
  button.SetShade(CShadedButton::kVertical, 0, 50, 0, 0);
  button.Invalidate();
  const CDibImage& normal = button.NormalImage();
  const CDibImage& hover = button.HoverImage();
  auto picture = [&] {
    ui.Pump();
    return UiDriver::CaptureWindow(button.GetSafeHwnd());
  };
  auto look = picture();
  EXPECT_EQ(Entry(normal, Index(normal, 10, 0)), look.At(10, 0));
  EXPECT_EQ(Entry(normal, Index(normal, 10, 20)), look.At(10, 20));

  ui.MoveMouse(UiDriver::CenterOf(button.GetSafeHwnd()));
  look = picture();
  EXPECT_EQ(Entry(hover, Index(hover, 10, 20)), look.At(10, 20));
  ui.MouseDown(UiDriver::CenterOf(button.GetSafeHwnd()));
  look = picture();
  EXPECT_EQ(Entry(hover, Index(hover, 10, 20)), look.At(11, 21)) << "one pixel right and down";
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(0, 0)) << "the sunken border over it";
  ui.MouseUp(UiDriver::CenterOf(button.GetSafeHwnd()));
}

}  // namespace
}  // namespace skin_test
