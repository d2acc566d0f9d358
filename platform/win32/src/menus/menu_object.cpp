// Menu objects and their items: creation and destruction, the classic item functions, states,
// check marks and the default item.
#include "menus/menu_object.h"

#include <cstring>
#include <functional>

#include "win32/winbase.h"
#include "win32/winerror.h"
#include "win32/winnls.h"

namespace win32::menus {
namespace {

constexpr int kMaxDepth = 64;  // deeper trees cannot be made (loops are refused); a safety net

HMENU NewMenu(bool popup) {
  auto menu = std::make_shared<Menu>();
  menu->popup = popup;
  menu->handle = ToHandle<HMENU>(AllocateHandle(HandleKind::Menu, menu));
  if (!menu->handle) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return menu->handle;
}

bool FindByCommand(const Menu& menu, UINT command, int depth, ItemRef* found) {
  if (depth > kMaxDepth) return false;
  for (size_t i = 0; i < menu.items.size(); ++i) {
    const MenuItem& item = menu.items[i];
    if (item.id == command) {
      found->menu = PeekMenu(menu.handle);
      found->index = static_cast<int>(i);
      return true;
    }
    if (auto sub = PeekMenu(item.subMenu); sub && FindByCommand(*sub, command, depth + 1, found)) return true;
  }
  return false;
}

bool Contains(HMENU menu, HMENU wanted, int depth) {
  if (menu == wanted) return true;
  auto m = PeekMenu(menu);
  if (!m || depth > kMaxDepth) return false;
  for (const MenuItem& item : m->items) {
    if (item.subMenu && Contains(item.subMenu, wanted, depth + 1)) return true;
  }
  return false;
}

void Destroy(HMENU handle, int depth) {
  auto menu = PeekMenu(handle);
  if (!menu || depth > kMaxDepth) return;
  ReleaseHandle(reinterpret_cast<uintptr_t>(handle), HandleKind::Menu);
  for (const MenuItem& item : menu->items) Destroy(item.subMenu, depth + 1);
}

// An item as the classic functions describe it. False (with the last error) when the content is
// unusable.
bool ItemFromFlags(UINT flags, UINT_PTR idOrMenu, const void* content, bool wide, MenuItem* item) {
  item->type = flags & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR | MFT_MENUBREAK | MFT_MENUBARBREAK |
                        MFT_RIGHTJUSTIFY | MFT_RADIOCHECK);
  item->state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  item->id = static_cast<UINT>(idOrMenu);
  item->subMenu = nullptr;
  if (flags & MF_POPUP) {
    auto sub = FindMenu(reinterpret_cast<HMENU>(idOrMenu));
    if (!sub) return false;
    sub->popup = true;
    item->subMenu = sub->handle;
  }
  if (item->type & MFT_SEPARATOR) {
    // An owner-drawn separator is measured and drawn by its owner, with its data.
    item->type &= ~MFT_BITMAP;
    if (item->type & MFT_OWNERDRAW) item->data = reinterpret_cast<ULONG_PTR>(content);
  } else if (item->type & MFT_OWNERDRAW) {
    item->data = reinterpret_cast<ULONG_PTR>(content);
  } else if (item->type & MFT_BITMAP) {
    item->bitmap = reinterpret_cast<HBITMAP>(const_cast<void*>(content));
  } else if (content) {
    item->text = wide ? std::u16string(static_cast<const char16_t*>(content)) : Wide(static_cast<const char*>(content));
  }
  return true;
}

BOOL Insert(HMENU handle, UINT position, UINT flags, UINT_PTR id, const void* content, bool wide) {
  auto menu = FindMenu(handle);
  if (!menu) return FALSE;
  size_t at = menu->items.size();
  if (flags & MF_BYPOSITION) {
    if (position < menu->items.size()) at = position;
  } else {
    ItemRef ref;
    if (!FindItem(handle, position, MF_BYCOMMAND, &ref)) {
      SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
      return FALSE;
    }
    menu = ref.menu;
    at = static_cast<size_t>(ref.index);
  }
  if ((flags & MF_POPUP) && WouldLoop(menu->handle, reinterpret_cast<HMENU>(id))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  MenuItem item;
  if (!ItemFromFlags(flags, id, content, wide, &item)) return FALSE;
  menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
  ItemsChanged(*menu);
  return TRUE;
}

BOOL Modify(HMENU handle, UINT position, UINT flags, UINT_PTR id, const void* content, bool wide) {
  if (!FindMenu(handle)) return FALSE;
  ItemRef ref;
  if (!FindItem(handle, position, flags, &ref)) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  if ((flags & MF_POPUP) && WouldLoop(ref.menu->handle, reinterpret_cast<HMENU>(id))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  MenuItem& old = ref.Item();
  MenuItem item = old;  // owner-drawn items keep their text, strings their data
  if (!ItemFromFlags(flags, id, content, wide, &item)) return FALSE;
  if (item.type & (MFT_BITMAP | MFT_SEPARATOR)) item.text.clear();
  if (!(item.type & MFT_BITMAP)) item.bitmap = nullptr;
  if (!(flags & (MFT_OWNERDRAW | MFT_BITMAP | MFT_SEPARATOR)) && !content) item.text.clear();
  // A sub-menu the item no longer opens goes with it.
  const HMENU dropped = old.subMenu != item.subMenu ? old.subMenu : nullptr;
  item.rect = RECT{};
  old = std::move(item);
  ItemsChanged(*ref.menu);
  if (dropped) Destroy(dropped, 0);
  return TRUE;
}

BOOL Remove(HMENU handle, UINT position, UINT flags, bool destroySubMenu) {
  if (!FindMenu(handle)) return FALSE;
  ItemRef ref;
  if (!FindItem(handle, position, flags, &ref)) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  const HMENU sub = ref.Item().subMenu;
  ref.menu->items.erase(ref.menu->items.begin() + ref.index);
  ItemsChanged(*ref.menu);
  if (destroySubMenu && sub) Destroy(sub, 0);
  return TRUE;
}

}  // namespace

std::shared_ptr<Menu> PeekMenu(HMENU handle) { return LookupHandle<Menu>(handle, HandleKind::Menu); }

std::shared_ptr<Menu> FindMenu(HMENU handle) {
  auto menu = PeekMenu(handle);
  if (!menu) SetLastError(ERROR_INVALID_MENU_HANDLE);
  return menu;
}

bool FindItem(HMENU handle, UINT item, UINT flags, ItemRef* found) {
  auto menu = PeekMenu(handle);
  if (!menu) return false;
  if (flags & MF_BYPOSITION) {
    if (item >= menu->items.size()) return false;
    *found = {menu, static_cast<int>(item)};
    return true;
  }
  return FindByCommand(*menu, item, 0, found);
}

bool WouldLoop(HMENU menu, HMENU sub) { return sub && Contains(sub, menu, 0); }

void ItemsChanged(Menu& menu) { menu.laidOut = false; }

std::u16string Wide(LPCSTR text) {
  if (!text) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 1) return {};
  std::u16string wide(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
  wide.pop_back();
  return wide;
}

std::string Narrow(const std::u16string& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(), n, nullptr, nullptr);
  return narrow;
}

void DestroyMenuTree(HMENU handle) { Destroy(handle, 0); }

template <class Char>
int CopyOutText(const std::basic_string<Char>& text, Char* buffer, int size) {
  if (!buffer) return static_cast<int>(text.size());
  if (size <= 0) return 0;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  if constexpr (sizeof(Char) == 1) {
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;  // whole characters
  } else {
    if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;  // whole pairs
  }
  std::memcpy(buffer, text.data(), n * sizeof(Char));
  buffer[n] = Char{};
  return static_cast<int>(n);
}

int CopyOut(const std::u16string& text, char16_t* buffer, int size) { return CopyOutText(text, buffer, size); }

int CopyOut(const std::string& text, char* buffer, int size) { return CopyOutText(text, buffer, size); }

}  // namespace win32::menus

