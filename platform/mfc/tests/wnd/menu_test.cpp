// CMenu: its permanent and temporary handle map, owning and letting go of menus, owner-drawn
// items handed to the menu objects by the owner window's default handlers, pop-up notifications
// in message maps, and command-state updates of menu items.
#include <vector>

#include "testing/ui_driver.h"
#include "wnd_fixture.h"

namespace mfc_test {
namespace {

using MenuTest = WndTest;

// A menu object that records the owner-drawn items it is asked to measure and draw.
class CRecordingMenu : public CMenu {
 public:
  std::vector<UINT> measured;
  std::vector<UINT> drawn;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    measured.push_back(mis->itemID);
    mis->itemWidth = 30;
    mis->itemHeight = 18;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override { drawn.push_back(dis->itemID); }
};

class COwner : public CWnd {
 public:
  std::vector<UINT> popups;  // index | system flag << 16 of each WM_INITMENUPOPUP
  HMENU popupMenu = nullptr;
  std::vector<UINT> selected;

 protected:
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
    popupMenu = pPopupMenu->GetSafeHmenu();
    popups.push_back(nIndex | (bSysMenu ? 0x10000u : 0u));
    CWnd::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
  }
  afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu) {
    selected.push_back(nItemID);
    CWnd::OnMenuSelect(nItemID, nFlags, hSysMenu);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwner, CWnd)
  ON_WM_INITMENUPOPUP()
  ON_WM_MENUSELECT()
END_MESSAGE_MAP()

TEST_F(MenuTest, AttachedObjectsArePermanentOthersGetTemporaryWrappers) {
  {
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_EQ(CMenu::FromHandlePermanent(menu), &menu);
    EXPECT_EQ(CMenu::FromHandle(menu), &menu);
    HMENU spare = ::CreateMenu();
    EXPECT_FALSE(menu.Attach(spare));  // it holds one already
    ::DestroyMenu(spare);
  }
  HMENU raw = ::CreatePopupMenu();
  HMENU sub = ::CreatePopupMenu();
  ::AppendMenuA(raw, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Sub");
  CMenu* temp = CMenu::FromHandle(raw);
  ASSERT_TRUE(temp);
  EXPECT_EQ(CMenu::FromHandle(raw), temp);
  EXPECT_EQ(CMenu::FromHandlePermanent(raw), nullptr);
  EXPECT_EQ(temp->GetSubMenu(0)->GetSafeHmenu(), sub);
  CString text;
  EXPECT_EQ(temp->GetMenuString(0, text, MF_BYPOSITION), 4);
  EXPECT_EQ(text, "&Sub");
  // Temporary wrappers let go of their menus: the menus live on.
  CMenu::DeleteTempMap();
  EXPECT_TRUE(::IsMenu(raw));
  EXPECT_TRUE(::IsMenu(sub));

  // An attached object destroys its menu with itself, unless it let go first.
  HMENU kept = nullptr;
  {
    CMenu owner;
    ASSERT_TRUE(owner.Attach(raw));
    EXPECT_EQ(CMenu::FromHandlePermanent(raw), &owner);
    kept = owner.Detach();
    EXPECT_EQ(CMenu::FromHandlePermanent(raw), nullptr);
  }
  EXPECT_EQ(kept, raw);
  EXPECT_TRUE(::IsMenu(raw));
  {
    CMenu owner;
    owner.Attach(raw);
  }
  EXPECT_FALSE(::IsMenu(raw));
  EXPECT_FALSE(::IsMenu(sub));
  CMenu empty;
  EXPECT_FALSE(empty.DestroyMenu());
}

TEST_F(MenuTest, OwnerDrawnItemsAreMeasuredByTheTrackedMenuAndDrawnByTheirOwnObjects) {
  testing_ui::UiDriver ui;
  COwner wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, nullptr, nullptr));
  CRecordingMenu menu, subMenu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(subMenu.CreatePopupMenu());
  menu.AppendMenu(MF_OWNERDRAW, 1, reinterpret_cast<LPCTSTR>(11));
  menu.AppendMenu(MF_POPUP | MF_OWNERDRAW, reinterpret_cast<UINT_PTR>(subMenu.m_hMenu), reinterpret_cast<LPCTSTR>(12));
  subMenu.AppendMenu(MF_OWNERDRAW, 5, reinterpret_cast<LPCTSTR>(15));
  // A sub-menu without an object of its own: its items reach a temporary wrapper, which does
  // nothing with them.
  HMENU bare = ::CreatePopupMenu();
  ::AppendMenuA(bare, MF_OWNERDRAW, 7, reinterpret_cast<LPCSTR>(17));
  subMenu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(bare), "Bare");

  ui.PressInMenu({VK_DOWN, VK_DOWN, VK_RIGHT});  // the sub-menu, its first item selected
  ui.PressInMenu({VK_DOWN, VK_RIGHT});           // the bare menu
  ui.DismissMenu();
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 40, 40, &wnd), 0);

  // Measuring: the tracked object for its own items (the pop-up item by its sub-menu's handle),
  // the sub-menu's object for the sub-menu's items.
  const UINT subId = static_cast<UINT>(reinterpret_cast<uintptr_t>(subMenu.m_hMenu));
  EXPECT_EQ(menu.measured, (std::vector<UINT>{1, subId}));
  EXPECT_EQ(subMenu.measured, std::vector<UINT>{5});
  // Drawing: each menu's attached object.
  EXPECT_FALSE(menu.drawn.empty());
  for (UINT id : menu.drawn) EXPECT_TRUE(id == 1 || id == subId);
  EXPECT_FALSE(subMenu.drawn.empty());
  for (UINT id : subMenu.drawn) EXPECT_EQ(id, 5u);
  // The pop-up notifications reached the map's handlers with the menus and positions.
  EXPECT_EQ(wnd.popups, (std::vector<UINT>{0, 1, 1}));
  EXPECT_EQ(wnd.popupMenu, bare);
  EXPECT_FALSE(wnd.selected.empty());

  // Outside tracking the window's menu bar is searched.
  CRecordingMenu bar;
  ASSERT_TRUE(bar.CreateMenu());
  bar.AppendMenu(MF_OWNERDRAW, 9, reinterpret_cast<LPCTSTR>(19));
  wnd.ModifyStyle(0, WS_CAPTION, SWP_FRAMECHANGED);
  ASSERT_TRUE(wnd.SetMenu(&bar));
  Pump();  // the frame is painted with the bar
  EXPECT_EQ(bar.measured, std::vector<UINT>{9});
  EXPECT_EQ(bar.drawn, std::vector<UINT>{9});
  EXPECT_EQ(wnd.GetMenu(), &bar);
  wnd.SetMenu(nullptr);
  wnd.DestroyWindow();
}

