// Drawing items per look into a memory canvas: geometry and sampled colours.
#include "menu_test_support.h"
#include "testing/ui_driver.h"

namespace menus_test {
namespace {

using DrawTest = MenuTest;

constexpr RECT kItem{0, 0, 120, 22};

// The flat gradient look's colours in the default scheme.
constexpr COLORREF kGradientItemBackground = RGB(244, 244, 241);  // mix86(darken(10, window), menu bar)
constexpr COLORREF kWarmSelection = RGB(255, 238, 194);
constexpr COLORREF kWarmCheckBox = RGB(255, 192, 111);
constexpr COLORREF kWarmCheckBoxSelected = RGB(254, 128, 62);
// The flat look's.
constexpr COLORREF kFlatItemBackground = RGB(252, 252, 249);  // mix86(window, menu bar)
constexpr COLORREF kFlatIconColumn = RGB(239, 236, 222);      // mix86(menu bar, window)
constexpr COLORREF kFlatSelection = RGB(194, 211, 238);       // mix70(window, highlight)

struct SkinLikeMenu {
  CStyledMenu menu;
  SkinLikeMenu() {
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 32769, "Options");
    menu.AppendMenu(MF_SEPARATOR, 32770);
    menu.AppendMenu(MF_STRING, 32771, "Blue");
    menu.AppendMenu(MF_STRING, SC_CLOSE, "Close");
  }
};

int Red(COLORREF c) { return GetRValue(c); }

TEST_F(DrawTest, FlatGradientItemHasAGradientColumnAndTextAfterIt) {
  SkinLikeMenu m;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  Canvas canvas(130, 30);
  Draw(m.menu, 0, canvas, kItem);
  // The icon column (16 + 8 wide) runs from the item background towards the warm bar colour.
  EXPECT_GT(Red(canvas.At(1, 5)), Red(canvas.At(12, 5)));
  EXPECT_GT(Red(canvas.At(12, 5)), Red(canvas.At(22, 5)));
  EXPECT_NEAR(Red(canvas.At(0, 5)), Red(kGradientItemBackground), 4);
  EXPECT_NEAR(Red(canvas.At(23, 5)), Red(kWarmBar), 4);
  EXPECT_EQ(canvas.At(24, 5), kGradientItemBackground);
  EXPECT_EQ(canvas.At(119, 21), kGradientItemBackground);
  EXPECT_EQ(canvas.At(120, 21), RGB(1, 2, 3));  // nothing outside the item
  // "Options" starts 4 pixels after the column, in the menu text colour, centred vertically.
  EXPECT_EQ(canvas.At(28, 9), kBlack);
  EXPECT_EQ(canvas.At(27, 9), kGradientItemBackground);
  EXPECT_EQ(canvas.At(33, 9), kGradientItemBackground);  // the gap between two characters
  EXPECT_EQ(canvas.At(28 + 7 * kCharWidth - 2, 9), kBlack);
  EXPECT_EQ(canvas.At(28 + 7 * kCharWidth, 9), kGradientItemBackground);
  EXPECT_EQ(canvas.Count(kBlack, RECT{24, 0, 120, 4}), 0);
  EXPECT_EQ(canvas.Count(kBlack, RECT{24, 4 + kInkRows + 1, 120, 22}), 0);
}

TEST_F(DrawTest, FlatGradientSelectionIsWarmAndFramed) {
  SkinLikeMenu m;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  Canvas canvas(130, 30);
  Draw(m.menu, 2, canvas, kItem, ODS_SELECTED);
  EXPECT_EQ(canvas.At(60, 5), kWarmSelection);
  EXPECT_EQ(canvas.At(5, 5), kWarmSelection);  // over the icon column too
  EXPECT_EQ(canvas.At(0, 5), kHighlight);
  EXPECT_EQ(canvas.At(119, 5), kHighlight);
  EXPECT_EQ(canvas.At(60, 0), kHighlight);
  EXPECT_EQ(canvas.At(60, 21), kHighlight);
  EXPECT_EQ(canvas.At(28, 9), kBlack);
}

TEST_F(DrawTest, FlatGradientCheckMarkSitsInAWarmBox) {
  SkinLikeMenu m;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  const RECT box{1, 1, 22, 21};  // the icon column less 1 left and top, 2 right, 1 bottom
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, kItem, ODS_CHECKED);
    EXPECT_EQ(canvas.At(1, 10), kHighlight);
    EXPECT_EQ(canvas.At(21, 10), kHighlight);
    EXPECT_EQ(canvas.At(10, 1), kHighlight);
    EXPECT_EQ(canvas.At(10, 20), kHighlight);
    EXPECT_EQ(canvas.At(3, 3), kWarmCheckBox);
    EXPECT_GT(canvas.Count(kBlack, box), 20);  // the Marlett check mark
    EXPECT_EQ(canvas.Count(kBlack, RECT{0, 0, 24, 1}) + canvas.Count(kBlack, RECT{22, 0, 24, 22}), 0);
  }
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, kItem, ODS_CHECKED | ODS_SELECTED);
    EXPECT_EQ(canvas.At(3, 3), kWarmCheckBoxSelected);
    EXPECT_EQ(canvas.At(60, 5), kWarmSelection);
  }
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, kItem);  // unchecked: no box, no mark
    EXPECT_EQ(canvas.Count(kWarmCheckBox, box), 0);
    EXPECT_EQ(canvas.Count(kBlack, box), 0);
  }
}

