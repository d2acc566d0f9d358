// Icon menus drawn and measured in the classic and the XP look: icons, disabled icons, check
// marks, selection, separators and texts, checked pixel by pixel.
#include <gtest/gtest.h>

#include <string_view>

#include "icon_menu_images.h"
#include "icon_menu_look.h"
#include "menu_test_support.h"
#include "menus/icon_menu.h"
#include "test_resources.h"

namespace menus_test {
namespace {

COLORREF Sys(int index) { return GetSysColor(index); }

// The width of the text in the system's menu font.
int MenuFontTextWidth(std::u16string_view text) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HDC dc = GetDC(GetDesktopWindow());
  HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), int(text.size()), &size);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(GetDesktopWindow(), dc);
  return size.cx;
}

class IconMenuDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = icon_menu::Settings();
    ASSERT_TRUE(menu_.CreatePopupMenu());
    ASSERT_TRUE(menu_.AppendItem(u"Red", 0, 630, int(kRedBitmap)));
    ASSERT_TRUE(menu_.AppendItem(u"Open\tCtrl+O", 0, 631, -1));
    ASSERT_TRUE(menu_.AppendItem(u"", 0, 0, -1));
  }
  void TearDown() override { icon_menu::Settings() = saved_; }

  void Draw(int position, Canvas& canvas, RECT rect, UINT state) {
    DRAWITEMSTRUCT request{ODT_MENU, 0, GetMenuItemID(menu_.m_hMenu, position), ODA_DRAWENTIRE, state,
                           reinterpret_cast<HWND>(menu_.m_hMenu), canvas.dc(), rect,
                           reinterpret_cast<ULONG_PTR>(menu_.Items().at(size_t(position)))};
    menu_.DrawItem(&request);
  }
  SIZE Measure(int position) {
    MEASUREITEMSTRUCT request{ODT_MENU, 0, GetMenuItemID(menu_.m_hMenu, position), 0, 0,
                              reinterpret_cast<ULONG_PTR>(menu_.Items().at(size_t(position)))};
    menu_.MeasureItem(&request);
    return SIZE{LONG(request.itemWidth), LONG(request.itemHeight)};
  }

  CIconMenu menu_;
  icon_menu::DrawSettings saved_;
};

// XP look with its three pictures: the band's icon cell is 23 wide, the icon 4 in and down.
TEST_F(IconMenuDrawTest, XpLookShowsWashedOutIconsThatLiftWhenSelected) {
  ASSERT_TRUE(icon_menu::UsesXpDrawing());
  const COLORREF band = Sys(COLOR_BTNFACE), window = Sys(COLOR_WINDOW), highlight = Sys(COLOR_HIGHLIGHT);
  const COLORREF red = RGB(255, 0, 0);
  {
    Canvas canvas(120, 22);
    Draw(0, canvas, RECT{0, 0, 120, 22}, 0);
    EXPECT_EQ(canvas.At(1, 1), band);
    EXPECT_EQ(canvas.At(100, 1), window);
    // The washed-out picture at rest.
    EXPECT_EQ(canvas.At(4, 4), icon_menu::Lighten(red, 0.3));
    EXPECT_EQ(canvas.At(19, 18), icon_menu::Lighten(red, 0.3));
    EXPECT_EQ(canvas.At(3, 4), band);
  }
  {
    Canvas canvas(120, 22);
    Draw(0, canvas, RECT{0, 0, 120, 22}, ODS_SELECTED);
    const COLORREF selection = icon_menu::Lighten(highlight, 0.7);
    EXPECT_EQ(canvas.At(0, 0), highlight);
    EXPECT_EQ(canvas.At(119, 21), highlight);
    EXPECT_EQ(canvas.At(100, 5), selection);
    // The picture up and left, its shadow down and right.
    EXPECT_EQ(canvas.At(3, 3), red);
    EXPECT_EQ(canvas.At(20, 19), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(2, 2), selection);
  }
  {
    Canvas canvas(120, 22);
    Draw(0, canvas, RECT{0, 0, 120, 22}, ODS_CHECKED);
    // A checked icon sits in a framed light cell, one pixel up and left.
    EXPECT_EQ(canvas.At(1, 1), highlight);
    EXPECT_EQ(canvas.At(2, 2), icon_menu::Lighten(highlight, 0.85));
    EXPECT_EQ(canvas.At(3, 3), red);
  }
}

