// Building styled menus: appending, inserting and changing items with their icons, toolbars,
// sub-menus, check-mark images and titles.
#include <algorithm>
#include <cctype>

#include "icon_store_list.h"
#include "library.h"
#include "menus/styled_menu.h"

namespace {

UINT_PTR AsId(HMENU menu) { return reinterpret_cast<UINT_PTR>(menu); }

// Turns the item at position into an owner-drawn item carrying data; its text, state, id and
// sub-menu stay.
BOOL MakeOwnerDrawn(HMENU menu, int position, CStyledMenuItemData* data) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  if (!::GetMenuItemInfoA(menu, UINT(position), TRUE, &info)) return FALSE;
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  info.fType = (info.fType & ~MFT_BITMAP) | MFT_OWNERDRAW;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(data);
  return ::SetMenuItemInfoA(menu, UINT(position), TRUE, &info);
}

// Replaces an item's text by position (the item is a plain string for a moment).
BOOL SetPlainText(HMENU menu, int position, LPCTSTR text) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<LPSTR>(text ? text : "");
  return ::SetMenuItemInfoA(menu, UINT(position), TRUE, &info);
}

void SetBreak(HMENU menu, int position, bool on) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  if (!::GetMenuItemInfoA(menu, UINT(position), TRUE, &info)) return;
  info.fType = on ? (info.fType | MFT_MENUBREAK) : (info.fType & ~MFT_MENUBREAK);
  ::SetMenuItemInfoA(menu, UINT(position), TRUE, &info);
}

COLORREF MaskColour(COLORREF background) { return background == 0xFF000000 ? GetSysColor(COLOR_BTNFACE) : background; }

// An icon added to the first shared bitmap store that takes it (the stores differ in icon size).
template <class AddTo>
bool AddToSharedBitmaps(AddTo add, CStyledMenuIcons** store, int* index) {
  const std::vector<CStyledMenuIcons*> stores = styled_menu::IconStores();
  for (CStyledMenuIcons* candidate : stores) {
    if (!candidate->IsKindOf(RUNTIME_CLASS(CStyledMenuBitmaps))) continue;
    const int added = add(static_cast<CStyledMenuBitmaps*>(candidate));
    if (added >= 0) {
      *store = candidate;
      *index = added;
      return true;
    }
  }
  auto* made = new CStyledMenuBitmaps;
  const int added = add(made);
  if (added < 0) {
    delete made;
    return false;
  }
  *store = made;
  *index = added;
  return true;
}

// The shared store of a toolbar resource, loaded when no store holds it yet.
CStyledMenuIcons* SharedToolbar(LPCTSTR name, COLORREF maskColour, bool mustExist) {
  for (CStyledMenuIcons* store : styled_menu::IconStores()) {
    if (!store->IsKindOf(RUNTIME_CLASS(CStyledMenuBitmaps)) && store->DoMatch(name, nullptr)) return store;
  }
  if (mustExist && !FindResourceA(AfxGetResourceHandle(), name, RT_TOOLBAR)) return nullptr;
  auto* store = new CStyledMenuIcons;
  store->SetMaskColour(maskColour);
  if (!store->LoadToolBar(name, nullptr)) {
    delete store;
    return nullptr;
  }
  return store;
}

}  // namespace

CStyledMenuItemData* CStyledMenu::DataAt(int position) const {
  return position >= 0 && size_t(position) < items_.size() ? items_[size_t(position)] : nullptr;
}

CStyledMenu* CStyledMenu::FindCommand(UINT nID, int* position) {
  const int count = GetMenuItemCount();
  // Sub-menus first, then the commands of this level.
  for (int p = 0; p < count; ++p) {
    if (CStyledMenu* sub = FromMenuHandle(::GetSubMenu(m_hMenu, p))) {
      if (CStyledMenu* found = sub->FindCommand(nID, position)) return found;
    }
  }
  for (int p = 0; p < count; ++p) {
    if (!::GetSubMenu(m_hMenu, p) && ::GetMenuItemID(m_hMenu, p) == nID) {
      *position = p;
      return this;
    }
  }
  return nullptr;
}

