// Styled menus tracked by the menu manager on the headless screen: what the pop-up shows, the
// library's frame and shadow, the hook and subclass life cycle, and which command comes back.
#include <algorithm>
#include <vector>

#include "menu_test_support.h"
#include "menu_window.h"
#include "testing/ui_driver.h"

namespace menus_test {
namespace {

using testing_ui::Image;
using testing_ui::UiDriver;

// A framework window that records the commands it receives; with forwarding on it hands pop-up
// initialisation to the library, as the library's own dialog class does.
class Owner : public CWnd {
 public:
  explicit Owner(bool forward) : forward_(forward) {
    CreateEx(0, nullptr, "Owner", WS_POPUP | WS_VISIBLE, 20, 20, 500, 400, nullptr, nullptr);
  }
  ~Owner() override { DestroyWindow(); }
  std::vector<UINT> commands;
  std::vector<UINT> messages;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    messages.push_back(message);
    if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
    LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    if (message == WM_INITMENUPOPUP && forward_)
      CStyledMenu::InitMenuPopup(m_hWnd, reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
    return result;
  }

 private:
  bool forward_;
};

class TrackingTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  }

  // The skinned dialog's right-click menu: "Options", a separator, one item per skin, the item at
  // the selected skin's position checked.
  static void BuildSkinMenu(CStyledMenu& menu, const std::vector<const char*>& skins, int selectedPosition) {
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, 32769, "Options"));
    ASSERT_TRUE(menu.AppendMenu(MF_SEPARATOR, 32770));
    for (size_t i = 0; i < skins.size(); ++i) ASSERT_TRUE(menu.AppendMenu(MF_STRING, 32771 + i, skins[i]));
    menu.CheckMenuItem(UINT(selectedPosition), MF_BYPOSITION | MF_CHECKED);
  }

  static POINT ClientOrigin(HWND window) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin;
  }

  UiDriver ui;
};

TEST_F(TrackingTest, SkinMenuShowsStyleEightAndPostsTheSkinChosenWithTheRightButton) {
  Owner dialog(false);
  CStyledMenu menu;
  BuildSkinMenu(menu, {"Blue", "Green", "Steel"}, 3);
  RECT window{}, client{};
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    const std::vector<HWND> open = UiDriver::OpenMenuWindows();
    ASSERT_EQ(open.size(), 1u);
    GetWindowRect(open[0], &window);
    GetClientRect(open[0], &client);
    const POINT origin = ClientOrigin(open[0]);
    const Image shot = UiDriver::CaptureScreen();
    UiDriver::Dump(UiDriver::CaptureWindow(open[0]), "skin-menu");
    auto at = [&](int x, int y) { return shot.At(origin.x + x, origin.y + y); };
    // Items: Options 0-22, the separator 22-25, the skins 25-47, 47-69, 69-91.
    EXPECT_EQ(at(28, 9), kBlack);             // "Options"
    EXPECT_EQ(at(27, 9), RGB(244, 244, 241));  // the item background
    EXPECT_EQ(at(40, 23), kGrayText);          // the separator line
    EXPECT_EQ(at(28, 25 + 22 + 9), kBlack);    // "Green"
    // Only the selected skin's item has the warm check box.
    EXPECT_EQ(at(3, 47 + 3), RGB(255, 192, 111));
    EXPECT_NE(at(3, 25 + 3), RGB(255, 192, 111));
    EXPECT_NE(at(3, 69 + 3), RGB(255, 192, 111));
    driver.Click(UiDriver::MenuItemCenter(menu.m_hMenu, 4), VK_RBUTTON);
  });
  EXPECT_TRUE(menu.TrackPopupMenu(TPM_RIGHTBUTTON, 100, 40, &dialog));
  ui.Pump();
  EXPECT_EQ(dialog.commands, std::vector<UINT>{32773});
  // The owner does not hand the pop-up to the library: the manager's own 3-pixel frame.
  EXPECT_EQ(client.right, 73 + MENU_OWNERDRAW_EXTRA);
  EXPECT_EQ(client.bottom, 4 * 22 + 3);
  EXPECT_EQ(window.right - window.left, client.right + 2 * MENU_POPUP_FRAME);
  EXPECT_EQ(window.left, 100);
  EXPECT_EQ(window.top, 40);
}

