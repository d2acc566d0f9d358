#pragma once
// The menu manager's model: menu objects in the handle table, their items, and finding an item by
// position or by command.
#include <memory>
#include <string>
#include <vector>

#include "handle_table.h"
#include "win32/winmenu.h"
#include "win32/winuser_draw.h"

namespace win32::menus {

struct MenuItem {
  UINT type = MFT_STRING;  // MFT_* flags
  UINT state = 0;          // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_HILITE, MF_DEFAULT
  UINT id = 0;             // a pop-up item made by AppendMenu carries its sub-menu's handle
  HMENU subMenu = nullptr;
  HBITMAP checkedBitmap = nullptr;
  HBITMAP uncheckedBitmap = nullptr;
  ULONG_PTR data = 0;
  std::u16string text;  // kept when the item turns owner-drawn
  HBITMAP bitmap = nullptr;
  RECT rect{};  // last layout, in the coordinates of the menu's window or bar

  bool IsSeparator() const { return type & MFT_SEPARATOR; }
  bool IsOwnerDrawn() const { return type & MFT_OWNERDRAW; }
  bool IsDisabled() const { return state & (MF_GRAYED | MF_DISABLED); }
};

class Menu : public HandleObject {
 public:
  HMENU handle = nullptr;
  bool popup = false;  // CreatePopupMenu (or a sub-menu) rather than CreateMenu
  std::vector<MenuItem> items;
  // MENUINFO.
  DWORD style = 0;
  UINT maxHeight = 0;
  HBRUSH background = nullptr;
  DWORD helpId = 0;
  ULONG_PTR menuData = 0;
  // Layout: the size of the items as last laid out, valid until the items change.
  bool laidOut = false;
  SIZE extent{};
  RECT bar{};  // a menu bar: the bar rectangle it was laid out in (window coordinates)
  HWND window = nullptr;  // the "#32768" window showing it, while it shows
};

// The menu behind a handle; null (and ERROR_INVALID_MENU_HANDLE) for anything else.
std::shared_ptr<Menu> FindMenu(HMENU handle);
// Looks without touching the last error.
std::shared_ptr<Menu> PeekMenu(HMENU handle);

// An item found by position in a menu, or by command anywhere in its tree.
struct ItemRef {
  std::shared_ptr<Menu> menu;
  int index = -1;
  MenuItem& Item() const { return menu->items[static_cast<size_t>(index)]; }
};
// MF_BYPOSITION in flags: the position in this menu; otherwise the first item, depth first, whose
// id is the command (a pop-up item is looked at before its sub-menu). False when there is none.
bool FindItem(HMENU handle, UINT item, UINT flags, ItemRef* found);

// Whether putting sub into menu would make a menu contain itself.
bool WouldLoop(HMENU menu, HMENU sub);

// Destroys a menu and, recursively, its sub-menus.
void DestroyMenuTree(HMENU handle);

// The items changed: the next showing lays the menu out again.
void ItemsChanged(Menu& menu);

// Copies text into a caller's buffer of size characters, whole characters only, NUL-terminated;
// returns the count copied, or the text's length when there is no buffer.
int CopyOut(const std::u16string& text, char16_t* buffer, int size);
int CopyOut(const std::string& text, char* buffer, int size);

// The ANSI text of the A functions as UTF-16, and back.
std::u16string Wide(LPCSTR text);
std::string Narrow(const std::u16string& text);

}  // namespace win32::menus