TEST_F(MenuTest, CommandUpdatesChangeMenuItemsByPosition) {
  CMenu menu, sub;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(sub.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 10, "Ten");
  menu.AppendMenu(MF_OWNERDRAW, 11, reinterpret_cast<LPCTSTR>(99));
  menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.m_hMenu), "Sub");

  CCmdUI ui;
  ui.m_pMenu = &menu;
  ui.m_nIndexMax = 3;
  ui.m_nIndex = 0;
  ui.m_nID = 10;
  ui.Enable(FALSE);
  EXPECT_TRUE(ui.m_bEnableChanged);
  EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED), UINT(MF_GRAYED | MF_DISABLED));
  ui.SetCheck(1);
  EXPECT_TRUE(menu.GetMenuState(0, MF_BYPOSITION) & MF_CHECKED);
  ui.SetText("Renamed");
  CString text;
  menu.GetMenuString(0, text, MF_BYPOSITION);
  EXPECT_EQ(text, "Renamed");

  // An owner-drawn item keeps its drawing when its text changes; a radio check is a bullet.
  ui.m_nIndex = 1;
  ui.m_nID = 11;
  ui.SetText("Drawn");
  ui.SetRadio(TRUE);
  MENUITEMINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA;
  menu.GetMenuItemInfo(1, &info, TRUE);
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
  EXPECT_TRUE(info.fState & MFS_CHECKED);
  EXPECT_EQ(info.dwItemData, 99u);
  menu.GetMenuString(1, text, MF_BYPOSITION);
  EXPECT_EQ(text, "Drawn");

  // The item that opens a pop-up is left alone.
  ui.m_nIndex = 2;
  ui.m_pSubMenu = &sub;
  ui.Enable(FALSE);
  EXPECT_EQ(menu.GetMenuState(2, MF_BYPOSITION) & MF_GRAYED, 0u);
}

}  // namespace
}  // namespace mfc_test