TEST_F(DrawTest, FlatSeparatorIsAGrayLineFromTheTextStart) {
  SkinLikeMenu m;
  for (int style : {CStyledMenu::STYLE_XP, CStyledMenu::STYLE_XP_GRADIENT}) {
    CStyledMenu::SetMenuDrawMode(style);
    Canvas canvas(130, 10);
    Draw(m.menu, 1, canvas, RECT{0, 0, 120, 3});
    EXPECT_EQ(canvas.At(28, 1), kGrayText) << style;
    EXPECT_EQ(canvas.At(119, 1), kGrayText) << style;
    EXPECT_NE(canvas.At(27, 1), kGrayText) << style;
    EXPECT_NE(canvas.At(60, 0), kGrayText) << style;
    EXPECT_NE(canvas.At(60, 2), kGrayText) << style;
  }
}

TEST_F(DrawTest, GrayedItemIsHighlightedOnlyWhenDisabledItemsMayBe) {
  SkinLikeMenu m;
  testing_ui::UiDriver ui;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, kItem, ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(canvas.At(60, 5), kWarmSelection);
    EXPECT_EQ(canvas.At(28, 9), kGrayText);
  }
  CStyledMenu::SetSelectDisabled(FALSE);
  HWND under = PlainWindow(RECT{250, 150, 400, 250}, WS_POPUP | WS_VISIBLE);
  for (int x : {300, 301}) {
    // The mouse moved onto the item: it stays unselected.
    ui.MoveMouse(POINT{x, 200});
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, kItem, ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(canvas.At(60, 5), kGradientItemBackground);
    EXPECT_EQ(canvas.At(28, 9), kGrayText);
  }
  {
    // Drawn selected again with the mouse where it was: the keyboard moved the selection here,
    // and the item shows it although it is not highlighted as selectable.
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, kItem, ODS_GRAYED | ODS_SELECTED);
    EXPECT_EQ(canvas.At(60, 5), kWarmSelection);
    EXPECT_EQ(canvas.At(0, 5), kHighlight);
    EXPECT_EQ(canvas.At(28, 9), kGrayText);
  }
  DestroyWindow(under);
}

TEST_F(DrawTest, ItemWithoutTextDrawsOnlyItsBackgroundAndSelection) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 300, "");
  for (int style = 0; style <= 9; ++style) {
    CStyledMenu::SetMenuDrawMode(style);
    Canvas canvas(130, 30);
    Draw(menu, 0, canvas, kItem, ODS_SELECTED);
    EXPECT_EQ(canvas.Count(kBlack, kItem), 0) << style;
    EXPECT_EQ(canvas.Count(RGB(255, 255, 255), RECT{30, 3, 110, 19}) + canvas.Count(kBlack, RECT{30, 3, 110, 19}), 0)
        << "no text ink in style " << style;
  }
}

TEST_F(DrawTest, FlatLookHasASolidColumnAndACoolSelection) {
  SkinLikeMenu m;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  Canvas canvas(130, 30);
  Draw(m.menu, 0, canvas, kItem);
  EXPECT_EQ(canvas.At(0, 5), kFlatIconColumn);
  EXPECT_EQ(canvas.At(23, 5), kFlatIconColumn);
  EXPECT_EQ(canvas.At(24, 5), kFlatItemBackground);
  EXPECT_EQ(canvas.At(28, 9), kBlack);
  Canvas selected(130, 30);
  Draw(m.menu, 0, selected, kItem, ODS_SELECTED);
  EXPECT_EQ(selected.At(100, 5), kFlatSelection);
  EXPECT_EQ(selected.At(5, 5), kFlatSelection);
  EXPECT_EQ(selected.At(0, 5), kHighlight);
}

