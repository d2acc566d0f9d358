// The colours of the menu surfaces, the gradient fill and the menu-bar brushes.
#include <cstdlib>

#include "colour_ops.h"
#include "menu_test_support.h"

namespace menus_test {
namespace {

TEST(MenuColoursTest, ArithmeticRoundsThroughMulDiv) {
  using namespace styled_menu;
  EXPECT_EQ(Darken(50, RGB(255, 100, 1)), RGB(205, 80, 1));
  EXPECT_EQ(Lighten(100, RGB(85, 255, 0)), RGB(152, 255, 100));
  EXPECT_EQ(Mix86(RGB(245, 245, 245), kMenuBar), RGB(244, 244, 241));
  EXPECT_EQ(Mix70(kWhite, kHighlight), RGB(194, 211, 238));
  EXPECT_EQ(ShadowTint(RGB(255, 238, 194)), RGB(179, 167, 174));
  EXPECT_EQ(Grey(RGB(255, 0, 1)), RGB(85, 85, 85));
  EXPECT_EQ(AddToChannels(10, RGB(245, 244, 0)), RGB(255, 254, 10));
  EXPECT_TRUE(IsLightColor(RGB(129, 128, 128)));
  EXPECT_FALSE(IsLightColor(RGB(128, 128, 128)));
}

TEST(MenuColoursTest, DefaultSchemeGetsItsToolbarTint) {
  // mix70(darken(10, white), the Luna caption) is RGB(172, 197, 240).
  EXPECT_EQ(GetGradientBarColor(), kWarmBar);
}

TEST(MenuColoursTest, MenuColourComesFromASolidBackgroundBrushOnly) {
  CMenu menu;
  menu.CreatePopupMenu();
  EXPECT_EQ(GetMenuBackColor(menu.m_hMenu), kMenuBar);  // flat menus on Windows XP
  EXPECT_EQ(GetMenuBackColor(nullptr), kMenuBar);
  HBRUSH solid = CreateSolidBrush(RGB(10, 20, 30));
  MENUINFO info{sizeof(MENUINFO), MIM_BACKGROUND, 0, 0, solid, 0, 0};
  menu.SetMenuInfo(&info);
  EXPECT_EQ(GetMenuBackColor(menu.m_hMenu), RGB(10, 20, 30));
  EXPECT_EQ(GetMenuBackColorThemed(menu.m_hMenu), RGB(10, 20, 30));
  // A pattern brush's colour means nothing.
  HBITMAP pattern = CreateBitmap(8, 8, 1, 32, nullptr);
  HBRUSH patterned = CreatePatternBrush(pattern);
  info.hbrBack = patterned;
  menu.SetMenuInfo(&info);
  EXPECT_EQ(GetMenuBackColor(menu.m_hMenu), kMenuBar);
  menu.DestroyMenu();
  DeleteObject(solid);
  DeleteObject(patterned);
  DeleteObject(pattern);
}

TEST(MenuColoursTest, MenuBarBrushFollowsTheStyle) {
  const int saved = CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_CLASSIC);
  EXPECT_EQ(GetMenuBarBrush(), nullptr);
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  HBRUSH face = GetMenuBarBrush();
  LOGBRUSH logBrush{};
  ASSERT_TRUE(GetObjectA(face, sizeof logBrush, &logBrush));
  EXPECT_EQ(logBrush.lbStyle, UINT(BS_SOLID));
  EXPECT_EQ(logBrush.lbColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetMenuBarBrush(), face);  // kept for the process
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  HBRUSH gradient = GetMenuBarBrush();
  ASSERT_TRUE(GetObjectA(gradient, sizeof logBrush, &logBrush));
  EXPECT_EQ(logBrush.lbStyle, UINT(BS_PATTERN));
  // The pattern runs from the bar colour to lighten(110) of it, left to right.
  Canvas canvas(1024, 4);
  RECT all{0, 0, 1024, 4};
  FillRect(canvas.dc(), &all, gradient);
  EXPECT_NEAR(GetRValue(canvas.At(0, 1)), GetRValue(kWarmBar), 2);
  EXPECT_NEAR(GetRValue(canvas.At(1020, 1)), GetRValue(styled_menu::Lighten(110, kWarmBar)), 3);
  CStyledMenu::SetMenuDrawMode(saved);
}

TEST(MenuColoursTest, BandedGradientWithoutRoomFillsSolid) {
  // Bands are drawn when the gradient function is missing (run without "Msimg32.dll") or
  // dithering on a palette screen; here the dither flag is off so bands use plain brushes.
  if (!std::getenv("CORVANE_ABSENT_MODULES")) GTEST_SKIP() << "runs in the process without Msimg32.dll";
  Canvas canvas(20, 4);
  DrawGradient(canvas.dc(), RECT{0, 0, 2, 4}, kBlack, RGB(255, 0, 0), TRUE, FALSE);
  EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(1, 3), RGB(255, 0, 0));
  DrawGradient(canvas.dc(), RECT{4, 0, 8, 1}, kBlack, RGB(255, 0, 0), FALSE, FALSE);  // one row high
  EXPECT_EQ(canvas.At(4, 0), RGB(255, 0, 0));
  // Ten wide: bands of two from the first colour to the last.
  DrawGradient(canvas.dc(), RECT{10, 0, 20, 4}, kBlack, RGB(255, 0, 0), TRUE, FALSE);
  EXPECT_EQ(canvas.At(10, 0), kBlack);
  EXPECT_EQ(canvas.At(11, 0), kBlack);
  EXPECT_EQ(canvas.At(12, 0), RGB(64, 0, 0));
  EXPECT_EQ(canvas.At(19, 3), RGB(255, 0, 0));
}

}  // namespace
}  // namespace menus_test