// With the default settings the XP look never selects a disabled item; its icon is embossed.
TEST_F(IconMenuDrawTest, XpLookEmbossesDisabledIconsWithoutSelection) {
  Canvas canvas(120, 22);
  Draw(0, canvas, RECT{0, 0, 120, 22}, ODS_SELECTED | ODS_GRAYED);
  const COLORREF selection = icon_menu::Lighten(Sys(COLOR_HIGHLIGHT), 0.7);
  EXPECT_EQ(canvas.Count(selection, RECT{0, 0, 120, 22}), 0);
  EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_BTNFACE));
  EXPECT_EQ(canvas.At(100, 1), Sys(COLOR_WINDOW));
  // A picture without face-coloured pixels: all shadow, with the highlight peeking out at the
  // far corner.
  EXPECT_EQ(canvas.At(4, 4), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.At(19, 18), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.At(20, 19), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.Count(RGB(255, 0, 0), RECT{0, 0, 120, 22}), 0);
  EXPECT_EQ(canvas.Count(icon_menu::Lighten(RGB(255, 0, 0), 0.3), RECT{0, 0, 120, 22}), 0);
}

TEST_F(IconMenuDrawTest, XpLookChecksWithTickOrBulletAndEtchesSeparators) {
  const COLORREF ink = Sys(COLOR_MENUTEXT), cell = icon_menu::Lighten(Sys(COLOR_HIGHLIGHT), 0.85);
  {
    Canvas canvas(120, 22);
    Draw(1, canvas, RECT{0, 0, 120, 22}, ODS_CHECKED);
    // A 16 x 16 cell at (4, 3), the tick's strokes from (9, 7).
    EXPECT_EQ(canvas.At(4, 3), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas.At(5, 4), cell);
    EXPECT_EQ(canvas.At(9, 9), ink);
    EXPECT_EQ(canvas.At(9, 12), cell);
    EXPECT_EQ(canvas.At(11, 11), ink);
    EXPECT_EQ(canvas.At(15, 7), ink);
    EXPECT_EQ(canvas.At(15, 10), cell);
  }
  {
    // An item with its own check bitmap shows a dot instead.
    HBITMAP dot = CreateBitmap(13, 13, 1, 1, nullptr);
    ASSERT_TRUE(SetMenuItemBitmaps(menu_.m_hMenu, 631, MF_BYCOMMAND, dot, dot));
    Canvas canvas(120, 22);
    Draw(1, canvas, RECT{0, 0, 120, 22}, ODS_CHECKED);
    EXPECT_EQ(canvas.At(12, 10), ink);
    EXPECT_EQ(canvas.At(15, 7), cell);
    SetMenuItemBitmaps(menu_.m_hMenu, 631, MF_BYCOMMAND, nullptr, nullptr);
    DeleteObject(dot);
  }
  {
    Canvas canvas(120, 10);
    Draw(2, canvas, RECT{0, 0, 120, 10}, 0);
    EXPECT_EQ(canvas.At(1, 5), Sys(COLOR_BTNFACE));
    // The line starts a margin after the band.
    EXPECT_EQ(canvas.At(25, 5), Sys(COLOR_WINDOW));
    EXPECT_EQ(canvas.At(40, 5), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(40, 6), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(40, 2), Sys(COLOR_WINDOW));
  }
}

// "Open" on the left, "Ctrl+O" on the right ending an icon width before the edge.
TEST_F(IconMenuDrawTest, AcceleratorTextIsRightAlignedAnIconWidthIn) {
  Canvas canvas(200, 22, Sys(COLOR_WINDOW));
  Draw(1, canvas, RECT{0, 0, 200, 22}, 0);
  const COLORREF window = Sys(COLOR_WINDOW);
  auto inked = [&](int left, int right) {
    return (right - left) * 22 - canvas.Count(window, RECT{left, 0, right, 22});
  };
  EXPECT_GT(inked(31, 60), 0);   // the text starts after the band and 8 pixels
  EXPECT_EQ(inked(23, 31), 0);
  EXPECT_GT(inked(144, 184), 0);
  EXPECT_EQ(inked(184, 200), 0);
  EXPECT_EQ(inked(90, 120), 0);
}