using namespace win32;
using namespace win32::menus;

HMENU CreateMenu() { return NewMenu(false); }

HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU hMenu) {
  if (!FindMenu(hMenu)) return FALSE;
  DestroyMenuTree(hMenu);
  return TRUE;
}

BOOL IsMenu(HMENU hMenu) { return PeekMenu(hMenu) != nullptr; }

BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  return Insert(hMenu, UINT(-1), uFlags | MF_BYPOSITION, uIDNewItem, lpNewItem, false);
}

BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
  return Insert(hMenu, UINT(-1), uFlags | MF_BYPOSITION, uIDNewItem, lpNewItem, true);
}

BOOL InsertMenuA(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  return Insert(hMenu, uPosition, uFlags, uIDNewItem, lpNewItem, false);
}

BOOL InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
  return Insert(hMenu, uPosition, uFlags, uIDNewItem, lpNewItem, true);
}

BOOL ModifyMenuA(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  return Modify(hMnu, uPosition, uFlags, uIDNewItem, lpNewItem, false);
}

BOOL ModifyMenuW(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
  return Modify(hMnu, uPosition, uFlags, uIDNewItem, lpNewItem, true);
}

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return Remove(hMenu, uPosition, uFlags, false); }

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) { return Remove(hMenu, uPosition, uFlags, true); }

