#pragma once
// Drawing menus: items of pop-ups and menu bars (owner-drawn ones through WM_DRAWITEM to the
// owner) and the frame of a pop-up window.
#include "menus/menu_object.h"

namespace win32::menus {

// How an item shows beyond its own state.
struct ItemLook {
  bool selected = false;  // the highlighted item of a pop-up, the open item of a bar
  bool hot = false;       // a bar item under the mouse
  bool inactive = false;  // a bar item of an inactive window
  bool bar = false;
};

// The item at its layout rectangle moved by origin. action is ODA_DRAWENTIRE or ODA_SELECT (for
// owner-drawn items).
void DrawMenuItem(HDC dc, HWND owner, HMENU menu, int index, POINT origin, UINT action, const ItemLook& look);

// The brush a menu's background is filled with: its own (MENUINFO) or the system's.
HBRUSH MenuBackground(const Menu& menu, bool bar);

// The non-client area of a pop-up window: the band around the client area in the menu colour,
// edged as the system draws menus (flat menus: a one-pixel shadow line; else a raised edge).
void DrawPopupFrame(HWND window, HDC windowDc, HMENU menu);

}  // namespace win32::menus
