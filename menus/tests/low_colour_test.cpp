// On a screen of 256 colours or fewer (a process of its own with an 8-bit screen) the looks give
// up tints and pixel-shaded shadows.
#include <cstdlib>

#include "menu_test_support.h"

namespace menus_test {
namespace {

class LowColourTest : public MenuTest {
 protected:
  void SetUp() override {
    if (!std::getenv("CORVANE_SCREEN")) GTEST_SKIP() << "runs in the process with an 8-bit screen";
    MenuTest::SetUp();
  }
};

TEST_F(LowColourTest, SelectionIsTheWindowColourAndTheBarBrushIsSolid) {
  EXPECT_EQ(GetSelectionColor(), GetSysColor(COLOR_WINDOW));
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  LOGBRUSH brush{};
  ASSERT_TRUE(GetObjectA(GetMenuBarBrush(), sizeof brush, &brush));
  EXPECT_EQ(brush.lbStyle, UINT(BS_SOLID));
}

TEST_F(LowColourTest, FlatLookUsesTheButtonFaceColumnAndPlainShadows) {
  CStyledMenu bar;
  ASSERT_TRUE(bar.LoadMenu(CreateMenu()));
  CStyledMenu* file = bar.AppendSubMenu("File");
  file->AppendMenu(MF_STRING, 1, "Open");
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  Canvas item(130, 30);
  Draw(*file, 0, item, RECT{0, 0, 120, 22}, ODS_SELECTED);
  EXPECT_EQ(item.At(100, 5), GetSysColor(COLOR_WINDOW));
  Canvas column(130, 30);
  Draw(*file, 0, column, RECT{0, 0, 120, 22});
  EXPECT_EQ(column.At(5, 5), GetSysColor(COLOR_BTNFACE));

  // The bar item pressed while its pop-up is open: two columns of button shadow at the right,
  // from the fifth row down, and nothing shaded pixel by pixel.
  CStyledMenu::InitMenuPopup(nullptr, file->m_hMenu, 0, FALSE);
  ASSERT_EQ(bar.OpenPopups(), 1);
  Canvas pressed(60, 22);
  DRAWITEMSTRUCT request{ODT_MENU, 0, UINT(reinterpret_cast<UINT_PTR>(file->m_hMenu)), ODA_DRAWENTIRE, ODS_SELECTED,
                         reinterpret_cast<HWND>(bar.m_hMenu), pressed.dc(), RECT{0, 0, 50, 19},
                         reinterpret_cast<ULONG_PTR>(bar.Items()[0])};
  bar.DrawItem(&request);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(pressed.At(50 - 3, 10), shadow);
  EXPECT_EQ(pressed.At(50 - 4, 10), shadow);
  EXPECT_EQ(pressed.At(50 - 3, 3), kMenuBar);
  EXPECT_EQ(pressed.At(50 - 1, 10), kMenuBar);
  EXPECT_EQ(pressed.At(50 - 2, 10), kMenuBar);
  file->OnPopupClose();
  EXPECT_EQ(bar.OpenPopups(), 0);
}

}  // namespace
}  // namespace menus_test