int GetMenuItemCount(HMENU hMenu) {
  auto menu = FindMenu(hMenu);
  return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
  ItemRef ref;
  if (nPos < 0 || !FindItem(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION, &ref)) return UINT(-1);
  return ref.Item().subMenu ? UINT(-1) : ref.Item().id;
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
  ItemRef ref;
  if (nPos < 0 || !FindItem(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION, &ref)) return nullptr;
  return PeekMenu(ref.Item().subMenu) ? ref.Item().subMenu : nullptr;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
  ItemRef ref;
  if (!FindMenu(hMenu) || !FindItem(hMenu, uId, uFlags, &ref)) return UINT(-1);
  const MenuItem& item = ref.Item();
  UINT flags = item.type | item.state;
  if (auto sub = PeekMenu(item.subMenu)) {
    return ((flags | MF_POPUP) & 0xFF) | (static_cast<UINT>(sub->items.size()) << 8);
  }
  return flags;
}

int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
  ItemRef ref;
  if (lpString && cchMax > 0) lpString[0] = '\0';
  if (!FindMenu(hMenu) || !FindItem(hMenu, uIDItem, flags, &ref)) return 0;
  return CopyOut(Narrow(ref.Item().text), lpString, cchMax);
}

int GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags) {
  ItemRef ref;
  if (lpString && cchMax > 0) lpString[0] = u'\0';
  if (!FindMenu(hMenu) || !FindItem(hMenu, uIDItem, flags, &ref)) return 0;
  return CopyOut(ref.Item().text, lpString, cchMax);
}

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
  ItemRef ref;
  if (!FindMenu(hMenu) || !FindItem(hMenu, uIDCheckItem, uCheck, &ref)) return DWORD(-1);
  MenuItem& item = ref.Item();
  const DWORD previous = item.state & MF_CHECKED;
  item.state = (item.state & ~MF_CHECKED) | (uCheck & MF_CHECKED);
  return previous;
}

BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags) {
  auto menu = FindMenu(hmenu);
  if (!menu) return FALSE;
  ItemRef target;
  if (!FindItem(hmenu, check, flags, &target)) return FALSE;
  // The range lies in the menu holding the item that gets the bullet.
  Menu& owner = *target.menu;
  bool checked = false;
  for (size_t i = 0; i < owner.items.size(); ++i) {
    MenuItem& item = owner.items[i];
    const UINT key = (flags & MF_BYPOSITION) ? static_cast<UINT>(i) : item.id;
    if (key < first || key > last || item.subMenu) continue;
    if (static_cast<int>(i) == target.index) {
      item.type |= MFT_RADIOCHECK;
      item.state |= MF_CHECKED;
      checked = true;
    } else {
      item.state &= ~MF_CHECKED;
    }
  }
  return checked;
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
  ItemRef ref;
  if (!FindMenu(hMenu) || !FindItem(hMenu, uIDEnableItem, uEnable, &ref)) return -1;
  MenuItem& item = ref.Item();
  const BOOL previous = static_cast<BOOL>(item.state & (MF_GRAYED | MF_DISABLED));
  item.state = (item.state & ~(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
  return previous;
}

BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos) {
  auto menu = FindMenu(hMenu);
  if (!menu) return FALSE;
  int chosen = -1;
  if (uItem != UINT(-1)) {
    for (size_t i = 0; i < menu->items.size() && chosen < 0; ++i) {
      if (fByPos ? i == uItem : menu->items[i].id == uItem) chosen = static_cast<int>(i);
    }
    if (chosen < 0) {
      SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
      return FALSE;
    }
  }
  for (size_t i = 0; i < menu->items.size(); ++i) {
    MenuItem& item = menu->items[i];
    item.state = static_cast<int>(i) == chosen ? (item.state | MF_DEFAULT) : (item.state & ~MF_DEFAULT);
  }
  ItemsChanged(*menu);
  return TRUE;
}

UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags) {
  std::function<UINT(HMENU, int)> search = [&](HMENU handle, int depth) -> UINT {
    auto menu = PeekMenu(handle);
    if (!menu || depth > kMaxDepth) return UINT(-1);
    for (size_t i = 0; i < menu->items.size(); ++i) {
      const MenuItem& item = menu->items[i];
      if (!(item.state & MF_DEFAULT)) continue;
      if (item.IsDisabled() && !(gmdiFlags & GMDI_USEDISABLED)) return UINT(-1);
      if ((gmdiFlags & GMDI_GOINTOPOPUPS) && PeekMenu(item.subMenu)) {
        const UINT inner = search(item.subMenu, depth + 1);
        if (inner != UINT(-1)) return inner;
      }
      return fByPos ? static_cast<UINT>(i) : item.id;
    }
    return UINT(-1);
  };
  if (!FindMenu(hMenu)) return UINT(-1);
  return search(hMenu, 0);
}

BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked) {
  ItemRef ref;
  if (!FindMenu(hMenu)) return FALSE;
  if (!FindItem(hMenu, uPosition, uFlags, &ref)) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  ref.Item().uncheckedBitmap = hBitmapUnchecked;
  ref.Item().checkedBitmap = hBitmapChecked;
  return TRUE;
}

LONG GetMenuCheckMarkDimensions() {
  return MAKELONG(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
}
