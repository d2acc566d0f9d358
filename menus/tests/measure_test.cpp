// Measuring items in the three measuring looks.
#include "menu_test_support.h"

namespace menus_test {
namespace {

using MeasureTest = MenuTest;

constexpr int kMenuLine = 19;    // SM_CYMENU
constexpr int kCheckWidth = 13;  // SM_CXMENUCHECK

struct Built {
  CStyledMenu menu;
  Built() {
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 100, "Options");    // 7 characters
    menu.AppendMenu(MF_STRING, 101, "Open\tCtrl");  // a tab
    menu.AppendMenu(MF_SEPARATOR, 102);
  }
};

TEST_F(MeasureTest, PopUpItemsFollowTheirLooksRules) {
  Built b;
  const int options = 7 * kCharWidth;
  // The tab counts as "nnn" in the flat and gradient looks and as one character in the classic.
  const int tabbed = 11 * kCharWidth;
  const int tabbedClassic = 9 * kCharWidth;

  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  EXPECT_EQ(Measure(b.menu, 0).cx, 16 + options + kMenuLine / 2 + 6);
  EXPECT_EQ(Measure(b.menu, 1).cx, 16 + tabbed + kMenuLine / 2 + 6);
  // The default icon is 15 high: a menu line of 19 does not exceed 15 + 8, so 15 + 7.
  EXPECT_EQ(Measure(b.menu, 0).cy, 22);

  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_CLASSIC);
  EXPECT_EQ(Measure(b.menu, 0).cx, options + 2 * 16 + 2);
  EXPECT_EQ(Measure(b.menu, 1).cx, tabbedClassic + 2 * 16 + 2);
  EXPECT_EQ(Measure(b.menu, 0).cy, kMenuLine);  // 15 + 4 and the text are lower

  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_GRADIENT);
  EXPECT_EQ(Measure(b.menu, 1).cx, tabbed + 2 * 16 + 2);
  EXPECT_EQ(Measure(b.menu, 0).cy, 15 + 6);

  for (int style = 0; style <= 9; ++style) {
    CStyledMenu::SetMenuDrawMode(style);
    const SIZE separator = Measure(b.menu, 2);
    EXPECT_EQ(separator.cx, 3) << style;
    EXPECT_EQ(separator.cy, 3) << style;
  }
}

TEST_F(MeasureTest, FlatHeightTieGoesToIconHeightPlusSeven) {
  Built b;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  b.menu.SetIconSize(16, 16);
  EXPECT_EQ(Measure(b.menu, 0).cy, 23);
  b.menu.SetIconSize(16, 11);  // 19 does not exceed 11 + 8
  EXPECT_EQ(Measure(b.menu, 0).cy, 18);
  b.menu.SetIconSize(16, 10);  // 19 exceeds 10 + 8
  EXPECT_EQ(Measure(b.menu, 0).cy, kMenuLine);
  b.menu.SetIconSize(16, 4);  // the text is higher than 4 + 7
  EXPECT_EQ(Measure(b.menu, 0).cy, kMenuLine);
}

TEST_F(MeasureTest, SystemFrameStylesMeasureAsTheirPartners) {
  Built b;
  for (int style = 0; style <= 8; style += 2) {
    CStyledMenu::SetMenuDrawMode(style);
    const SIZE own = Measure(b.menu, 1);
    CStyledMenu::SetMenuDrawMode(style + 1);
    const SIZE system = Measure(b.menu, 1);
    EXPECT_EQ(own.cx, system.cx) << style;
    EXPECT_EQ(own.cy, system.cy) << style;
  }
}

TEST_F(MeasureTest, MenuBarItemWithMnemonicIsNarrowerThanItsText) {
  CStyledMenu bar;
  bar.LoadMenu(CreateMenu());  // a menu bar: not flagged as pop-up
  CStyledMenu* file = bar.AppendSubMenu("&File");
  ASSERT_NE(file, nullptr);
  MEASUREITEMSTRUCT request{ODT_MENU, 0, UINT(reinterpret_cast<UINT_PTR>(file->m_hMenu)), 0, 0,
                            reinterpret_cast<ULONG_PTR>(bar.Items().at(0))};
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  bar.MeasureItem(&request);
  EXPECT_EQ(int(request.itemWidth), 5 * kCharWidth - 6);
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_CLASSIC);
  bar.MeasureItem(&request);
  EXPECT_EQ(int(request.itemWidth), 5 * kCharWidth - kCheckWidth / 2);
}

TEST_F(MeasureTest, SystemCommandTakesTheWidthOfTheNextCommandAndAMenuLine) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, SC_RESTORE, "R");
  menu.AppendMenu(MF_SEPARATOR, 0);
  menu.AppendMenu(MF_STRING, 200, "A much longer command");
  menu.AppendMenu(MF_STRING, SC_CLOSE, "C");  // the last item: nothing to look ahead to
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  const SIZE longer = Measure(menu, 2);
  const SIZE restore = Measure(menu, 0);
  EXPECT_EQ(restore.cx, longer.cx);
  EXPECT_EQ(restore.cy, kMenuLine);
  const SIZE close = Measure(menu, 3);
  EXPECT_EQ(close.cx, 16 + kCharWidth + kMenuLine / 2 + 6);
  EXPECT_EQ(close.cy, kMenuLine);
}

TEST_F(MeasureTest, TitlesMeasureTheirTextAcrossOrAlong) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 100, "Item");
  ASSERT_TRUE(menu.SetTitle("Title", CStyledMenu::TITLE_DOUBLE_LINE));
  SIZE title = Measure(menu, 0);
  EXPECT_EQ(title.cx, 5 * kCharWidth);
  EXPECT_EQ(title.cy, kFontHeight + 8);
  ASSERT_TRUE(menu.SetTitle("Title", CStyledMenu::TITLE_VERTICAL | CStyledMenu::TITLE_ROUNDED));
  title = Measure(menu, 0);
  EXPECT_EQ(title.cx, kFontHeight - kCheckWidth + 4);
  EXPECT_EQ(title.cy, 0);
}

}  // namespace
}  // namespace menus_test