TEST_F(TrackingTest, ForwardingOwnerGivesThePopUpTheLibrarysFlatFrame) {
  Owner owner(true);
  CStyledMenu menu;
  BuildSkinMenu(menu, {"Blue"}, 2);
  RECT window{}, client{};
  POINT origin{};
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    const std::vector<HWND> open = UiDriver::OpenMenuWindows();
    ASSERT_EQ(open.size(), 1u);
    GetWindowRect(open[0], &window);
    GetClientRect(open[0], &client);
    origin = ClientOrigin(open[0]);
    const Image shot = UiDriver::CaptureWindow(open[0]);
    UiDriver::Dump(shot, "flat-frame");
    const int width = shot.width, height = shot.height;
    const COLORREF border = RGB(118, 116, 108);  // darken(128, menu bar colour)
    for (POINT p : {POINT{0, 0}, POINT{width - 1, 0}, POINT{0, height - 1}, POINT{width - 1, height - 1},
                    POINT{width / 2, 0}, POINT{0, height / 2}})
      EXPECT_EQ(shot.At(p.x, p.y), border) << p.x << "," << p.y;
    EXPECT_EQ(shot.At(width / 2, 1), RGB(252, 252, 249));           // the inner ring in the item background
    EXPECT_EQ(shot.At(width - 2, height / 2), RGB(252, 252, 249));
    EXPECT_EQ(shot.At(1, 2), RGB(239, 236, 222));                   // the icon column going on
    EXPECT_EQ(shot.At(1, height - 3), RGB(239, 236, 222));
    EXPECT_EQ(shot.At(1, 1), RGB(252, 252, 249));
    EXPECT_EQ(shot.At(2 + 28, 2 + 9), kBlack);                      // "Options" in the client area
    driver.DismissMenu();
  });
  EXPECT_FALSE(menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 100, 40, &owner));
  // Items + 3 a side, less 2 for the flat frame; one pixel higher; the border is 2 pixels a side.
  EXPECT_EQ(client.right, 73 + MENU_OWNERDRAW_EXTRA);
  EXPECT_EQ(window.right - window.left, client.right + 4);
  EXPECT_EQ(window.bottom - window.top, client.bottom + 4);
  EXPECT_EQ(window.top, 39);
  EXPECT_EQ(origin.x - window.left, 2);
  EXPECT_EQ(origin.y - window.top, 2);
}

TEST_F(TrackingTest, MenuWindowIsSubclassedWhileItShowsAndLetGoAfter) {
  Owner owner(true);
  CStyledMenu menu;
  BuildSkinMenu(menu, {"Blue"}, 2);
  HWND shown = nullptr;
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    ASSERT_EQ(UiDriver::OpenMenuWindows().size(), 1u);
    shown = UiDriver::OpenMenuWindows()[0];
    EXPECT_NE(GetPropA(shown, "OldMenuProc"), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(shown, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(styled_menu::MenuWindowProcedure));
    EXPECT_NE(GlobalFindAtomA("OldMenuProc"), 0);
    const styled_menu::MenuWindowRecord* record = styled_menu::FindMenuWindow(shown);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->menu, menu.m_hMenu);
    EXPECT_TRUE(record->handled);
    EXPECT_FALSE(GetWindowLongA(shown, GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(GetWindowLongA(shown, GWL_EXSTYLE) & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
    EXPECT_TRUE(record->savedStyle & WS_BORDER);
    EXPECT_TRUE(menu.IsPopup());
    EXPECT_EQ(menu.Owner(), owner.m_hWnd);
    driver.DismissMenu();
  });
  menu.TrackPopupMenu(TPM_RIGHTBUTTON, 100, 40, &owner);
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_EQ(styled_menu::FindMenuWindow(shown), nullptr);
  EXPECT_EQ(GlobalFindAtomA("OldMenuProc"), 0);
}

TEST_F(TrackingTest, OtherMenusKeepTheSystemFrameUnlessEveryMenuIsDrawn) {
  Owner owner(true);
  for (BOOL drawAll : {FALSE, TRUE}) {
    CStyledMenu::SetDrawAllMenus(drawAll);
    CMenu plain;
    plain.CreatePopupMenu();
    plain.AppendMenu(MF_STRING, 1, "Plain");
    bool bordered = false, handled = false;
    ui.AnswerMenu([&](UiDriver& driver, HWND) {
      HWND shown = UiDriver::OpenMenuWindows().at(0);
      bordered = GetWindowLongA(shown, GWL_STYLE) & WS_BORDER;
      const styled_menu::MenuWindowRecord* record = styled_menu::FindMenuWindow(shown);
      handled = record && record->handled;
      driver.DismissMenu();
    });
    plain.TrackPopupMenu(0, 100, 40, &owner);
    EXPECT_EQ(bordered, !drawAll) << drawAll;
    EXPECT_EQ(handled, bool(drawAll)) << drawAll;
  }
  CStyledMenu::SetDrawAllMenus(FALSE);
}

TEST_F(TrackingTest, KeysMoveTheWarmSelectionPastTheSeparatorAndEscapeIsRecorded) {
  Owner owner(true);
  CStyledMenu menu;
  BuildSkinMenu(menu, {"Blue", "Green"}, 3);
  ui.PressInMenu({VK_DOWN, VK_DOWN});
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    const POINT origin = ClientOrigin(shown);
    const Image shot = UiDriver::CaptureScreen();
    // Down twice: "Options", then over the separator to "Blue".
    EXPECT_EQ(shot.At(origin.x + 60, origin.y + 25 + 5), RGB(255, 238, 194));
    EXPECT_EQ(shot.At(origin.x + 80, origin.y + 5), RGB(244, 244, 241));
    driver.Press(VK_RETURN);
  });
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner), 32771);

  bool escapeRecorded = false;
  ui.AnswerMenu([&](UiDriver&, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    SendMessageA(shown, WM_KEYDOWN, VK_ESCAPE, 0);
    const styled_menu::MenuWindowRecord* record = styled_menu::FindMenuWindow(shown);
    escapeRecorded = record && (record->state & styled_menu::kEscapePressed);
  });
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner), 0);
  EXPECT_TRUE(escapeRecorded);
}

