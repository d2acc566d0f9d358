// CStyledMenu's core: construction, handing owner-draw requests to the current style, the
// look-ups of the menu that owns an item, and the menu-bar helpers.
#include "menus/styled_menu.h"

#include "frame_painter.h"
#include "icon_store_list.h"
#include "library.h"
#include "library_binder.h"
#include "menu_window.h"

using styled_menu::Lib;

IMPLEMENT_DYNAMIC(CStyledMenu, CMenu)

CStyledMenu::CStyledMenu(HMENU parentMenu) : parentMenu_(parentMenu) {
  Lib();  // the hook must be in place before any of its pop-ups opens
}

CStyledMenu::~CStyledMenu() { DestroyMenu(); }

CStyledMenu* CStyledMenu::FromMenuHandle(HMENU hMenu) {
  if (!hMenu) return nullptr;
  CMenu* menu = CMenu::FromHandlePermanent(hMenu);
  return menu && menu->IsKindOf(RUNTIME_CLASS(CStyledMenu)) ? static_cast<CStyledMenu*>(menu) : nullptr;
}

void CStyledMenu::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (!lpDrawItemStruct) return;
  const BOOL menuBar = !parentMenu_ && !popup_;
  if (menuBar && Lib().lastBarItemData == lpDrawItemStruct->itemData && !(lpDrawItemStruct->itemState & ODS_HOTLIGHT))
    Lib().lastBarItemData = 0;
  if (CStyledMenuFramePainter* style = Lib().currentStyle) style->Draw()(this, lpDrawItemStruct, menuBar);
}

void CStyledMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  CStyledMenuFramePainter* style = Lib().currentStyle;
  if (!lpMeasureItemStruct || !style) return;
  const bool opensMenu = IsMenu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(lpMeasureItemStruct->itemID)));
  CStyledMenu* parent = FromMenuHandle(parentMenu_);
  const BOOL menuBar = opensMenu && (parent ? !parent->popup_ : !popup_);
  // An item that opens this menu lives in the parent: the parent measures it.
  CStyledMenu* measurer = (!menuBar && parent && opensMenu) ? parent : this;
  style->Measure()(measurer, lpMeasureItemStruct, menuBar);
}

BOOL CStyledMenu::MeasureItemFromMessage(const MSG* message) {
  if (!message || message->message != WM_MEASUREITEM) return FALSE;
  auto* request = reinterpret_cast<LPMEASUREITEMSTRUCT>(message->lParam);
  if (!request || request->CtlType != ODT_MENU) return FALSE;
  const HMENU itemMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(request->itemID));
  if (IsMenu(itemMenu)) {
    CStyledMenu* menu = FromMenuHandle(itemMenu);
    if (!menu) return FALSE;
    menu->MeasureItem(request);
    return TRUE;
  }
  CMenu* found = nullptr;
  // The pop-ups this window has open, then its menu bar, then its system menu.
  for (HMENU open : styled_menu::OpenMenusOf(message->hwnd)) {
    if ((found = FindMenuOfItem(open, request->itemID, request->itemData))) break;
  }
  if (!found) found = FindMenuOfItem(GetMenu(message->hwnd), request->itemID, request->itemData);
  if (!found) found = FindMenuOfItem(GetSystemMenu(message->hwnd, FALSE), request->itemID, request->itemData);
  if (!found || !found->IsKindOf(RUNTIME_CLASS(CStyledMenu))) return FALSE;
  static_cast<CStyledMenu*>(found)->MeasureItem(request);
  return TRUE;
}

void CStyledMenu::ForwardFrameRequest(LPDRAWITEMSTRUCT lpDrawItemStruct, BOOL) {
  if (CStyledMenuFramePainter* style = Lib().currentStyle) style->Title()(this, lpDrawItemStruct);
}

BOOL CStyledMenu::EraseMenuBackground(HWND hWnd, HDC hDC) {
  RECT client{};
  GetClientRect(hWnd, &client);
  HBRUSH brush = CreateSolidBrush(GetMenuBackColor(m_hMenu));
  FillRect(hDC, &client, brush);
  DeleteObject(brush);
  return TRUE;
}

void CStyledMenu::RecordBarItemRect(HDC hDC, const RECT* rect) {
  if (popup_ || !rect) return;
  HWND window = WindowFromDC(hDC);
  RECT windowRect{};
  if (!window || !GetWindowRect(window, &windowRect)) return;
  barItemRect_ = *rect;
  barItemRect_.OffsetRect(windowRect.left, windowRect.top);
}

// ---- Look-ups ------------------------------------------------------------------------------------

namespace {

// Depth first over the positions: the menu with an item that matches.
template <class Match>
CMenu* FindMenu(HMENU hMenu, Match match, int depth = 0) {
  if (!IsMenu(hMenu) || depth > 64) return nullptr;
  const int count = GetMenuItemCount(hMenu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    if (!::GetMenuItemInfoA(hMenu, UINT(position), TRUE, &info)) continue;
    if (match(info)) {
      if (CMenu* menu = CMenu::FromHandlePermanent(hMenu)) return menu;
    }
    if (info.hSubMenu) {
      if (CMenu* menu = FindMenu(info.hSubMenu, match, depth + 1)) return menu;
    }
  }
  return nullptr;
}

}  // namespace

CMenu* FindMenuOfItem(HMENU hMenu, UINT nID, ULONG_PTR itemData) {
  return FindMenu(hMenu, [&](const MENUITEMINFOA& info) { return info.wID == nID && info.dwItemData == itemData; });
}

CMenu* FindMenuOfCommand(HMENU hMenu, UINT nID) {
  return FindMenu(hMenu, [&](const MENUITEMINFOA& info) { return info.wID == nID; });
}

// ---- Menu-bar helpers ------------------------------------------------------------------------------

BOOL DrawMenuBarItem(HWND hWnd, HMENU hMenu, int position, UINT state) {
  if (position == -1) return FALSE;
  RECT item{};
  if (!GetMenuItemRect(hWnd, hMenu, UINT(position), &item)) return FALSE;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
  if (!::GetMenuItemInfoA(hMenu, UINT(position), TRUE, &info) || !(info.fType & MFT_OWNERDRAW)) return FALSE;
  RECT window{};
  GetWindowRect(hWnd, &window);
  OffsetRect(&item, -window.left, -window.top);
  HDC hdc = GetWindowDC(hWnd);
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
  HGDIOBJ old = SelectObject(hdc, font);
  DRAWITEMSTRUCT request{ODT_MENU, 0, info.wID, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(hMenu), hdc, item,
                         info.dwItemData};
  SendMessageA(hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&request));
  SelectObject(hdc, old);
  DeleteObject(font);
  ReleaseDC(hWnd, hdc);
  Lib().lastBarItemData = info.dwItemData;
  return TRUE;
}

void RefreshMenuIcons() {
  DWORD& last = styled_menu::LastIconRefresh();
  const DWORD now = GetTickCount();
  if (now - last <= 2000) return;
  last = now;
  // A refresh may not add or remove stores, but take a copy all the same.
  const std::vector<CStyledMenuIcons*> stores = styled_menu::IconStores();
  for (CStyledMenuIcons* store : stores) store->OnSysColorChange();
}

void ApplyMenuBarBrush(CMenu* pMenu) {
  HBRUSH brush = GetMenuBarBrush();
  if (!brush || !pMenu || !pMenu->IsKindOf(RUNTIME_CLASS(CStyledMenu))) return;
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  info.hbrBack = brush;
  styled_menu::BoundSetMenuInfo(pMenu->m_hMenu, &info);
}
