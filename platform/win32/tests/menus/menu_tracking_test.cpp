// Tracked pop-up menus: the messages and their order, the geometry of owner-drawn items and the
// menu window, choosing by mouse and keyboard, sub-menus on the virtual clock, and how the loop
// ends.
#include <algorithm>

#include "menu_fixture.h"

namespace win32_test {
namespace {

using MenuTrackingTest = MenuTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Two owner-drawn items filled red and blue.
HMENU OwnerDrawnMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_OWNERDRAW, 1, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(kRed)));
  AppendMenuA(menu, MF_OWNERDRAW, 2, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(kBlue)));
  return menu;
}

// Open, a separator, Disabled (grayed), Sub (a pop-up with Inner 20 and Other 21), Close.
HMENU TextMenu(HMENU* subOut = nullptr) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, 20, "&Inner");
  AppendMenuA(sub, MF_STRING, 21, "Ot&her");
  AppendMenuA(menu, MF_STRING, 10, "&Open\tCtrl+O");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING | MF_GRAYED, 11, "&Disabled");
  AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Sub");
  AppendMenuA(menu, MF_STRING, 12, "&Close");
  if (subOut) *subOut = sub;
  return menu;
}

// The WM_COMMAND ids the owner's queue holds.
std::vector<UINT> PostedCommands(HWND owner) {
  std::vector<UINT> ids;
  MSG msg;
  while (PeekMessageA(&msg, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE)) ids.push_back(LOWORD(msg.wParam));
  return ids;
}

TEST_F(MenuTrackingTest, APopUpSendsItsMessagesInThePlatformsOrder) {
  HWND owner = MakeOwner();
  HMENU menu = OwnerDrawnMenu();
  HookRecorder hook;
  HWND shown = nullptr;
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    shown = ui.OpenMenuWindows().at(0);
    ui.Click(ui.MenuItemCenter(menu, 1));
  });
  ASSERT_TRUE(TrackPopupMenu(menu, TPM_LEFTALIGN, 200, 150, 0, owner, nullptr));
  ASSERT_TRUE(shown);

  // What the owner and the menu window were sent, as the hook saw it.
  const std::vector<UINT> kept = {WM_ENTERMENULOOP, WM_INITMENU,       WM_NCCREATE,  WM_CREATE,
                                  WM_INITMENUPOPUP, MN_GETHMENU,       WM_MEASUREITEM, WM_WINDOWPOSCHANGING,
                                  WM_NCPAINT,       WM_ERASEBKGND,     WM_PAINT,     WM_DRAWITEM,
                                  WM_ENTERIDLE,     WM_MENUSELECT,     WM_SHOWWINDOW, WM_UNINITMENUPOPUP,
                                  WM_DESTROY,       WM_EXITMENULOOP};
  std::vector<std::pair<char, UINT>> seen;  // 'o' owner, 'm' menu window
  for (const HookRecorder::Sent& s : hook.log) {
    if ((s.hwnd != owner && s.hwnd != shown) || std::find(kept.begin(), kept.end(), s.message) == kept.end()) continue;
    seen.push_back({s.hwnd == owner ? 'o' : 'm', s.message});
  }
  const std::vector<std::pair<char, UINT>> expected = {
      {'o', WM_ENTERMENULOOP}, {'o', WM_INITMENU},    {'m', WM_NCCREATE},      {'m', WM_CREATE},
      {'o', WM_INITMENUPOPUP}, {'m', MN_GETHMENU},    {'o', WM_MEASUREITEM},   {'o', WM_MEASUREITEM},
      {'m', WM_WINDOWPOSCHANGING},  // the one SetWindowPos that shows it
      {'m', WM_NCPAINT},       {'m', WM_ERASEBKGND},  {'m', WM_PAINT},         {'o', WM_DRAWITEM},
      {'o', WM_DRAWITEM},      {'o', WM_ENTERIDLE},   {'o', WM_DRAWITEM},      {'o', WM_MENUSELECT},  // the selection
      {'m', WM_SHOWWINDOW},    {'m', WM_WINDOWPOSCHANGING},  // hidden
      {'o', WM_UNINITMENUPOPUP}, {'m', WM_DESTROY},   {'o', WM_EXITMENULOOP}};
  EXPECT_EQ(seen, expected);
  // The hook saw the menu window's creation as a "#32768" window.
  EXPECT_TRUE(std::any_of(hook.log.begin(), hook.log.end(),
                          [&](const HookRecorder::Sent& s) { return s.hwnd == shown && s.message == WM_CREATE && s.menu; }));
  EXPECT_FALSE(IsWindow(shown));

  // The parameters: the pop-up's handle and index, owner-drawn requests, the selection.
  for (const Logged& l : owner_.log) {
    if (l.message == WM_INITMENUPOPUP) {
      EXPECT_EQ(reinterpret_cast<HMENU>(l.wParam), menu);
      EXPECT_EQ(l.lParam, MAKELPARAM(0, FALSE));
    }
    if (l.message == WM_ENTERMENULOOP || l.message == WM_EXITMENULOOP) {
      EXPECT_EQ(l.wParam, WPARAM(TRUE));
    }
    if (l.message == WM_ENTERIDLE) {
      EXPECT_EQ(l.wParam, WPARAM(MSGF_MENU));
      EXPECT_EQ(reinterpret_cast<HWND>(l.lParam), shown);
    }
    if (l.message == WM_MENUSELECT) {
      EXPECT_EQ(LOWORD(l.wParam), 2u);
      EXPECT_TRUE(HIWORD(l.wParam) & MF_HILITE);
      EXPECT_TRUE(HIWORD(l.wParam) & MF_MOUSESELECT);
      EXPECT_EQ(reinterpret_cast<HMENU>(l.lParam), menu);
    }
  }
  ASSERT_EQ(owner_.measured.size(), 2u);
  EXPECT_EQ(owner_.measured[0].CtlType, UINT(ODT_MENU));
  EXPECT_EQ(owner_.measured[1].itemID, 2u);
  EXPECT_EQ(owner_.measured[1].itemData, ULONG_PTR(kBlue));
  ASSERT_EQ(owner_.drawn.size(), 3u);
  EXPECT_EQ(owner_.drawn[0].itemAction, UINT(ODA_DRAWENTIRE));
  EXPECT_EQ(owner_.drawn[0].hwndItem, reinterpret_cast<HWND>(menu));
  EXPECT_EQ(owner_.drawn[2].itemAction, UINT(ODA_SELECT));
  EXPECT_EQ(owner_.drawn[2].itemState, UINT(ODS_SELECTED));
  EXPECT_EQ(owner_.drawn[2].itemID, 2u);

  // Without TPM_RETURNCMD the choice is posted, after the loop.
  EXPECT_EQ(PostedCommands(owner), std::vector<UINT>{2});
  DestroyMenu(menu);
}

