#pragma once
// Where menu items go: the menu font, measuring (WM_MEASUREITEM for owner-drawn items), the
// columns of a pop-up and the row of a menu bar, and finding the item under a point.
#include "menus/menu_object.h"

namespace win32::menus {

// The system menu font (lfMenuFont), and its bold form for default items. Never deleted.
HFONT MenuFont(bool bold = false);

// Room a string item of a pop-up leaves for the check mark on its left and the sub-menu arrow on
// its right, and between its text and its accelerator.
int CheckColumnWidth();
int ArrowColumnWidth();
constexpr int kAcceleratorGap = 12;
// Room a string item of a menu bar leaves on each side of its text.
constexpr int kBarTextMargin = 6;

// Lays out a pop-up's items from (0, 0), asking owner to measure owner-drawn items; returns the
// size of the items. Items are measured every time.
SIZE LayoutPopup(Menu& menu, HWND owner);

// Lays out a menu bar's items in a row inside bar (window coordinates of owner), asking owner to
// measure owner-drawn items.
void LayoutBar(Menu& menu, HWND owner, const RECT& bar);

// The item whose rectangle holds the point (coordinates of the menu's layout), or -1.
int ItemAt(const Menu& menu, POINT pt);

// The text of an item before and after its tab (the accelerator).
std::u16string MainText(const MenuItem& item);
std::u16string AcceleratorText(const MenuItem& item);

}  // namespace win32::menus
