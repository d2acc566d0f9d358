// Menu bars in the non-client area (room, painting, hit testing, hot tracking, click to open,
// moving between bar items) and the per-window system menu.
#include "menu_fixture.h"

namespace win32_test {
namespace {

using MenuBarTest = MenuTest;

constexpr DWORD kFramed = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;

// "File" (a pop-up with Open 100 and Quit 101), an owner-drawn bar item 300 in green, "Edit"
// (a pop-up with Undo 200).
HMENU BarMenu() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU edit = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, 100, "&Open");
  AppendMenuA(file, MF_STRING, 101, "&Quit");
  AppendMenuA(edit, MF_STRING, 200, "&Undo");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenuA(bar, MF_OWNERDRAW, 300, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(RGB(0, 255, 0))));
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
  return bar;
}

RECT BarItemRect(HWND window, int position) {
  RECT r{};
  GetMenuItemRect(window, GetMenu(window), static_cast<UINT>(position), &r);
  return r;
}

TEST_F(MenuBarTest, ABarTakesItsRowBetweenCaptionAndClientArea) {
  HWND plain = MakeOwner(kFramed);
  HWND withBar = MakeOwner(kFramed, BarMenu());
  RECT a, b;
  GetClientRect(plain, &a);
  GetClientRect(withBar, &b);
  EXPECT_EQ(a.bottom - b.bottom, GetSystemMetrics(SM_CYMENU));
  POINT origin{0, 0};
  ClientToScreen(withBar, &origin);
  RECT window;
  GetWindowRect(withBar, &window);
  // The same room AdjustWindowRect gives for a window with a menu.
  RECT adjusted = b;
  AdjustWindowRect(&adjusted, kFramed, TRUE);
  EXPECT_EQ(-adjusted.top, origin.y - window.top);

  // The bar's items lie in that row, one after the other; the owner-drawn one is as wide as it
  // measured plus the extra.
  const RECT file = BarItemRect(withBar, 0), drawn = BarItemRect(withBar, 1), edit = BarItemRect(withBar, 2);
  EXPECT_EQ(file.bottom, origin.y);
  EXPECT_EQ(file.bottom - file.top, GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(drawn.left, file.right);
  EXPECT_EQ(drawn.right - drawn.left, static_cast<int>(kOwnerDrawWidth) + MENU_OWNERDRAW_EXTRA);
  EXPECT_EQ(edit.left, drawn.right);
  const POINT inFile{(file.left + file.right) / 2, (file.top + file.bottom) / 2};
  EXPECT_EQ(SendMessageA(withBar, WM_NCHITTEST, 0, MAKELPARAM(inFile.x, inFile.y)), HTMENU);
  EXPECT_EQ(MenuItemFromPoint(withBar, GetMenu(withBar), inFile), 0);
  EXPECT_EQ(MenuItemFromPoint(withBar, GetMenu(withBar), {edit.right + 5, inFile.y}), -1);

  // Painted: the owner draws its item into the window DC at the item's window coordinates.
  EXPECT_EQ(testing_ui::UiDriver::PixelAt({drawn.left + 2, drawn.top + 2}), RGB(0, 255, 0));
  bool sawBarItem = false;
  for (const DRAWITEMSTRUCT& d : owner_.drawn) {
    if (d.itemID != 300) continue;
    sawBarItem = true;
    EXPECT_EQ(d.rcItem.left, drawn.left - window.left);
    EXPECT_EQ(d.rcItem.top, drawn.top - window.top);
    EXPECT_EQ(WindowFromDC(d.hDC), nullptr);  // released since
  }
  EXPECT_TRUE(sawBarItem);

  // SetMenu(NULL) gives the row back; the old menu is not destroyed.
  HMENU old = GetMenu(withBar);
  EXPECT_TRUE(SetMenu(withBar, nullptr));
  GetClientRect(withBar, &b);
  EXPECT_EQ(a.bottom, b.bottom);
  EXPECT_TRUE(IsMenu(old));
  EXPECT_FALSE(SetMenu(withBar, reinterpret_cast<HMENU>(0x55)));
  EXPECT_TRUE(SetMenu(withBar, old));
  // The window destroys its menu with itself.
  DestroyWindow(withBar);
  EXPECT_FALSE(IsMenu(old));
}

TEST_F(MenuBarTest, TheItemUnderTheMouseIsDrawnHotUntilTheMouseLeaves) {
  HWND window = MakeOwner(kFramed, BarMenu());
  const RECT drawn = BarItemRect(window, 1), file = BarItemRect(window, 0);
  auto lastState = [&]() -> UINT {
    for (auto it = owner_.drawn.rbegin(); it != owner_.drawn.rend(); ++it) {
      if (it->itemID == 300) return it->itemState;
    }
    return 0xFFFF;
  };
  owner_.drawn.clear();
  ui().MoveMouse({drawn.left + 3, drawn.top + 3});
  EXPECT_EQ(lastState(), UINT(ODS_HOTLIGHT));
  // Onto another bar item: this one is drawn plain again, the other in the menu highlight.
  const POINT inFile{file.left + 3, file.top + 3};
  EXPECT_EQ(testing_ui::UiDriver::PixelAt(inFile), GetSysColor(COLOR_MENUBAR));
  ui().MoveMouse(inFile);
  EXPECT_EQ(lastState(), 0u);
  EXPECT_EQ(testing_ui::UiDriver::PixelAt(inFile), GetSysColor(COLOR_MENUHILIGHT));
  ui().MoveMouse({drawn.left + 3, drawn.top + 3});
  EXPECT_EQ(lastState(), UINT(ODS_HOTLIGHT));
  // Into the client area: the mouse left the non-client area.
  POINT inside{20, 20};
  ClientToScreen(window, &inside);
  ui().MoveMouse(inside);
  EXPECT_EQ(lastState(), 0u);
  EXPECT_EQ(testing_ui::UiDriver::PixelAt(inFile), GetSysColor(COLOR_MENUBAR));

  // HiliteMenuItem draws a bar item selected until it is cleared.
  EXPECT_TRUE(HiliteMenuItem(window, GetMenu(window), 1, MF_BYPOSITION | MF_HILITE));
  EXPECT_EQ(lastState(), UINT(ODS_SELECTED));
  EXPECT_TRUE(HiliteMenuItem(window, GetMenu(window), 300, MF_BYCOMMAND | MF_UNHILITE));
  EXPECT_EQ(lastState(), 0u);
  // An inactive window draws its bar inactive.
  HWND other = MakeOwner(WS_POPUP | WS_VISIBLE, nullptr, {600, 500, 700, 600});
  ASSERT_EQ(GetActiveWindow(), other);
  EXPECT_TRUE(DrawMenuBar(window));
  EXPECT_EQ(lastState(), UINT(ODS_INACTIVE));
}

// Runs in processes that report Windows 98 or a remote session: there an owner-drawn bar item is
// left to its owner, which tracks it itself; plain items are still tracked.
TEST_F(MenuBarTest, OlderSystemsLeaveOwnerDrawnBarItemsToTheirOwner) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionEx(&version));
  if (version.dwMajorVersion >= 5 && !GetSystemMetrics(SM_REMOTESESSION)) GTEST_SKIP() << "the system tracks them";
  HWND window = MakeOwner(kFramed, BarMenu());
  const RECT drawn = BarItemRect(window, 1), file = BarItemRect(window, 0);
  owner_.drawn.clear();
  ui().MoveMouse({drawn.left + 3, drawn.top + 3});
  EXPECT_TRUE(owner_.drawn.empty());
  const POINT inFile{file.left + 3, file.top + 3};
  ui().MoveMouse(inFile);
  EXPECT_EQ(testing_ui::UiDriver::PixelAt(inFile), GetSysColor(COLOR_MENUHILIGHT));
  EXPECT_TRUE(owner_.drawn.empty());
}