void CStyledMenu::GrowIconSize(CStyledMenuIcons* store) {
  if (!store || !store->ImageList().m_hImageList) return;
  int width = 0, height = 0;
  ImageList_GetIconSize(store->ImageList().m_hImageList, &width, &height);
  iconWidth_ = std::max(iconWidth_, width);
  iconHeight_ = std::max(iconHeight_, height);
}

BOOL CStyledMenu::AddItem(int position, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CStyledMenuIcons* icons,
                          int index) {
  if (!m_hMenu) return FALSE;
  nFlags &= ~MF_BYPOSITION;
  if (!nIDNewItem) nFlags = (nFlags & ~(MF_POPUP | MF_BITMAP)) | MF_SEPARATOR;
  const bool separator = nFlags & MF_SEPARATOR;
  auto* data = new CStyledMenuItemData;
  data->text = separator || !lpszNewItem ? "" : lpszNewItem;
  data->menuFlags = nFlags | MF_OWNERDRAW;
  data->commandOrMenu = nIDNewItem;
  data->SetIcons(icons, index);
  if (nFlags & MF_POPUP) {
    if (CStyledMenu* sub = FromMenuHandle(reinterpret_cast<HMENU>(nIDNewItem))) sub->parentMenu_ = m_hMenu;
  }
  GrowIconSize(icons);
  const int count = GetMenuItemCount();
  if (position < 0 || position > count) position = count;
  // First a plain item with its text, then the owner-drawn change with the item data.
  if (!::InsertMenuA(m_hMenu, UINT(position), MF_BYPOSITION | (nFlags & ~MF_OWNERDRAW), nIDNewItem,
                     separator ? nullptr : lpszNewItem)) {
    delete data;
    return FALSE;
  }
  if (!MakeOwnerDrawn(m_hMenu, position, data)) {
    delete data;
    return FALSE;
  }
  items_.insert(items_.begin() + std::min<size_t>(size_t(position), items_.size()), data);
  return TRUE;
}

BOOL CStyledMenu::AppendItem(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CStyledMenuIcons* icons,
                             int index) {
  return AddItem(-1, nFlags, nIDNewItem, lpszNewItem, icons, index);
}

BOOL CStyledMenu::InsertItem(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem,
                             CStyledMenuIcons* icons, int index) {
  if (nFlags & MF_BYPOSITION) return AddItem(int(nPosition), nFlags, nIDNewItem, lpszNewItem, icons, index);
  int position = -1;
  CStyledMenu* target = FindCommand(nPosition, &position);
  return target ? target->AddItem(position, nFlags, nIDNewItem, lpszNewItem, icons, index) : FALSE;
}

// ---- Icons ---------------------------------------------------------------------------------------

bool CStyledMenu::IconFromId(UINT command, int iconId, CStyledMenuIcons** store, int* index) {
  *store = nullptr;
  *index = -1;
  if (iconId < 0) return false;
  if (iconId <= 0xFFFF) {
    if (CStyledMenuIcons* toolbar = SharedToolbar(MAKEINTRESOURCE(iconId), MaskColour(bitmapBackground_), true)) {
      const int found = toolbar->FindIndex(command);
      if (found >= 0) {
        *store = toolbar;
        *index = found;
        return true;
      }
    }
  }
  if (iconsAsHandles_) {
    HICON icon = reinterpret_cast<HICON>(static_cast<UINT_PTR>(iconId));
    return AddToSharedBitmaps([&](CStyledMenuBitmaps* s) { return s->Add(icon, command); }, store, index);
  }
  const COLORREF mask = MaskColour(bitmapBackground_);
  return AddToSharedBitmaps([&](CStyledMenuBitmaps* s) { return s->Add(UINT(iconId), mask); }, store, index);
}