TEST_F(TrackingTest, MouseOverAnItemSelectsItAndAClickChoosesIt) {
  Owner owner(true);
  CStyledMenu menu;
  BuildSkinMenu(menu, {"Blue", "Green"}, 2);
  ui.AnswerMenu([&](UiDriver& driver, HWND) { driver.MoveMouse(UiDriver::MenuItemCenter(menu.m_hMenu, 3)); });
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    const POINT origin = ClientOrigin(shown);
    const Image shot = UiDriver::CaptureScreen();
    EXPECT_EQ(shot.At(origin.x + 60, origin.y + 47 + 5), RGB(255, 238, 194));
    EXPECT_EQ(shot.At(origin.x, origin.y + 47 + 5), kHighlight);
    // The checked item keeps its box, unselected.
    EXPECT_EQ(shot.At(origin.x + 3, origin.y + 25 + 3), RGB(255, 192, 111));
    driver.Click(UiDriver::MenuItemCenter(menu.m_hMenu, 3));
  });
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner), 32772);
}

TEST_F(TrackingTest, SubMenuOpensInItsOwnFrameAndIsCountedByItsParent) {
  Owner owner(true);
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 1, "First");
  CStyledMenu* more = menu.AppendSubMenu("More");
  more->AppendMenu(MF_STRING, 2, "Second");
  more->AppendMenu(MF_STRING, 3, "Third");
  ui.PressInMenu({VK_DOWN, VK_DOWN, VK_RIGHT});
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    const std::vector<HWND> open = UiDriver::OpenMenuWindows();
    ASSERT_EQ(open.size(), 2u);
    for (HWND shown : open) {
      EXPECT_FALSE(GetWindowLongA(shown, GWL_STYLE) & WS_BORDER);
      EXPECT_EQ(UiDriver::CaptureWindow(shown).At(0, 0), RGB(118, 116, 108));
    }
    EXPECT_EQ(menu.OpenPopups(), 1);
    EXPECT_EQ(more->ParentMenu(), menu.m_hMenu);
    driver.Press(VK_LEFT);
  });
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    EXPECT_EQ(UiDriver::OpenMenuWindows().size(), 1u);
    EXPECT_EQ(menu.OpenPopups(), 0);
    for (UINT key : {VK_RIGHT, VK_DOWN, VK_RETURN}) driver.Press(key);
  });
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner), 3);
}

TEST_F(TrackingTest, PrintingTheMenuWindowGivesTheFrameAndTheItems) {
  Owner owner(true);
  CStyledMenu menu;
  BuildSkinMenu(menu, {"Blue"}, 2);
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    RECT window{};
    GetWindowRect(shown, &window);
    Canvas canvas(window.right - window.left, window.bottom - window.top);
    SendMessageA(shown, WM_PRINT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    const Image shot = UiDriver::CaptureWindow(shown);
    EXPECT_EQ(canvas.At(0, 0), RGB(118, 116, 108));
    EXPECT_EQ(canvas.At(1, 2), RGB(239, 236, 222));
    EXPECT_EQ(canvas.At(2 + 28, 2 + 9), kBlack);
    EXPECT_EQ(canvas.At(2 + 40, 2 + 23), kGrayText);
    for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{5, 5}, POINT{30, 11}, POINT{60, 27}})
      EXPECT_EQ(canvas.At(p.x, p.y), shot.At(p.x, p.y)) << p.x << "," << p.y;
    driver.DismissMenu();
  });
  menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner);
}

TEST_F(TrackingTest, TitleHeadsTheTrackedMenu) {
  Owner owner(true);
  CStyledMenu menu;
  BuildSkinMenu(menu, {"Blue"}, 2);
  ASSERT_TRUE(menu.SetTitle("Skins", CStyledMenu::TITLE_GRADIENT));
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    const POINT origin = ClientOrigin(shown);
    const Image shot = UiDriver::CaptureScreen();
    UiDriver::Dump(UiDriver::CaptureWindow(shown), "title");
    EXPECT_EQ(shot.At(origin.x, origin.y + 12), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(shot.At(origin.x + 2, origin.y + 5), kWhite);  // "Skins"
    EXPECT_EQ(shot.At(origin.x + 28, origin.y + kFontHeight + 9), kBlack);  // "Options" below it
    driver.DismissMenu();
  });
  menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner);
}

}  // namespace
}  // namespace menus_test