TEST_F(MenuTrackingTest, OwnerDrawnItemsGetTheWidthExtraAndTheWindowThreePixelsASide) {
  HWND owner = MakeOwner();
  HMENU menu = OwnerDrawnMenu();
  RECT window{}, client{}, first{}, second{};
  POINT origin{0, 0};
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    HWND shown = ui.OpenMenuWindows().at(0);
    GetWindowRect(shown, &window);
    GetClientRect(shown, &client);
    ClientToScreen(shown, &origin);
    GetMenuItemRect(nullptr, menu, 0, &first);
    GetMenuItemRect(nullptr, menu, 1, &second);
    // What is on the screen: the owner's fill at the items, the frame beside them.
    EXPECT_EQ(ui.PixelAt({first.left + 1, first.top + 1}), kRed);
    EXPECT_EQ(ui.PixelAt({second.right - 1, second.bottom - 1}), kBlue);
    EXPECT_NE(ui.PixelAt({first.left - 1, first.top}), kRed);
    // The frame of flat menus: a shadow line, then the menu colour up to the items.
    EXPECT_EQ(ui.PixelAt({window.left, window.top + 10}), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(ui.PixelAt({window.left + 1, window.top + 10}), GetSysColor(COLOR_MENU));
    EXPECT_EQ(ui.PixelAt({window.right - 3, window.bottom - 3}), GetSysColor(COLOR_MENU));
    EndMenu();
  });
  TrackPopupMenu(menu, 0, 200, 150, 0, owner, nullptr);
  const int itemWidth = static_cast<int>(kOwnerDrawWidth) + MENU_OWNERDRAW_EXTRA;
  EXPECT_EQ(MENU_OWNERDRAW_EXTRA, GetSystemMetrics(SM_CXMENUCHECK) - 1);
  EXPECT_EQ(window.left, 200);
  EXPECT_EQ(window.top, 150);
  EXPECT_EQ(window.right - window.left, itemWidth + 2 * MENU_POPUP_FRAME);
  EXPECT_EQ(window.bottom - window.top, 2 * static_cast<int>(kOwnerDrawHeight) + 2 * MENU_POPUP_FRAME);
  // The default styles leave a 3-pixel frame: the client area is the items.
  EXPECT_EQ(client.right, itemWidth);
  EXPECT_EQ(client.bottom, 2 * static_cast<int>(kOwnerDrawHeight));
  EXPECT_EQ(origin.x, window.left + MENU_POPUP_FRAME);
  const RECT expectedFirst{origin.x, origin.y, origin.x + itemWidth, origin.y + static_cast<int>(kOwnerDrawHeight)};
  EXPECT_TRUE(EqualRect(&first, &expectedFirst));
  EXPECT_EQ(second.top, first.bottom);
  ASSERT_GE(owner_.drawn.size(), 2u);
  const RECT drawnFirst{0, 0, itemWidth, static_cast<int>(kOwnerDrawHeight)};
  EXPECT_TRUE(EqualRect(&owner_.drawn[0].rcItem, &drawnFirst));
  DestroyMenu(menu);
}