bool CStyledMenu::IconFromImageList(UINT command, CImageList* list, int image, CStyledMenuIcons** store, int* index) {
  *store = nullptr;
  *index = -1;
  if (!list || !list->m_hImageList || image < 0) return false;
  HICON icon = list->ExtractIcon(image);
  if (!icon) return false;
  const bool added = AddToSharedBitmaps([&](CStyledMenuBitmaps* s) { return s->Add(icon, command); }, store, index);
  DestroyIcon(icon);
  return added;
}

bool CStyledMenu::IconFromBitmap(CBitmap* bitmap, CStyledMenuIcons** store, int* index) {
  *store = nullptr;
  *index = -1;
  if (!bitmap || !bitmap->m_hObject) return false;
  const COLORREF mask = MaskColour(bitmapBackground_);
  return AddToSharedBitmaps([&](CStyledMenuBitmaps* s) { return s->Add(bitmap, mask); }, store, index);
}

// ---- Building ------------------------------------------------------------------------------------

BOOL CStyledMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, int) {
  return AppendItem(nFlags, nIDNewItem, lpszNewItem, nullptr, -1);
}

BOOL CStyledMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CImageList* pImageList,
                             int nImage) {
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  IconFromImageList(UINT(nIDNewItem), pImageList, nImage, &store, &index);
  return AppendItem(nFlags, nIDNewItem, lpszNewItem, store, index);
}

BOOL CStyledMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CBitmap* pBitmap) {
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  IconFromBitmap(pBitmap, &store, &index);
  return AppendItem(nFlags, nIDNewItem, lpszNewItem, store, index);
}

BOOL CStyledMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, int nIconId) {
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  IconFromId(UINT(nIDNewItem), nIconId, &store, &index);
  return InsertItem(nPosition, nFlags, nIDNewItem, lpszNewItem, store, index);
}

BOOL CStyledMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem,
                             CImageList* pImageList, int nImage) {
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  IconFromImageList(UINT(nIDNewItem), pImageList, nImage, &store, &index);
  return InsertItem(nPosition, nFlags, nIDNewItem, lpszNewItem, store, index);
}

BOOL CStyledMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem,
                             CBitmap* pBitmap) {
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  IconFromBitmap(pBitmap, &store, &index);
  return InsertItem(nPosition, nFlags, nIDNewItem, lpszNewItem, store, index);
}

BOOL CStyledMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  int position = int(nPosition);
  CStyledMenu* target = (nFlags & MF_BYPOSITION) ? this : FindCommand(nPosition, &position);
  if (!target) return FALSE;
  if (!nIDNewItem && !(nFlags & MF_POPUP)) nFlags |= MF_SEPARATOR;
  const bool separator = nFlags & MF_SEPARATOR;
  if (!::ModifyMenuA(target->m_hMenu, UINT(position), MF_BYPOSITION | (nFlags & ~(MF_OWNERDRAW | MF_BYPOSITION)),
                     nIDNewItem, separator ? nullptr : lpszNewItem))
    return FALSE;
  CStyledMenuItemData* data = target->DataAt(position);
  if (!data) return FALSE;
  CString text;
  target->GetMenuString(UINT(position), text, MF_BYPOSITION);
  data->text = text;
  data->menuFlags = (nFlags & ~MF_BYPOSITION) | MF_OWNERDRAW;
  data->commandOrMenu = nIDNewItem;
  return MakeOwnerDrawn(target->m_hMenu, position, data);
}

