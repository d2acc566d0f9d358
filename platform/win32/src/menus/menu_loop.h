#pragma once
// The menu loop: a nested modal loop on the calling thread that shows pop-up menus in "#32768"
// windows, follows the mouse and the keyboard, opens and closes sub-menus and ends with a command
// or without one. TrackPopupMenu, the menu bar and the system menu run it.
#include "menus/menu_object.h"

namespace win32::menus {

// The "#32768" window class.
inline constexpr char kMenuWindowClass[] = "#32768";
// The timer of a menu window that opens the sub-menu of its selected item.
inline constexpr UINT_PTR kSubMenuTimer = 0xFFF1;

// What the menu window procedure asks of the calling thread's loop; nothing happens when no loop
// shows that window.
void LoopKeyDown(HWND window, UINT vk);
void LoopChar(HWND window, char16_t ch);
void LoopTimer(HWND window);
// The selected item of the pop-up a menu window shows, -1 when none.
int SelectedItemOf(HWND window);

// Runs window's menu bar with the item at the screen point open (WM_SYSCOMMAND SC_MOUSEMENU).
void TrackMenuBar(HWND window, POINT screen);
// Runs window's system menu at the screen point; the chosen command is posted as WM_SYSCOMMAND.
void TrackSystemMenu(HWND window, POINT screen);
// The item of window's menu bar that a running loop shows open, -1 when none.
int OpenBarItem(HWND window);

}  // namespace win32::menus