TEST_F(MenuBarTest, AClickOpensTheItemsPopUpBelowItAndTheChoiceIsPosted) {
  HWND window = MakeOwner(kFramed, BarMenu());
  HMENU bar = GetMenu(window);
  const RECT file = BarItemRect(window, 0);
  RECT popup{};
  std::vector<size_t> open;
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    std::vector<HWND> shown = ui.OpenMenuWindows();
    open.push_back(shown.size());
    GetWindowRect(shown.at(0), &popup);
    // Right moves to the next bar item: the owner-drawn one, which opens nothing.
    ui.Press(VK_RIGHT);
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    open.push_back(ui.OpenMenuWindows().size());
    ui.Press(VK_RIGHT);
  });
  ui().PickMenuItem(200);
  ui().Click(testing_ui::UiDriver::MenuBarItemCenter(window, 0));
  EXPECT_EQ(popup.left, file.left);
  EXPECT_EQ(popup.top, file.bottom);
  EXPECT_EQ(open, (std::vector<size_t>{1, 0}));
  EXPECT_EQ(owner_.Messages({WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_UNINITMENUPOPUP, WM_EXITMENULOOP}),
            (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_UNINITMENUPOPUP,
                               WM_INITMENUPOPUP, WM_UNINITMENUPOPUP, WM_EXITMENULOOP}));
  for (const Logged& l : owner_.log) {
    if (l.message == WM_ENTERMENULOOP) {
      EXPECT_EQ(l.wParam, WPARAM(FALSE));  // not TrackPopupMenu
    }
    if (l.message == WM_INITMENU) {
      EXPECT_EQ(reinterpret_cast<HMENU>(l.wParam), bar);
    }
  }
  std::vector<UINT> commands;
  for (const Logged& l : owner_.log) {
    if (l.message == WM_COMMAND) commands.push_back(LOWORD(l.wParam));
  }
  EXPECT_EQ(commands, std::vector<UINT>{200});

  // A second click on the open item closes it without a command.
  owner_.log.clear();
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) { ui.Click(ui.MenuBarItemCenter(window, 0)); });
  ui().Click(testing_ui::UiDriver::MenuBarItemCenter(window, 0));
  EXPECT_EQ(owner_.Count(WM_EXITMENULOOP), 1);
  EXPECT_EQ(owner_.Count(WM_COMMAND), 0);
  // A bar item without a pop-up is chosen where the button comes up.
  ui().Click(testing_ui::UiDriver::MenuBarItemCenter(window, 1));
  EXPECT_EQ(owner_.Count(WM_COMMAND), 1);
}