// A hook that strips the frame styles of menu windows when they are created, as a library that
// draws its own frames does.
LRESULT CALLBACK StripFrames(int code, WPARAM wParam, LPARAM lParam) {
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (cwp->message == WM_CREATE && IsMenuWindow(cwp->hwnd)) {
    SetWindowLongA(cwp->hwnd, GWL_STYLE, GetWindowLongA(cwp->hwnd, GWL_STYLE) & ~WS_BORDER);
    SetWindowLongA(cwp->hwnd, GWL_EXSTYLE,
                   GetWindowLongA(cwp->hwnd, GWL_EXSTYLE) & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(MenuTrackingTest, TheClientAreaFollowsTheCurrentStylesWhileTheWindowKeepsTheFrameRule) {
  HWND owner = MakeOwner();
  HMENU menu = OwnerDrawnMenu();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, StripFrames, nullptr, GetCurrentThreadId());
  RECT window{}, client{}, first{};
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    HWND shown = ui.OpenMenuWindows().at(0);
    GetWindowRect(shown, &window);
    GetClientRect(shown, &client);
    GetMenuItemRect(nullptr, menu, 0, &first);
    EndMenu();
  });
  TrackPopupMenu(menu, 0, 200, 150, 0, owner, nullptr);
  UnhookWindowsHookEx(hook);
  const int itemWidth = static_cast<int>(kOwnerDrawWidth) + MENU_OWNERDRAW_EXTRA;
  EXPECT_EQ(window.right - window.left, itemWidth + 2 * MENU_POPUP_FRAME);
  EXPECT_EQ(client.right, window.right - window.left);  // no inset left
  EXPECT_EQ(first.left, window.left);                   // items start at the client area's corner
  EXPECT_EQ(first.top, window.top);
  DestroyMenu(menu);
}

TEST_F(MenuTrackingTest, ReturnCommandReturnsWhatIsChosenAndPostsNothing) {
  HWND owner = MakeOwner();
  HMENU menu = TextMenu();
  ui().PickMenuItem(12);
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 12);
  ui().DismissMenu();
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 0);
  // Without TPM_RETURNCMD a dismissed menu still succeeds; no notification means nothing posted.
  ui().DismissMenu();
  EXPECT_EQ(TrackPopupMenu(menu, 0, 50, 50, 0, owner, nullptr), TRUE);
  ui().PickMenuItem(10);
  EXPECT_EQ(TrackPopupMenu(menu, TPM_NONOTIFY, 50, 50, 0, owner, nullptr), TRUE);
  EXPECT_TRUE(PostedCommands(owner).empty());
  // A disabled item is no choice: the menu stays until dismissed.
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) { ui.Click(ui.MenuItemCenter(menu, 2)); });
  ui().DismissMenu();
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 0);
  DestroyMenu(menu);
}

TEST_F(MenuTrackingTest, TheKeyboardSkipsSeparatorsGoesRoundAndUsesMnemonics) {
  HWND owner = MakeOwner();
  HMENU menu = TextMenu();
  std::vector<UINT> selected;
  owner_.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT*) {
    if (msg == WM_MENUSELECT) selected.push_back(LOWORD(wParam));
    return false;
  };
  // Down: Open; Down: Disabled (the separator is skipped); Up: Open; Up: Close (round).
  ui().PressInMenu({VK_DOWN, VK_DOWN, VK_UP, VK_UP, VK_RETURN});
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 12);
  // WM_MENUSELECT names a command by id and a pop-up by position.
  EXPECT_EQ(selected, (std::vector<UINT>{10, 11, 10, 12}));

  // Enter on a disabled item chooses nothing; a mnemonic chooses at once.
  ui().PressInMenu({VK_DOWN, VK_DOWN, VK_RETURN, 'C'});
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 12);

  // A letter no item has goes to the owner as WM_MENUCHAR, whose answer can choose an item.
  std::vector<WPARAM> asked;
  owner_.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg != WM_MENUCHAR) return false;
    asked.push_back(wParam);
    EXPECT_EQ(reinterpret_cast<HMENU>(lParam), menu);
    *result = MAKELRESULT(0, MNC_EXECUTE);
    return true;
  };
  ui().PressInMenu({'Q'});
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 10);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(LOWORD(asked[0]), UINT('q'));
  EXPECT_TRUE(HIWORD(asked[0]) & MF_POPUP);
  DestroyMenu(menu);
}

