// Item information (GetMenuItemInfo, SetMenuItemInfo, InsertMenuItem) and menu information
// (GetMenuInfo, SetMenuInfo, which "user32.dll" also exports by name).
#include <cstddef>
#include <type_traits>

#include "menus/menu_object.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::menus {
namespace {

constexpr UINT kTypeFlags = MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR | MFT_MENUBREAK | MFT_MENUBARBREAK |
                            MFT_RADIOCHECK | MFT_RIGHTJUSTIFY | MFT_RIGHTORDER;
constexpr UINT kStateFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

template <class Info>
bool SizeIsValid(const Info* info) {
  return info && (info->cbSize == sizeof(Info) || info->cbSize == offsetof(Info, hbmpItem));
}

template <class Info>
bool HasBitmapField(const Info& info) {
  return info.cbSize == sizeof(Info);
}

bool IsStringType(UINT type) { return !(type & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR)); }

// The text into the caller's buffer: with no buffer (or no room) cch receives the length,
// otherwise the text up to cch - 1 characters and cch the length copied.
template <class Info>
void CopyText(const std::u16string& text, Info* info) {
  if constexpr (std::is_same_v<Info, MENUITEMINFOW>) {
    info->cch = static_cast<UINT>(CopyOut(text, info->cch ? info->dwTypeData : nullptr, static_cast<int>(info->cch)));
  } else {
    info->cch = static_cast<UINT>(CopyOut(Narrow(text), info->cch ? info->dwTypeData : nullptr, static_cast<int>(info->cch)));
  }
}

template <class Info>
std::u16string TextOf(const Info& info) {
  if (!info.dwTypeData) return {};
  if constexpr (std::is_same_v<Info, MENUITEMINFOW>) {
    return std::u16string(info.dwTypeData);
  } else {
    return Wide(info.dwTypeData);
  }
}

// The item a get or set call names, once its menu and its structure's size are checked; false
// with the call's error set otherwise.
template <class Info>
bool FindNamedItem(HMENU handle, UINT item, BOOL byPosition, const Info* info, ItemRef* ref) {
  if (!FindMenu(handle)) return false;
  if (!SizeIsValid(info)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (!FindItem(handle, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, ref)) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return false;
  }
  return true;
}

template <class Info>
BOOL GetInfo(HMENU handle, UINT item, BOOL byPosition, Info* info) {
  ItemRef ref;
  if (!FindNamedItem(handle, item, byPosition, info, &ref)) return FALSE;
  const MenuItem& it = ref.Item();
  const UINT mask = info->fMask;
  if (mask & (MIIM_FTYPE | MIIM_TYPE)) info->fType = it.type;
  if (mask & MIIM_STATE) info->fState = it.state;
  if (mask & MIIM_ID) info->wID = it.id;
  if (mask & MIIM_SUBMENU) info->hSubMenu = PeekMenu(it.subMenu) ? it.subMenu : nullptr;
  if (mask & MIIM_CHECKMARKS) {
    info->hbmpChecked = it.checkedBitmap;
    info->hbmpUnchecked = it.uncheckedBitmap;
  }
  if (mask & MIIM_DATA) info->dwItemData = it.data;
  if ((mask & MIIM_BITMAP) && HasBitmapField(*info)) info->hbmpItem = it.bitmap;
  if (mask & MIIM_STRING) {
    CopyText(it.text, info);
  } else if (mask & MIIM_TYPE) {
    if (it.type & MFT_BITMAP) {
      info->dwTypeData = reinterpret_cast<decltype(info->dwTypeData)>(it.bitmap);
    } else if (IsStringType(it.type)) {
      CopyText(it.text, info);
    }
  }
  return TRUE;
}

// Applies what the mask names; false (with the last error) when the sub-menu is unusable.
template <class Info>
bool Apply(Menu& owner, MenuItem& it, const Info& info) {
  const UINT mask = info.fMask;
  if (mask & MIIM_SUBMENU) {
    if (info.hSubMenu) {
      auto sub = FindMenu(info.hSubMenu);
      if (!sub) return false;
      if (WouldLoop(owner.handle, info.hSubMenu)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
      }
      sub->popup = true;
    }
    it.subMenu = info.hSubMenu;
  }
  if (mask & MIIM_TYPE) {
    it.type = info.fType & kTypeFlags;
    if (it.type & MFT_BITMAP) {
      it.bitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
      it.text.clear();
    } else if (it.type & MFT_SEPARATOR) {
      it.text.clear();
    } else if (IsStringType(it.type)) {
      it.text = TextOf(info);
    }
  }
  if (mask & MIIM_FTYPE) it.type = info.fType & kTypeFlags;
  if (mask & MIIM_STRING) it.text = TextOf(info);
  if ((mask & MIIM_BITMAP) && HasBitmapField(info)) it.bitmap = info.hbmpItem;
  if (mask & MIIM_STATE) it.state = info.fState & kStateFlags;
  if (mask & MIIM_ID) it.id = info.wID;
  if (mask & MIIM_CHECKMARKS) {
    it.checkedBitmap = info.hbmpChecked;
    it.uncheckedBitmap = info.hbmpUnchecked;
  }
  if (mask & MIIM_DATA) it.data = info.dwItemData;
  ItemsChanged(owner);
  return true;
}