BOOL CStyledMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, CBitmap* pBitmap) {
  int position = int(nPosition);
  CStyledMenu* target = (nFlags & MF_BYPOSITION) ? this : FindCommand(nPosition, &position);
  CStyledMenuItemData* data = target ? target->DataAt(position) : nullptr;
  if (!data) return FALSE;
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  if (!IconFromBitmap(pBitmap, &store, &index)) return FALSE;
  if (!::ModifyMenuA(target->m_hMenu, UINT(position), MF_BYPOSITION | (nFlags & ~(MF_OWNERDRAW | MF_BYPOSITION)),
                     nIDNewItem, ""))
    return FALSE;
  data->text.Empty();
  data->menuFlags = (nFlags & ~MF_BYPOSITION) | MF_OWNERDRAW;
  data->commandOrMenu = nIDNewItem;
  data->SetIcons(store, index);
  target->GrowIconSize(store);
  return MakeOwnerDrawn(target->m_hMenu, position, data);
}

BOOL CStyledMenu::SetIconOfCommand(LPCTSTR lpszText, UINT nID, CStyledMenuIcons* store, int index, bool keepIcon) {
  BOOL changed = FALSE;
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    if (CStyledMenu* sub = FromMenuHandle(::GetSubMenu(m_hMenu, p))) {
      changed |= sub->SetIconOfCommand(lpszText, nID, store, index, keepIcon);
      continue;
    }
    CStyledMenuItemData* data = DataAt(p);
    if (!data || ::GetMenuItemID(m_hMenu, p) != nID) continue;
    if (lpszText) {
      data->text = lpszText;
      SetPlainText(m_hMenu, p, lpszText);
    }
    if (!keepIcon) {
      data->SetIcons(store, index);
      GrowIconSize(store);
    }
    MakeOwnerDrawn(m_hMenu, p, data);
    changed = TRUE;
  }
  return changed;
}

BOOL CStyledMenu::UpdateItem(LPCTSTR lpszText, UINT nID, int nIconId) {
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  const bool icon = IconFromId(nID, nIconId, &store, &index);
  return SetIconOfCommand(lpszText, nID, store, index, !icon && nIconId < 0);
}

BOOL CStyledMenu::UpdateItem(LPCTSTR lpszText, UINT nID, CImageList* pImageList, int nImage) {
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  IconFromImageList(nID, pImageList, nImage, &store, &index);
  return SetIconOfCommand(lpszText, nID, store, index, false);
}

BOOL CStyledMenu::UpdateItem(LPCTSTR lpszText, UINT nID, CBitmap* pBitmap) {
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  IconFromBitmap(pBitmap, &store, &index);
  return SetIconOfCommand(lpszText, nID, store, index, false);
}

BOOL CStyledMenu::UpdateItem(LPCTSTR lpszText, UINT nID, COLORREF fill, COLORREF frame, int hatch) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  CBitmap swatch;
  swatch.Attach(CreateCompatibleBitmap(screen, iconWidth_, iconHeight_));
  HGDIOBJ oldBitmap = SelectObject(memory, swatch);
  HBRUSH brush = hatch < 0 ? CreateSolidBrush(fill) : CreateHatchBrush(hatch, fill);
  HPEN pen = CreatePen(PS_SOLID, 1, frame);
  HGDIOBJ oldBrush = SelectObject(memory, brush);
  HGDIOBJ oldPen = SelectObject(memory, pen);
  SetBkColor(memory, MaskColour(bitmapBackground_));
  Rectangle(memory, 0, 0, iconWidth_, iconHeight_);
  SelectObject(memory, oldPen);
  SelectObject(memory, oldBrush);
  SelectObject(memory, oldBitmap);
  DeleteObject(pen);
  DeleteObject(brush);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  // The swatch has no transparent colour.
  AddToSharedBitmaps([&](CStyledMenuBitmaps* s) { return s->Add(&swatch, CLR_NONE); }, &store, &index);
  return SetIconOfCommand(lpszText, nID, store, index, false);
}

