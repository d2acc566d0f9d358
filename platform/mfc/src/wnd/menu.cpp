// CMenu: the menu wrapper with its handle map and tracking; the owner window's default handling
// of owner-drawn menu items; command-state updates of menu items.
#include "handle_maps.h"
#include "wnd/wnd_state.h"

using namespace mfc::wnd;

namespace {

mfc::HandleMap<CMenu, HMENU>& MenuMap() { return mfc::ThreadHandleMap<CMenu, HMENU>(); }

// The menu of the tree under root that holds an item with that id (a pop-up item's id is its
// sub-menu's handle), preferring the item that also carries the data; null when none does.
HMENU MenuHoldingItem(HMENU root, UINT id, ULONG_PTR data, int depth = 0) {
  const int count = ::GetMenuItemCount(root);
  if (count < 0 || depth > 64) return nullptr;
  HMENU byIdOnly = nullptr;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    if (!::GetMenuItemInfoA(root, UINT(i), TRUE, &info)) continue;
    if (info.wID == id) {
      if (info.dwItemData == data) return root;
      if (!byIdOnly) byIdOnly = root;
    }
    if (info.hSubMenu) {
      if (HMENU inner = MenuHoldingItem(info.hSubMenu, id, data, depth + 1)) return inner;
    }
  }
  return byIdOnly;
}

// The object that measures an owner-drawn item for hWnd: the tracked pop-up's tree first (its own
// object for its own items), else the window's menu bar.
CMenu* MeasuringMenu(HWND hWnd, const MEASUREITEMSTRUCT& request) {
  const ThreadState& st = State();
  if (st.trackingWindow == hWnd && st.trackingMenu) {
    HMENU holder = MenuHoldingItem(st.trackingMenu->m_hMenu, request.itemID, request.itemData);
    if (holder == st.trackingMenu->m_hMenu) return st.trackingMenu;
    if (holder) return CMenu::FromHandle(holder);
  }
  if (HMENU bar = ::GetMenu(hWnd)) {
    if (HMENU holder = MenuHoldingItem(bar, request.itemID, request.itemData)) return CMenu::FromHandle(holder);
  }
  return nullptr;
}

// Keeps the menu CMenu::TrackPopupMenu tracks for the owner's measuring, for the loop's duration.
class TrackingScope {
 public:
  TrackingScope(HWND hWnd, CMenu* pMenu) : saved_window_(State().trackingWindow), saved_menu_(State().trackingMenu) {
    State().trackingWindow = hWnd;
    State().trackingMenu = pMenu;
  }
  ~TrackingScope() {
    State().trackingWindow = saved_window_;
    State().trackingMenu = saved_menu_;
  }
  TrackingScope(const TrackingScope&) = delete;
  TrackingScope& operator=(const TrackingScope&) = delete;

 private:
  HWND saved_window_;
  CMenu* saved_menu_;
};

}  // namespace

// ---- CMenu --------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU hMenu) {
  return MenuMap().FromHandle(hMenu, [](HMENU handle) {
    auto* menu = new CMenu;
    menu->m_hMenu = handle;
    return menu;
  });
}

CMenu* CMenu::FromHandlePermanent(HMENU hMenu) {
  if (!hMenu) return nullptr;
  return MenuMap().Permanent(hMenu);
}

void CMenu::DeleteTempMap() {
  MenuMap().DeleteTemp([](CMenu& menu) { menu.m_hMenu = nullptr; });
}

BOOL CMenu::Attach(HMENU hNewMenu) {
  if (!hNewMenu || m_hMenu) return FALSE;
  m_hMenu = hNewMenu;
  MenuMap().SetPermanent(hNewMenu, this);
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU handle = m_hMenu;
  if (handle) MenuMap().RemoveHandle(handle);
  m_hMenu = nullptr;
  return handle;
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) { return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName)); }

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  const int length = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
  LPTSTR buffer = rString.GetBufferSetLength(length);
  const int copied = length > 0 ? ::GetMenuStringA(m_hMenu, nIDItem, buffer, length + 1, nFlags) : 0;
  rString.ReleaseBuffer(copied);
  return copied;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  TrackingScope scope(AfxHwnd(pWnd), this);
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, AfxHwnd(pWnd), lpRect);
}

BOOL CMenu::TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm) {
  TrackingScope scope(AfxHwnd(pWnd), this);
  return ::TrackPopupMenuEx(m_hMenu, fuFlags, x, y, AfxHwnd(pWnd), lptpm);
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

// ---- The owner window's handling of owner-drawn menu items ----------------------------------------

bool mfc::wnd::DrawMenuItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  CMenu* pMenu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem));
  if (!pMenu) return false;
  pMenu->DrawItem(lpDrawItemStruct);
  return true;
}

bool mfc::wnd::MeasureMenuItem(HWND hWnd, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  CMenu* pMenu = MeasuringMenu(hWnd, *lpMeasureItemStruct);
  if (!pMenu) return false;
  pMenu->MeasureItem(lpMeasureItemStruct);
  return true;
}

void CWnd::OnInitMenu(CMenu*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnUnInitMenuPopup(CMenu*, UINT) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }

// ---- Command-state updates of menu items --------------------------------------------------------

bool mfc::wnd::EnableMenuItemOf(CCmdUI& ui, BOOL bOn) {
  if (!ui.m_pMenu) return false;
  // The item that opens a pop-up stays as it is.
  if (!ui.m_pSubMenu) ui.m_pMenu->EnableMenuItem(ui.m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
  return true;
}

bool mfc::wnd::CheckMenuItemOf(CCmdUI& ui, int nCheck, bool radio) {
  if (!ui.m_pMenu) return false;
  if (ui.m_pSubMenu) return true;
  if (radio && nCheck) {
    ui.m_pMenu->CheckMenuRadioItem(ui.m_nIndex, ui.m_nIndex, ui.m_nIndex, MF_BYPOSITION);
  } else {
    ui.m_pMenu->CheckMenuItem(ui.m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
  }
  return true;
}

bool mfc::wnd::SetMenuItemTextOf(CCmdUI& ui, LPCTSTR lpszText) {
  if (!ui.m_pMenu) return false;
  if (ui.m_pSubMenu) return true;
  // Only the text changes: the item keeps its type, state and data.
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<LPSTR>(lpszText);
  ui.m_pMenu->SetMenuItemInfo(ui.m_nIndex, &info, TRUE);
  return true;
}