TEST_F(IconMenuDrawTest, ClassicLookFramesIconsAndSelectsDisabledItems) {
  icon_menu::SetMenuDrawMode(0);
  ASSERT_FALSE(icon_menu::UsesXpDrawing());
  const COLORREF menu = Sys(COLOR_BTNFACE), highlight = Sys(COLOR_HIGHLIGHT);
  const COLORREF light = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
  {
    // Item height 19: dy is 0 here (it is 2 in the XP look).
    Canvas canvas(120, 19);
    Draw(0, canvas, RECT{0, 0, 120, 19}, ODS_SELECTED);
    EXPECT_EQ(canvas.At(0, 0), light);      // raised
    EXPECT_EQ(canvas.At(19, 18), shadow);
    EXPECT_EQ(canvas.At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(17, 16), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(21, 5), highlight);  // the bar starts after the icon
    EXPECT_EQ(canvas.At(119, 18), highlight);
    EXPECT_NE(canvas.At(20, 5), highlight);
  }
  {
    Canvas canvas(120, 19);
    Draw(0, canvas, RECT{0, 0, 120, 19}, ODS_CHECKED);
    EXPECT_EQ(canvas.At(0, 0), shadow);  // sunken
    EXPECT_EQ(canvas.At(19, 18), light);
    EXPECT_EQ(canvas.At(100, 5), menu);
  }
  {
    // Disabled items may be selected here: the bar, with the text in the menu colour.
    Canvas canvas(120, 19);
    Draw(1, canvas, RECT{0, 0, 120, 19}, ODS_SELECTED | ODS_GRAYED);
    EXPECT_EQ(canvas.At(0, 5), highlight);  // no image: the whole item
    EXPECT_GT(canvas.Count(menu, RECT{25, 0, 60, 19}), 0);
    EXPECT_EQ(canvas.Count(Sys(COLOR_GRAYTEXT), RECT{0, 0, 120, 19}), 0);
  }
  {
    Canvas canvas(120, 19);
    Draw(1, canvas, RECT{0, 0, 120, 19}, ODS_CHECKED);
    // The check box (1, 2)-(17, 17) in the light menu colour, sunken, with a tick from (5, 6).
    EXPECT_EQ(canvas.At(1, 2), shadow);
    EXPECT_EQ(canvas.At(3, 4), icon_menu::Lighten(menu, 0.6));
    EXPECT_EQ(canvas.At(5, 8), Sys(COLOR_MENUTEXT));
    EXPECT_EQ(canvas.At(11, 6), Sys(COLOR_MENUTEXT));
    EXPECT_EQ(canvas.At(5, 6), icon_menu::Lighten(menu, 0.6));
  }
  {
    Canvas canvas(120, 10);
    Draw(2, canvas, RECT{0, 0, 120, 10}, 0);
    EXPECT_EQ(canvas.At(1, 1), menu);
    EXPECT_EQ(canvas.At(5, 5), shadow);
    EXPECT_EQ(canvas.At(5, 6), light);
  }
}

TEST_F(IconMenuDrawTest, MeasuresTextIconAndMarginInEachLook) {
  const int menuHeight = GetSystemMetrics(SM_CYMENU);
  const int text = MenuFontTextWidth(u"Red");

  SIZE xp = Measure(0);
  EXPECT_EQ(xp.cx, 16 + 7 + text + 8);
  EXPECT_EQ(xp.cy, std::max(menuHeight, 22));
  EXPECT_EQ(Measure(2).cx, 0);
  EXPECT_EQ(Measure(2).cy, std::max(menuHeight / 2, 11));
  icon_menu::SetMenuDrawMode(0);
  SIZE classic = Measure(0);
  EXPECT_EQ(classic.cx, text + 2 * 16 + 1);
  EXPECT_EQ(classic.cy, std::max(menuHeight, 19));
  EXPECT_EQ(Measure(2).cy, std::max(menuHeight / 2, 9));
}