BOOL CStyledMenu::UpdateItem(LPCTSTR lpszItemText, LPCTSTR lpszNewText, int nIconId) {
  const int position = GetPositionOfText(lpszItemText);
  CStyledMenuItemData* data = DataAt(position);
  if (!data) return FALSE;
  CStyledMenuIcons* store = nullptr;
  int index = -1;
  const COLORREF mask = MaskColour(bitmapBackground_);
  const UINT id = ::GetMenuItemID(m_hMenu, position);
  if (nIconId >= 0) {
    if (iconsAsHandles_) {
      HICON icon = reinterpret_cast<HICON>(static_cast<UINT_PTR>(nIconId));
      AddToSharedBitmaps([&](CStyledMenuBitmaps* s) { return s->Add(icon, id); }, &store, &index);
    } else {
      AddToSharedBitmaps([&](CStyledMenuBitmaps* s) { return s->Add(UINT(nIconId), mask); }, &store, &index);
    }
    data->SetIcons(store, index);
    GrowIconSize(store);
  }
  if (lpszNewText) {
    data->text = lpszNewText;
    SetPlainText(m_hMenu, position, lpszNewText);
  }
  return MakeOwnerDrawn(m_hMenu, position, data);
}

void CStyledMenu::AssignToolbarIcons(CStyledMenuIcons* store) {
  const std::vector<UINT>& ids = store->CommandIds();
  for (size_t button = 0; button < ids.size(); ++button) SetIconOfCommand(nullptr, ids[button], store, int(button) * 3, false);
}

BOOL CStyledMenu::LoadToolbar(UINT nToolbarId) {
  return LoadToolbar(MAKEINTRESOURCE(nToolbarId), MaskColour(bitmapBackground_));
}

BOOL CStyledMenu::LoadToolbars(const UINT* toolbarIds, int count) {
  BOOL loaded = FALSE;
  for (int i = 0; toolbarIds && i < count; ++i) loaded |= LoadToolbar(toolbarIds[i]);
  return loaded;
}

BOOL CStyledMenu::LoadToolbar(const WORD* idList, COLORREF maskColour) {
  CStyledMenuIcons* store = nullptr;
  for (CStyledMenuIcons* candidate : styled_menu::IconStores()) {
    if (!candidate->IsKindOf(RUNTIME_CLASS(CStyledMenuBitmaps)) && candidate->DoMatch(idList, maskColour)) {
      store = candidate;
      break;
    }
  }
  if (!store) {
    store = new CStyledMenuIcons;
    if (!store->LoadToolBar(idList, maskColour)) {
      delete store;
      return FALSE;
    }
  }
  AssignToolbarIcons(store);
  return TRUE;
}

BOOL CStyledMenu::LoadToolbar(LPCTSTR lpszResourceName, COLORREF maskColour) {
  CStyledMenuIcons* store = SharedToolbar(lpszResourceName, maskColour, false);
  if (!store) return FALSE;
  AssignToolbarIcons(store);
  return TRUE;
}

CStyledMenu* CStyledMenu::AppendSubMenu(LPCTSTR lpszText) {
  auto* sub = new CStyledMenu(m_hMenu);
  if (!sub->CreatePopupMenu()) {
    delete sub;
    return nullptr;
  }
  sub->iconWidth_ = iconWidth_;
  sub->iconHeight_ = iconHeight_;
  sub->checkImages_ = checkImages_;
  sub->checkImagesShared_ = TRUE;
  sub->uncheckedImage_ = uncheckedImage_;
  sub->checkedImage_ = checkedImage_;
  sub->iconsAsHandles_ = iconsAsHandles_;
  if (!AppendItem(MF_POPUP, AsId(sub->m_hMenu), lpszText, nullptr, -1)) {
    delete sub;
    return nullptr;
  }
  subMenus_.push_back(sub);
  return sub;
}

// ---- Check marks, colours, sizes and texts -----------------------------------------------------

