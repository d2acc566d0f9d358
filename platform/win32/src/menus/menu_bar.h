#pragma once
// Menu bars: the menu of a top-level window drawn in its non-client area between the caption and
// the client area, its hit testing and hot tracking; the window's system menu. The window layer
// calls these from its default non-client handling.
#include <memory>

#include "menus/menu_object.h"

namespace win32::menus {

// The height the window's menu bar takes (SM_CYMENU), 0 when it has none.
int MenuBarHeight(HWND window);
// The bar's rectangle in window coordinates (empty without a bar).
RECT MenuBarRect(HWND window);
// The window's bar menu, laid out for the bar's current width; null without one.
std::shared_ptr<Menu> LaidOutBar(HWND window);
// The bar item under a screen point, -1 when none.
int BarItemAt(HWND window, POINT screen);
// A bar item's rectangle on the screen.
bool BarItemScreenRect(HWND window, int index, RECT* out);

// Paints the whole bar into a window DC (origin at the window's top left).
void PaintMenuBar(HWND window, HDC windowDc);
// Paints one bar item again now.
void RedrawBarItem(HWND window, int index);
// DefWindowProc's hot tracking: the bar item under the mouse is drawn hot while the mouse is
// over it (hit is the WM_NCMOUSEMOVE hit-test code; HTNOWHERE when the mouse left). Owner-drawn
// items only from Windows 2000 on and outside a remote session.
void TrackBarHot(HWND window, int hit, POINT screen);

// The window is being destroyed: its menu and its system menu go with it.
void WindowMenusGone(HWND window, HMENU menu);
// The window's system menu if it has made one (no copy is made), else null.
HMENU ExistingSystemMenu(HWND window);
// Grays and enables the system menu's commands for the window's state (minimised, maximised).
void RefreshSystemMenu(HWND window, HMENU menu);

}  // namespace win32::menus