// Records the keys a menu window's procedure receives, then passes them on.
WNDPROC g_menuProc = nullptr;
std::vector<WPARAM> g_menuKeys;
LRESULT CALLBACK KeySpy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) g_menuKeys.push_back(wParam);
  return CallWindowProcA(g_menuProc, hwnd, msg, wParam, lParam);
}

TEST_F(MenuTrackingTest, SubMenusOpenWithRightAndCloseWithLeftOrEscapeSeenByTheWindowProcedure) {
  HWND owner = MakeOwner();
  HMENU sub = nullptr;
  HMENU menu = TextMenu(&sub);
  g_menuKeys.clear();
  size_t openAfterRight = 0, openAfterLeft = 0, openAfterEscape = 0;
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    HWND shown = ui.OpenMenuWindows().at(0);
    g_menuProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(shown, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeySpy)));
    ui.Press(VK_UP);
    ui.Press(VK_UP);  // Sub
    ui.Press(VK_RIGHT);
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    openAfterRight = ui.OpenMenuWindows().size();
    ui.Press(VK_LEFT);
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    openAfterLeft = ui.OpenMenuWindows().size();
    ui.Press(VK_RETURN);  // Sub again, its first item selected
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) { ui.Press(VK_ESCAPE); });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    openAfterEscape = ui.OpenMenuWindows().size();
    ui.Press(VK_ESCAPE);
  });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 0);
  EXPECT_EQ(openAfterRight, 2u);
  EXPECT_EQ(openAfterLeft, 1u);
  EXPECT_EQ(openAfterEscape, 1u);
  // Keys go to the innermost menu window's procedure: the first window (subclassed) saw all but
  // the Left and the Escape meant for the sub-menu, its own Escape included.
  EXPECT_EQ(g_menuKeys, (std::vector<WPARAM>{VK_UP, VK_UP, VK_RIGHT, VK_RETURN, VK_ESCAPE}));

  // Right opens the sub-menu with its first item selected: Enter chooses it.
  ui().PressInMenu({VK_UP, VK_UP, VK_RIGHT, VK_RETURN});
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 20);
  // The sub-menu's mnemonics work once it is open.
  ui().PressInMenu({'S', 'H'});
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 21);
  std::vector<LPARAM> opened;
  for (const Logged& l : owner_.log) {
    if (l.message == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(l.wParam) == sub) opened.push_back(l.lParam);
  }
  ASSERT_FALSE(opened.empty());
  EXPECT_EQ(opened.back(), MAKELPARAM(3, FALSE));  // the item's position in its menu
  DestroyMenu(menu);
}

TEST_F(MenuTrackingTest, ASubMenuOpensWhenTheMouseRestsForTheMenuDelay) {
  HWND owner = MakeOwner();
  HMENU menu = TextMenu();
  UINT delay = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETMENUSHOWDELAY, 0, &delay, 0));
  ASSERT_GT(delay, 1u);
  std::vector<size_t> open;
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) { ui.MoveMouse(ui.MenuItemCenter(menu, 3)); });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    open.push_back(ui.OpenMenuWindows().size());
    ui.AdvanceClock(delay - 1);
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    open.push_back(ui.OpenMenuWindows().size());
    ui.AdvanceClock(1);
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    open.push_back(ui.OpenMenuWindows().size());
    // Hovering another item closes the sub-menu at once.
    ui.MoveMouse(ui.MenuItemCenter(menu, 0));
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    open.push_back(ui.OpenMenuWindows().size());
    ui.MoveMouse(ui.MenuItemCenter(menu, 3));
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) { ui.AdvanceClock(delay); });
  ui().PickMenuItem(21);
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 21);
  EXPECT_EQ(open, (std::vector<size_t>{1, 1, 2, 1}));
  DestroyMenu(menu);
}