TEST_F(DrawTest, ClassicLookHighlightsBesideTheCheckAndGraysDisabledText) {
  SkinLikeMenu m;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_CLASSIC);
  const RECT item{0, 0, 120, 19};
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, item);
    EXPECT_EQ(canvas.At(60, 1), kWhite);  // the system menu colour
    // Text 12 pixels after the icon width, one pixel higher than centred.
    EXPECT_EQ(canvas.At(28, 6), kBlack);
    EXPECT_EQ(canvas.At(27, 6), kWhite);
    EXPECT_EQ(canvas.Count(kBlack, RECT{28, 12, 60, 19}), 0);
  }
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, item, ODS_SELECTED);
    EXPECT_EQ(canvas.At(1, 1), kHighlight);  // no icon or check: the whole item
    EXPECT_EQ(canvas.At(28, 6), kWhite);     // highlight text
  }
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, item, ODS_SELECTED | ODS_CHECKED);
    EXPECT_EQ(canvas.At(16 + 6, 1), kHighlight);
    EXPECT_NE(canvas.At(16 + 5, 1), kHighlight);
    // The check box's sunken outer edge: button shadow on top and left.
    EXPECT_EQ(canvas.At(2, 5), kGrayText);
    EXPECT_GT(canvas.Count(kBlack, RECT{0, 0, 22, 19}), 20);
  }
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, item, ODS_GRAYED);
    EXPECT_EQ(canvas.At(28, 6), kGrayText);
  }
}

TEST_F(DrawTest, GradientLookShadesItemsAndSinksTheSelection) {
  SkinLikeMenu m;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_GRADIENT);
  const RECT item{0, 0, 120, 21};
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, item);
    EXPECT_NEAR(Red(canvas.At(60, 0)), 238, 2);  // lighten(30, menu colour)
    EXPECT_NEAR(Red(canvas.At(60, 20)), 208, 2);  // darken(30, menu colour)
    EXPECT_GT(Red(canvas.At(60, 5)), Red(canvas.At(60, 15)));
  }
  {
    Canvas canvas(130, 30);
    Draw(m.menu, 2, canvas, item, ODS_SELECTED);
    EXPECT_EQ(canvas.At(0, 10), RGB(180, 178, 165));    // darken(60, menu colour)
    EXPECT_EQ(canvas.At(119, 10), RGB(240, 238, 225));  // lighten(60, menu colour)
    EXPECT_EQ(canvas.At(28, 8), kWhite);
    EXPECT_EQ(GetBValue(canvas.At(60, 10)) > GetRValue(canvas.At(60, 10)), true);  // the highlight's blue
  }
}

TEST_F(DrawTest, SystemFrameStylesDrawAsTheirPartners) {
  SkinLikeMenu m;
  const UINT states[] = {0, ODS_SELECTED, ODS_CHECKED, ODS_GRAYED, ODS_CHECKED | ODS_SELECTED};
  for (int style = 0; style <= 8; style += 2) {
    for (int position = 0; position < 4; ++position) {
      for (UINT state : states) {
        const RECT item = position == 1 ? RECT{0, 0, 120, 3} : kItem;
        Canvas own(130, 30), system(130, 30);
        CStyledMenu::SetMenuDrawMode(style);
        Draw(m.menu, position, own, item, state);
        CStyledMenu::SetMenuDrawMode(style + 1);
        Draw(m.menu, position, system, item, state);
        int differing = 0;
        for (int y = 0; y < 30; ++y)
          for (int x = 0; x < 130; ++x) differing += own.At(x, y) != system.At(x, y);
        EXPECT_EQ(differing, 0) << "style " << style << " item " << position << " state " << state;
      }
    }
  }
}

TEST_F(DrawTest, FlatBarStylesDrawPopUpItemsClassically) {
  SkinLikeMenu m;
  for (UINT state : {0u, UINT(ODS_SELECTED), UINT(ODS_CHECKED)}) {
    Canvas classic(130, 30), flatBar(130, 30);
    CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_CLASSIC);
    Draw(m.menu, 2, classic, kItem, state);
    CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_FLATBAR);
    Draw(m.menu, 2, flatBar, kItem, state);
    for (int y = 0; y < 22; y += 3)
      for (int x = 0; x < 120; x += 3) ASSERT_EQ(classic.At(x, y), flatBar.At(x, y)) << x << "," << y;
  }
}