TEST_F(MenuBarTest, EachWindowHasItsOwnSystemMenuForItsStyles) {
  HWND framed = MakeOwner(kFramed | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  HWND fixed = MakeOwner(kFramed);
  HWND bare = MakeOwner(WS_POPUP | WS_VISIBLE);
  HMENU big = GetSystemMenu(framed, FALSE);
  HMENU small = GetSystemMenu(fixed, FALSE);
  ASSERT_TRUE(big && small);
  EXPECT_NE(big, small);
  EXPECT_EQ(GetSystemMenu(framed, FALSE), big);  // the same copy until reverted
  EXPECT_EQ(GetSystemMenu(bare, FALSE), nullptr);
  EXPECT_EQ(GetMenuItemCount(big), 7);  // Restore, Move, Size, Minimize, Maximize, separator, Close
  EXPECT_EQ(GetMenuItemCount(small), 3);  // Move, separator, Close
  EXPECT_EQ(GetMenuItemID(small, 2), UINT(SC_CLOSE));
  EXPECT_EQ(GetMenuDefaultItem(small, FALSE, 0), UINT(SC_CLOSE));
  // Changes stay with the window's copy; reverting drops the copy.
  AppendMenuA(small, MF_STRING, 0x1230, "About");
  EXPECT_EQ(GetMenuItemCount(GetSystemMenu(fixed, FALSE)), 4);
  EXPECT_EQ(GetSystemMenu(fixed, TRUE), nullptr);
  EXPECT_FALSE(IsMenu(small));
  EXPECT_EQ(GetMenuItemCount(GetSystemMenu(fixed, FALSE)), 3);
  // The window takes its system menu with it.
  DestroyWindow(framed);
  EXPECT_FALSE(IsMenu(big));
}

TEST_F(MenuBarTest, ARightClickOnTheCaptionOpensTheSystemMenuAndPostsTheSystemCommand) {
  HWND window = MakeOwner(kFramed | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  RECT r;
  GetWindowRect(window, &r);
  const POINT caption{r.left + 30, r.top + 10};
  ASSERT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
  UINT restoreState = 0;
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    // Opened at the click; Restore is grayed for a window that is neither minimised nor maximised.
    restoreState = GetMenuState(GetSystemMenu(window, FALSE), SC_RESTORE, MF_BYCOMMAND);
    ui.Click(ui.MenuItemCenter(GetSystemMenu(window, FALSE), 2));  // Restore, Move, Minimize
  });
  ui().Click(caption, VK_RBUTTON);
  EXPECT_EQ(restoreState & MF_GRAYED, UINT(MF_GRAYED));
  bool systemFlag = false;
  UINT command = 0;
  for (const Logged& l : owner_.log) {
    if (l.message == WM_INITMENUPOPUP) systemFlag = HIWORD(l.lParam);
    if (l.message == WM_SYSCOMMAND) command = static_cast<UINT>(l.wParam & 0xFFF0);
  }
  EXPECT_TRUE(systemFlag);
  EXPECT_EQ(command, UINT(SC_MINIMIZE));
  EXPECT_TRUE(IsIconic(window));
}

}  // namespace
}  // namespace win32_test