BOOL CStyledMenu::SetCheckMarkImages(int nUnchecked, int nChecked) {
  if (nUnchecked < 1 || nChecked < 1) return FALSE;
  if (checkImages_ && !checkImagesShared_) {
    checkImages_->Remove(-1);
  } else {
    // A list shared with the parent menu stays the parent's: this menu gets its own.
    checkImages_ = new CImageList;
    checkImagesShared_ = FALSE;
    checkImages_->Create(iconWidth_, iconHeight_, ILC_COLORDDB | ILC_MASK, 0, 2);
  }
  const COLORREF mask = MaskColour(bitmapBackground_);
  auto add = [&](int id) {
    if (iconsAsHandles_) return checkImages_->Add(reinterpret_cast<HICON>(static_cast<UINT_PTR>(id))) >= 0;
    int colours = 0;
    HBITMAP bitmap = LoadBitmapWithDepth(MAKEINTRESOURCE(id), nullptr, &colours);
    if (!bitmap) return false;
    if (colours == 16) styled_menu::MapToSystemColours(bitmap);
    const bool added = ImageList_AddMasked(checkImages_->m_hImageList, bitmap, mask) >= 0;
    DeleteObject(bitmap);
    return added;
  };
  if (!add(nUnchecked) || !add(nChecked)) {
    delete checkImages_;
    checkImages_ = nullptr;
    uncheckedImage_ = checkedImage_ = -1;
    return FALSE;
  }
  uncheckedImage_ = nUnchecked;
  checkedImage_ = nChecked;
  return TRUE;
}

COLORREF CStyledMenu::SetBitmapBackground(COLORREF colour) { return std::exchange(bitmapBackground_, colour); }

void CStyledMenu::SetIconSize(int width, int height) {
  iconWidth_ = width;
  iconHeight_ = height;
}

BOOL CStyledMenu::SetIconsAsHandles(BOOL asHandles) { return std::exchange(iconsAsHandles_, asHandles); }

BOOL CStyledMenu::SetItemImageList(UINT nItem, CImageList* pImageList, UINT nFlags) {
  int position = int(nItem);
  CStyledMenu* target = (nFlags & MF_BYPOSITION) ? this : FindCommand(nItem, &position);
  CStyledMenuItemData* data = target ? target->DataAt(position) : nullptr;
  if (!data) return FALSE;
  data->imageList = pImageList;
  return TRUE;
}

CImageList* CStyledMenu::GetItemImageList(UINT nItem, UINT nFlags) {
  int position = int(nItem);
  CStyledMenu* target = (nFlags & MF_BYPOSITION) ? this : FindCommand(nItem, &position);
  CStyledMenuItemData* data = target ? target->DataAt(position) : nullptr;
  return data ? data->imageList : nullptr;
}

CString CStyledMenu::GetItemText(UINT nItem, UINT nFlags) {
  int position = int(nItem);
  CStyledMenu* target = (nFlags & MF_BYPOSITION) ? this : FindCommand(nItem, &position);
  CStyledMenuItemData* data = target ? target->DataAt(position) : nullptr;
  return data ? data->text : CString();
}

BOOL CStyledMenu::SetItemText(UINT nItem, LPCTSTR lpszText, UINT nFlags) {
  int position = int(nItem);
  CStyledMenu* target = (nFlags & MF_BYPOSITION) ? this : FindCommand(nItem, &position);
  CStyledMenuItemData* data = target ? target->DataAt(position) : nullptr;
  if (!data) return FALSE;
  data->text = lpszText ? lpszText : "";
  return SetPlainText(target->m_hMenu, position, lpszText) && MakeOwnerDrawn(target->m_hMenu, position, data);
}

int CStyledMenu::GetPositionOfText(LPCTSTR lpszItemText) {
  if (!lpszItemText) return -1;
  for (size_t p = 0; p < items_.size(); ++p)
    if (items_[p]->text == lpszItemText) return int(p);
  return -1;
}

CStyledMenu* CStyledMenu::GetSubMenu(LPCTSTR lpszItemText) {
  CStyledMenuItemData* data = DataAt(GetPositionOfText(lpszItemText));
  if (!data || !(data->menuFlags & MF_POPUP)) return nullptr;
  return FromMenuHandle(reinterpret_cast<HMENU>(data->commandOrMenu));
}

