// Loading, converting and destroying styled menus, and their pop-ups opening and closing.
#include <cctype>

#include "library.h"
#include "menus/styled_menu.h"

using styled_menu::Lib;

namespace {

// Windows XP draws the close, restore and minimise commands of a system menu itself: while the
// pop-up is open they carry the next id, so the menu stays owner-drawn.
constexpr UINT kSystemCommands[] = {SC_RESTORE, SC_CLOSE, SC_MINIMIZE};

BOOL OwnerDraw(HMENU menu, int position, UINT type, CStyledMenuItemData* data) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  info.fType = (type & ~MFT_BITMAP) | MFT_OWNERDRAW;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(data);
  return ::SetMenuItemInfoA(menu, UINT(position), TRUE, &info);
}

void RedrawBarItem(HWND owner, const CRect& barItem) {
  if (!owner || barItem.IsRectEmpty()) return;
  RECT r = barItem;
  r.right += 10;
  r.bottom += 10;
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  ScreenToClient(owner, &corners[0]);
  ScreenToClient(owner, &corners[1]);
  const RECT client{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  RedrawWindow(owner, &client, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

}  // namespace

// ---- Loading and converting -----------------------------------------------------------------------

BOOL CStyledMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }

BOOL CStyledMenu::LoadMenu(LPCTSTR lpszResourceName) {
  HMENU loaded = ::LoadMenuA(AfxGetResourceHandle(), lpszResourceName);
  if (!loaded) return FALSE;
  if (!LoadMenu(loaded)) {
    ::DestroyMenu(loaded);
    return FALSE;
  }
  return TRUE;
}

BOOL CStyledMenu::LoadMenu(HMENU hMenu) {
  if (!IsMenu(hMenu) || !Attach(hMenu)) return FALSE;
  popup_ = FALSE;
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    HMENU sub = ::GetSubMenu(m_hMenu, p);
    if (!sub || CMenu::FromHandlePermanent(sub)) continue;
    auto* styled = new CStyledMenu(m_hMenu);
    subMenus_.push_back(styled);
    styled->LoadMenu(sub);
    styled->popup_ = TRUE;
  }
  ConvertItems();
  return TRUE;
}

void CStyledMenu::ConvertItems() {
  if (!m_hMenu) return;
  for (CStyledMenuItemData* data : items_) data->claimed = FALSE;
  auto claim = [this](auto matches) -> CStyledMenuItemData* {
    for (CStyledMenuItemData* data : items_)
      if (!data->claimed && matches(*data)) return data;
    return nullptr;
  };
  std::vector<CStyledMenuItemData*> converted;
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
    if (!::GetMenuItemInfoA(m_hMenu, UINT(p), TRUE, &info)) continue;
    CString text;
    GetMenuString(UINT(p), text, MF_BYPOSITION);
    CStyledMenuItemData* data = nullptr;
    bool fresh = false;
    if (info.fType & MFT_BITMAP) {
      data = claim([&](const CStyledMenuItemData& d) { return d.commandOrMenu == info.wID; });
      if (!data) {
        data = new CStyledMenuItemData;
        data->menuFlags = MF_BITMAP;
        data->commandOrMenu = info.wID;
      }
    } else if (info.hSubMenu) {
      const UINT_PTR sub = reinterpret_cast<UINT_PTR>(info.hSubMenu);
      data = claim([&](const CStyledMenuItemData& d) { return d.commandOrMenu == sub; });
      if (!data) {
        data = new CStyledMenuItemData;
        data->menuFlags = MF_POPUP | MF_OWNERDRAW | MF_BYPOSITION;
        data->commandOrMenu = sub;
        fresh = true;
      }
      if (!text.IsEmpty()) data->text = text;
      if (CStyledMenu* styled = FromMenuHandle(info.hSubMenu)) styled->parentMenu_ = m_hMenu;
    } else if (info.fType & MFT_SEPARATOR) {
      data = claim([](const CStyledMenuItemData& d) { return d.IsSeparator(); });
      if (!data) {
        data = new CStyledMenuItemData;
        data->menuFlags = MF_SEPARATOR | MF_OWNERDRAW;
        fresh = true;
      }
    } else {
      data = claim([&](const CStyledMenuItemData& d) { return !d.IsSeparator() && d.commandOrMenu == info.wID; });
      if (!data) {
        data = new CStyledMenuItemData;
        data->menuFlags = MF_OWNERDRAW;
        data->commandOrMenu = info.wID;
        fresh = true;
      }
      if (!text.IsEmpty()) data->text = text;
    }
    data->claimed = TRUE;
    converted.push_back(data);
    if (!(info.fType & MFT_BITMAP) && !OwnerDraw(m_hMenu, p, info.fType, data) && fresh) ShowLastError();
  }
  for (CStyledMenuItemData* data : items_)
    if (!data->claimed) delete data;
  items_ = std::move(converted);
}