// Win32s (its own process) measures the ANSI text with DrawText in the window's own font and
// pads it by three pixels a character on average; the others measure in the menu font.
TEST_F(IconMenuDrawTest, ThisSystemMeasuresItsWayInTheClassicLook) {
  icon_menu::SetMenuDrawMode(0);
  ASSERT_TRUE(menu_.AppendItem(u"Wide words", 0, 632, -1));
  int width = 0;
  if (icon_menu::GetWinVersionCode() == 0) {
    HDC dc = GetDC(GetDesktopWindow());
    RECT r{};
    DrawTextA(dc, "Wide words", 10, &r, DT_CALCRECT | DT_SINGLELINE);
    ReleaseDC(GetDesktopWindow(), dc);
    width = r.right + 3 + 3 * (r.right / 10);
  } else {
    width = MenuFontTextWidth(u"Wide words");
  }
  ASSERT_GT(width, 10);
  EXPECT_EQ(Measure(3).cx, width + 2 * 16 + 1);
}

// The other rendering of disabled icons: the cell in the background colour, the picture's
// highlight one pixel down and right, its shadow in place.
TEST_F(IconMenuDrawTest, DisabledIconsHaveASecondRendering) {
  menu_.SetDisabledImageSwitch();
  ASSERT_EQ(menu_.GetDisabledImageSwitch(), 1);
  Canvas canvas(120, 22);
  Draw(0, canvas, RECT{0, 0, 120, 22}, ODS_GRAYED);
  EXPECT_EQ(canvas.At(4, 4), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.At(19, 18), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.At(20, 19), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.At(20, 5), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.At(20, 4), Sys(COLOR_BTNFACE));
  EXPECT_EQ(canvas.Count(RGB(255, 0, 0), RECT{0, 0, 120, 22}), 0);
  menu_.ClearDisabledImageSwitch();
  EXPECT_EQ(menu_.GetDisabledImageSwitch(), 0);
}

// Runs in the process with a 256-colour screen: the XP look is chosen, the classic one drawn.
TEST_F(IconMenuDrawTest, PaletteScreenDrawsTheClassicLook) {
  Canvas canvas(120, 19);
  if (!(GetDeviceCaps(canvas.dc(), RASTERCAPS) & RC_PALETTE)) GTEST_SKIP() << "runs on a palette screen";
  ASSERT_TRUE(icon_menu::UsesXpDrawing());
  Draw(0, canvas, RECT{0, 0, 120, 19}, ODS_SELECTED);
  EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.At(60, 5), Sys(COLOR_HIGHLIGHT));
}

// Checked items without an image show the menu's check-mark pictures: the second one selected.
TEST_F(IconMenuDrawTest, CheckMarkPicturesStandInForTheTick) {
  EXPECT_FALSE(menu_.LoadCheckmarkBitmap(0, int(kGreenBitmap)));
  ASSERT_TRUE(menu_.LoadCheckmarkBitmap(int(kRedBitmap), int(kGreenBitmap)));
  {
    Canvas canvas(120, 22);
    Draw(1, canvas, RECT{0, 0, 120, 22}, ODS_CHECKED);
    EXPECT_EQ(canvas.At(4, 4), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(19, 18), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(2, 2), Sys(COLOR_BTNFACE));
  }
  {
    Canvas canvas(120, 22);
    Draw(1, canvas, RECT{0, 0, 120, 22}, ODS_CHECKED | ODS_SELECTED);
    EXPECT_EQ(canvas.At(4, 4), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_HIGHLIGHT));
  }
  // An item with an image of its own keeps it.
  Canvas canvas(120, 22);
  Draw(0, canvas, RECT{0, 0, 120, 22}, ODS_CHECKED);
  EXPECT_EQ(canvas.At(3, 3), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(1, 1), Sys(COLOR_HIGHLIGHT));
}

}  // namespace
}  // namespace menus_test