template <class Info>
BOOL SetInfo(HMENU handle, UINT item, BOOL byPosition, const Info* info) {
  ItemRef ref;
  if (!FindNamedItem(handle, item, byPosition, info, &ref)) return FALSE;
  MenuItem changed = ref.Item();
  if (!Apply(*ref.menu, changed, *info)) return FALSE;
  ref.Item() = std::move(changed);
  return TRUE;
}

template <class Info>
BOOL InsertInfo(HMENU handle, UINT item, BOOL byPosition, const Info* info) {
  auto menu = FindMenu(handle);
  if (!menu) return FALSE;
  if (!SizeIsValid(info)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  size_t at = menu->items.size();
  if (byPosition) {
    if (item < menu->items.size()) at = item;
  } else {
    ItemRef ref;
    if (!FindItem(handle, item, MF_BYCOMMAND, &ref)) {
      SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
      return FALSE;
    }
    menu = ref.menu;
    at = static_cast<size_t>(ref.index);
  }
  MenuItem fresh;
  if (!Apply(*menu, fresh, *info)) return FALSE;
  menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(fresh));
  return TRUE;
}

void ApplyMenuInfo(Menu& menu, const MENUINFO& info, int depth) {
  if (info.fMask & MIM_STYLE) menu.style = info.dwStyle;
  if (info.fMask & MIM_MAXHEIGHT) menu.maxHeight = info.cyMax;
  if (info.fMask & MIM_BACKGROUND) menu.background = info.hbrBack;
  if (info.fMask & MIM_HELPID) menu.helpId = info.dwContextHelpID;
  if (info.fMask & MIM_MENUDATA) menu.menuData = info.dwMenuData;
  ItemsChanged(menu);
  if (!(info.fMask & MIM_APPLYTOSUBMENUS) || depth > 64) return;
  for (const MenuItem& item : menu.items) {
    if (auto sub = PeekMenu(item.subMenu)) ApplyMenuInfo(*sub, info, depth + 1);
  }
}

const BuiltinExport kUserMenuExports[] = {{"GetMenuInfo", &GetMenuInfo}, {"SetMenuInfo", &SetMenuInfo}};

const bool kUserMenuExportsRegistered = [] {
  RegisterBuiltinModule("user32.dll", kUserMenuExports, sizeof kUserMenuExports / sizeof kUserMenuExports[0]);
  return true;
}();

}  // namespace
}  // namespace win32::menus

using namespace win32::menus;

BOOL GetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOA lpmii) {
  return GetInfo(hmenu, item, fByPosition, lpmii);
}

BOOL GetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOW lpmii) {
  return GetInfo(hmenu, item, fByPosition, lpmii);
}

BOOL SetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOA lpmii) {
  return SetInfo(hmenu, item, fByPositon, lpmii);
}

BOOL SetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOW lpmii) {
  return SetInfo(hmenu, item, fByPositon, lpmii);
}

BOOL InsertMenuItemA(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmi) {
  return InsertInfo(hmenu, item, fByPosition, lpmi);
}

BOOL InsertMenuItemW(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOW lpmi) {
  return InsertInfo(hmenu, item, fByPosition, lpmi);
}

BOOL GetMenuInfo(HMENU hmenu, LPMENUINFO lpcmi) {
  auto menu = FindMenu(hmenu);
  if (!menu) return FALSE;
  if (!lpcmi || lpcmi->cbSize != sizeof(MENUINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (lpcmi->fMask & MIM_STYLE) lpcmi->dwStyle = menu->style;
  if (lpcmi->fMask & MIM_MAXHEIGHT) lpcmi->cyMax = menu->maxHeight;
  if (lpcmi->fMask & MIM_BACKGROUND) lpcmi->hbrBack = menu->background;
  if (lpcmi->fMask & MIM_HELPID) lpcmi->dwContextHelpID = menu->helpId;
  if (lpcmi->fMask & MIM_MENUDATA) lpcmi->dwMenuData = menu->menuData;
  return TRUE;
}

BOOL SetMenuInfo(HMENU hmenu, LPCMENUINFO lpcmi) {
  auto menu = FindMenu(hmenu);
  if (!menu) return FALSE;
  if (!lpcmi || lpcmi->cbSize != sizeof(MENUINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ApplyMenuInfo(*menu, *lpcmi, 0);
  return TRUE;
}