BOOL CStyledMenu::DestroyMenu() {
  // The sub-menu objects let go of their handles first: the tree is destroyed once, below.
  for (CStyledMenu* sub : subMenus_) {
    sub->Detach();
    delete sub;
  }
  subMenus_.clear();
  FreeItemsAndCheckImages();
  return m_hMenu ? CMenu::DestroyMenu() : FALSE;
}

void CStyledMenu::FreeItemsAndCheckImages() {
  for (CStyledMenuItemData* data : items_) delete data;
  items_.clear();
  if (!checkImagesShared_) delete checkImages_;
  checkImages_ = nullptr;
  checkImagesShared_ = FALSE;
}

HMENU CStyledMenu::DetachMenu() {
  for (CStyledMenu* sub : subMenus_) {
    sub->DetachMenu();
    delete sub;
  }
  subMenus_.clear();
  // Items that stay in a living menu must not point at data freed below.
  for (int p = 0, count = ::IsMenu(m_hMenu) ? GetMenuItemCount() : 0; p < count; ++p) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!::GetMenuItemInfoA(m_hMenu, UINT(p), TRUE, &info) || !(info.fType & MFT_OWNERDRAW)) continue;
    info.fType &= ~MFT_OWNERDRAW;
    info.dwItemData = 0;
    ::SetMenuItemInfoA(m_hMenu, UINT(p), TRUE, &info);
  }
  FreeItemsAndCheckImages();
  return Detach();
}

// ---- Pop-up life cycle ------------------------------------------------------------------------------

BOOL CStyledMenu::SetSystemCommandIds(int delta) {
  BOOL closeChanged = FALSE;
  for (UINT command : kSystemCommands) {
    const UINT from = delta > 0 ? command : command + 1;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    info.wID = from + UINT(delta);
    int position = -1;
    CStyledMenu* holder = FindCommand(from, &position);
    if (!holder || !::SetMenuItemInfoA(holder->m_hMenu, UINT(position), TRUE, &info)) continue;
    if (CStyledMenuItemData* data = holder->DataAt(position)) data->commandOrMenu = info.wID;
    if (command == SC_CLOSE) closeChanged = TRUE;
  }
  return closeChanged;
}

void CStyledMenu::OnPopupOpen() {
  popup_ = TRUE;
  ConvertItems();
  if (GetStyledMenuWinVersion() == 7) SetSystemCommandIds(+1);
}

void CStyledMenu::OnPopupClose() {
  if (GetStyledMenuWinVersion() == 7 && SetSystemCommandIds(-1) && owner_)
    SetWindowPos(owner_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  CStyledMenu* parent = FromMenuHandle(parentMenu_);
  if (!parent) return;
  if (parent->openPopups_ > 0) --parent->openPopups_;
  if (!parent->popup_) {
    parent->openPopups_ = 0;
    RedrawBarItem(owner_, parent->barItemRect_);
  }
}

void CStyledMenu::InitMenuPopup(HWND hOwner, HMENU hMenu, UINT, BOOL) {
  Lib().pendingMenu = hMenu;
  CStyledMenu* menu = FromMenuHandle(hMenu);
  if (!menu) return;
  menu->owner_ = hOwner;
  menu->OnPopupOpen();
  CStyledMenu* parent = FromMenuHandle(menu->parentMenu_);
  if (!parent) return;
  if (++parent->openPopups_ == 1 && !parent->popup_) RedrawBarItem(hOwner, parent->barItemRect_);
}

LRESULT CStyledMenu::OnMenuChar(UINT nChar, UINT, CMenu* pMenu) {
  if (!pMenu || !pMenu->IsKindOf(RUNTIME_CLASS(CStyledMenu))) return 0;
  auto* menu = static_cast<CStyledMenu*>(pMenu);
  if (size_t(menu->GetMenuItemCount()) != menu->items_.size()) menu->ConvertItems();
  const int key = std::toupper(static_cast<unsigned char>(nChar));
  for (size_t p = 0; p < menu->items_.size(); ++p) {
    const CString& text = menu->items_[p]->text;
    for (int i = 0; i + 1 < text.GetLength(); ++i) {
      if (text[i] != '&') continue;
      if (text[i + 1] == '&') {  // "&&" shows an ampersand: no mnemonic
        ++i;
        continue;
      }
      if (std::toupper(static_cast<unsigned char>(text[i + 1])) == key) return MAKELRESULT(WORD(p), MNC_EXECUTE);
      break;
    }
  }
  return 0;
}