TEST_F(DrawTest, SystemCommandsDrawTheirMarlettGlyph) {
  SkinLikeMenu m;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  Canvas canvas(130, 30);
  Draw(m.menu, 3, canvas, kItem);
  // The close cross fills the middle of the icon box at (3, 3, 19, 18).
  EXPECT_EQ(canvas.At(11, 10), kBlack);
  EXPECT_GT(canvas.Count(kBlack, RECT{3, 3, 19, 18}), 20);
  Canvas selected(130, 30);
  Draw(m.menu, 3, selected, kItem, ODS_SELECTED);
  // The glyph's shadow one pixel down and right, the glyph one pixel up and left.
  EXPECT_GT(selected.Count(RGB(136, 148, 205), RECT{3, 3, 21, 20}), 10);  // ShadowTint of the selection
  EXPECT_GT(selected.Count(kBlack, RECT{1, 1, 19, 18}), 20);
}

TEST_F(DrawTest, IconsUseTheirVariantsOrAreTinted) {
  CImageList list;
  list.Create(16, 15, ILC_COLORDDB | ILC_MASK, 0, 1);
  CBitmap red;
  {
    HDC screen = GetDC(nullptr);
    red.Attach(CreateCompatibleBitmap(screen, 16, 15));
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, red);
    RECT all{0, 0, 16, 15};
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  list.Add(&red, static_cast<CBitmap*>(nullptr));
  CStyledMenu menu;
  menu.CreatePopupMenu();
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 400, "Red", &list, 0));
  ASSERT_NE(menu.Items().at(0)->icons, nullptr);
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  {
    Canvas canvas(130, 30);
    Draw(menu, 0, canvas, kItem);
    EXPECT_EQ(canvas.At(8, 8), RGB(205, 0, 0));  // the normal image: darken(50)
    EXPECT_EQ(canvas.At(3, 3), RGB(205, 0, 0));
    EXPECT_NE(canvas.At(2, 3), RGB(205, 0, 0));
  }
  {
    Canvas canvas(130, 30);
    Draw(menu, 0, canvas, kItem, ODS_SELECTED);
    EXPECT_EQ(canvas.At(8, 8), RGB(255, 0, 0));     // the hot image, one pixel up and left
    EXPECT_EQ(canvas.At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(19, 18), RGB(179, 167, 174));  // its shadow: ShadowTint of the selection
  }
  {
    Canvas canvas(130, 30);
    Draw(menu, 0, canvas, kItem, ODS_GRAYED);
    EXPECT_EQ(canvas.At(8, 8), RGB(164, 164, 161));  // the grey image
  }
  CStyledMenu::SetIconVariants(FALSE);
  {
    Canvas canvas(130, 30);
    Draw(menu, 0, canvas, kItem);
    EXPECT_EQ(canvas.At(8, 8), RGB(255, 0, 0));
    Canvas grayed(130, 30);
    Draw(menu, 0, grayed, kItem, ODS_GRAYED);
    EXPECT_EQ(grayed.At(8, 8), RGB(118, 141, 178));  // darken(70) of the warm column, in one colour
  }
}

TEST_F(DrawTest, TitlesFillTheirBarAndWriteInTheCaptionColours) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 100, "Item");
  ASSERT_TRUE(menu.SetTitle("Title"));
  const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
  {
    Canvas canvas(130, 30);
    Draw(menu, 0, canvas, RECT{0, 0, 120, 13});
    EXPECT_EQ(canvas.At(60, 12), caption);
    EXPECT_EQ(canvas.At(2, 5), kWhite);  // the caption text starts at (left + 2, top)
    EXPECT_EQ(canvas.At(1, 5), caption);
  }
  ASSERT_TRUE(menu.SetTitle("Title", CStyledMenu::TITLE_GRADIENT));
  {
    Canvas canvas(130, 30);
    Draw(menu, 0, canvas, RECT{0, 0, 120, 13});
    EXPECT_EQ(canvas.At(0, 12), caption);
    EXPECT_NEAR(Red(canvas.At(119, 12)), Red(kFlatItemBackground), 4);
  }
}

}  // namespace
}  // namespace menus_test