// ---- Titles --------------------------------------------------------------------------------------

BOOL CStyledMenu::SetTitle(LPCTSTR lpszTitle, int nTitleFlags) {
  if (!m_hMenu) return FALSE;
  if (size_t(GetMenuItemCount()) != items_.size()) ConvertItems();
  if (items_.empty() || !items_[0]->IsSeparator()) {
    if (!AddItem(0, MF_SEPARATOR, 0, nullptr, nullptr, -1)) return FALSE;
  }
  CStyledMenuItemData* title = items_[0];
  title->text = lpszTitle ? lpszTitle : "";
  title->titleFlags = nTitleFlags | TITLE_ITEM;
  if (items_.size() > 1) SetBreak(m_hMenu, 1, (nTitleFlags & TITLE_VERTICAL) != 0);
  return TRUE;
}

BOOL CStyledMenu::RemoveTitle() {
  if (items_.empty() || !items_[0]->IsTitle()) return FALSE;
  if (items_.size() > 1) SetBreak(m_hMenu, 1, false);
  if (!::RemoveMenu(m_hMenu, 0, MF_BYPOSITION)) return FALSE;
  delete items_[0];
  items_.erase(items_.begin());
  return TRUE;
}

// ---- Removal -------------------------------------------------------------------------------------

BOOL CStyledMenu::RemoveMenu(UINT nPosition, UINT nFlags) {
  int position = int(nPosition);
  CStyledMenu* target = (nFlags & MF_BYPOSITION) ? this : FindCommand(nPosition, &position);
  if (!target || position < 0) return FALSE;
  const HMENU sub = ::GetSubMenu(target->m_hMenu, position);
  if (!::RemoveMenu(target->m_hMenu, UINT(position), MF_BYPOSITION)) return FALSE;
  // The sub-menu survives, with its styled object, for whoever holds it now.
  if (sub) std::erase_if(target->subMenus_, [sub](CStyledMenu* m) { return m->m_hMenu == sub; });
  target->DropItemData(position);
  return TRUE;
}

BOOL CStyledMenu::DeleteMenu(UINT nPosition, UINT nFlags) {
  int position = int(nPosition);
  CStyledMenu* target = (nFlags & MF_BYPOSITION) ? this : FindCommand(nPosition, &position);
  if (!target || position < 0) return FALSE;
  const HMENU sub = ::GetSubMenu(target->m_hMenu, position);
  auto listed = std::find_if(target->subMenus_.begin(), target->subMenus_.end(),
                             [sub](CStyledMenu* m) { return sub && m->m_hMenu == sub; });
  if (listed != target->subMenus_.end()) {
    // The listed object destroys the sub-menu once, with its own items.
    if (!::RemoveMenu(target->m_hMenu, UINT(position), MF_BYPOSITION)) return FALSE;
    CStyledMenu* object = *listed;
    target->subMenus_.erase(listed);
    delete object;
  } else if (!::DeleteMenu(target->m_hMenu, UINT(position), MF_BYPOSITION)) {
    return FALSE;
  }
  target->DropItemData(position);
  return TRUE;
}

void CStyledMenu::DropItemData(int position) {
  if (position < 0 || size_t(position) >= items_.size()) return;
  delete items_[size_t(position)];
  items_.erase(items_.begin() + position);
}

int CStyledMenu::RemoveNextTo(LPCTSTR lpszText, int nMode) {
  const int position = GetPositionOfText(lpszText);
  if (position < 0) return -1;
  auto remove = [this](int p) {
    if (p >= 0 && p < GetMenuItemCount()) RemoveMenu(UINT(p), MF_BYPOSITION);
  };
  switch (nMode) {
    case 0: remove(position); break;
    case 1: remove(position - 1); break;
    case 2: remove(position + 1); break;
    case 3:
      remove(position + 1);
      remove(position - 1);
      break;
  }
  return position;
}
