// The menu host's pieces that are the same for every base: menu-bar hot-tracking and the system
// menu member.
#include "menus/menu_host_frame.h"

#include "library.h"

using styled_menu::Lib;

namespace {

// The period of the timer that notices the cursor leaving the menu bar.
constexpr UINT kHotTrackingPeriod = 100;

}  // namespace

void CMenuBarHotTracking::DrawNormal(HWND hWnd, HMENU hMenu, UINT state) {
  if (hotPosition_ != -1) DrawMenuBarItem(hWnd, hMenu, hotPosition_, state);
  hotPosition_ = -1;
}

LRESULT CMenuBarHotTracking::OnNcHitTest(HWND hWnd, LRESULT baseResult, POINT screenPoint) {
  // Windows 2000 and later track owner-drawn menu-bar items themselves, except on a remote desktop.
  if (GetStyledMenuWinVersion() >= 6 && !Lib().remoteDesktop) return baseResult;

  UINT normal = 0, hot = ODS_HOTLIGHT;
  if (!IsChild(hWnd, GetFocus())) {
    const int version = GetStyledMenuWinVersion();
    hot = 0;
    if (version != 2 && version != 5) {
      normal = ODS_INACTIVE;
      hot = ODS_HOTLIGHT | ODS_INACTIVE;
    }
  }
  HMENU bar = GetMenu(hWnd);
  if (CStyledMenu::FromMenuHandle(bar) && !inMenuLoop_ && baseResult == HTMENU) {
    const int position = MenuItemFromPoint(hWnd, bar, screenPoint);
    if (position != -1) {
      if (position != hotPosition_) {
        DrawMenuBarItem(hWnd, bar, hotPosition_, normal);
        if (!DrawMenuBarItem(hWnd, bar, position, hot)) {
          hotPosition_ = -1;
          return baseResult;
        }
      } else if (!Lib().lastBarItemData && !DrawMenuBarItem(hWnd, bar, position, hot)) {
        return baseResult;
      }
      if (!timer_) timer_ = SetFreeTimer(hWnd, kHotTrackingPeriod);
      hotPosition_ = position;
      return baseResult;
    }
  }
  DrawNormal(hWnd, bar, normal);
  StopTimer(hWnd);
  return baseResult;
}

void CMenuBarHotTracking::OnEnterMenuLoop(HWND hWnd) {
  inMenuLoop_ = 1;
  StopTimer(hWnd);
  DrawNormal(hWnd, GetMenu(hWnd), 0);
}

void CMenuBarHotTracking::OnTimer(HWND hWnd, UINT_PTR nIDEvent) {
  if (!timer_ || nIDEvent != timer_) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
}

void CMenuBarHotTracking::StopTimer(HWND hWnd) {
  if (timer_) KillFreeTimer(hWnd, timer_);
  timer_ = 0;
}

void AttachStyledSystemMenu(CStyledMenu& member, HWND hWnd) {
  // The member may still hold the system menu of a window this object had before.
  if (member.m_hMenu) member.DetachMenu();
  // Windows without WS_SYSMENU have none.
  if (HMENU system = GetSystemMenu(hWnd, FALSE)) member.Attach(system);
}