TEST_F(MenuTrackingTest, AClickOutsideDismissesAndTheRightButtonChoosesOnlyWhenAllowed) {
  HWND owner = MakeOwner();
  HMENU menu = TextMenu();
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) { ui.Click({5, 5}); });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 0);
  EXPECT_TRUE(testing_ui::UiDriver::OpenMenuWindows().empty());
  // The click was the menu's: the window under it saw nothing of it.
  EXPECT_EQ(owner_.Count(WM_LBUTTONDOWN), 0);

  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) { ui.Click(ui.MenuItemCenter(menu, 0), VK_RBUTTON); });
  ui().DismissMenu();
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 0);
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) { ui.Click(ui.MenuItemCenter(menu, 0), VK_RBUTTON); });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, 50, 50, 0, owner, nullptr), 10);
  DestroyMenu(menu);
}

TEST_F(MenuTrackingTest, PlacementFollowsTheAlignmentAndStaysOnTheScreen) {
  HWND owner = MakeOwner();
  HMENU menu = OwnerDrawnMenu();
  const int width = static_cast<int>(kOwnerDrawWidth) + MENU_OWNERDRAW_EXTRA + 2 * MENU_POPUP_FRAME;
  const int height = 2 * static_cast<int>(kOwnerDrawHeight) + 2 * MENU_POPUP_FRAME;
  auto placed = [&](UINT flags, int x, int y, LPTPMPARAMS params = nullptr) {
    RECT r{};
    ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
      GetWindowRect(ui.OpenMenuWindows().at(0), &r);
      EndMenu();
    });
    TrackPopupMenuEx(menu, flags, x, y, owner, params);
    return r;
  };
  RECT r = placed(TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 300, 300);
  EXPECT_EQ(r.right, 300);
  EXPECT_EQ(r.bottom, 300);
  r = placed(TPM_CENTERALIGN | TPM_VCENTERALIGN, 300, 300);
  EXPECT_EQ(r.left, 300 - width / 2);
  EXPECT_EQ(r.top, 300 - height / 2);
  // Past the screen's right and bottom edges it opens the other way.
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  r = placed(0, screenWidth - 10, screenHeight - 10);
  EXPECT_EQ(r.right, screenWidth - 10);
  EXPECT_EQ(r.bottom, screenHeight - 10);
  // An excluded rectangle is kept clear: below it with TPM_VERTICAL.
  TPMPARAMS params{sizeof params, {280, 290, 400, 320}};
  r = placed(TPM_VERTICAL, 300, 300, &params);
  EXPECT_EQ(r.top, 320);
  params.cbSize = 4;
  EXPECT_FALSE(TrackPopupMenuEx(menu, 0, 300, 300, owner, &params));
  DestroyMenu(menu);
}

TEST_F(MenuTrackingTest, TrackingRefusesStaleMenusAndOwnersAndASecondLoop) {
  HWND owner = MakeOwner();
  HMENU menu = TextMenu();
  HMENU gone = CreatePopupMenu();
  DestroyMenu(gone);
  SetLastError(0);
  EXPECT_FALSE(TrackPopupMenu(gone, 0, 10, 10, 0, owner, nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
  EXPECT_FALSE(TrackPopupMenu(menu, 0, 10, 10, 0, reinterpret_cast<HWND>(0x12345), nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));

  DWORD nestedError = 0;
  BOOL nested = TRUE;
  ui().AnswerMenu([&](testing_ui::UiDriver&, HWND) {
    nested = TrackPopupMenu(menu, 0, 10, 10, 0, owner, nullptr);
    nestedError = GetLastError();
    // A menu destroyed while it shows ends the loop.
    DestroyMenu(menu);
  });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr), 0);
  EXPECT_FALSE(nested);
  EXPECT_EQ(nestedError, DWORD(ERROR_POPUP_ALREADY_ACTIVE));
  EXPECT_TRUE(testing_ui::UiDriver::OpenMenuWindows().empty());
}

TEST_F(MenuTrackingTest, StringItemsShowTheSelectionInTheMenuHighlight) {
  HWND owner = MakeOwner();
  HMENU menu = TextMenu();
  COLORREF before = 0, during = 0;
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    RECT r{};
    GetMenuItemRect(nullptr, menu, 0, &r);
    before = ui.PixelAt({r.left + 2, r.top + 2});
    ui.Press(VK_DOWN);
  });
  ui().AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    RECT r{};
    GetMenuItemRect(nullptr, menu, 0, &r);
    during = ui.PixelAt({r.left + 2, r.top + 2});
    EndMenu();
  });
  TrackPopupMenu(menu, 0, 50, 50, 0, owner, nullptr);
  EXPECT_EQ(before, GetSysColor(COLOR_MENU));
  EXPECT_EQ(during, GetSysColor(COLOR_MENUHILIGHT));  // flat menus, the default
  DestroyMenu(menu);
}

}  // namespace
}  // namespace win32_test
