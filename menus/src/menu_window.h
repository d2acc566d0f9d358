#pragma once
// The system's pop-up menu windows (class "#32768"): the call-window hook finds each one as it is
// created, subclasses it through the "OldMenuProc" window property and lets the current style
// paint its border, shadow and background.
#include <vector>

#include "win32/windows.h"

namespace styled_menu {

// State bits of a record.
inline constexpr int kFoundByMessage482 = 0x1;
inline constexpr int kStylesChanged = 0x2;
inline constexpr int kEscapePressed = 0x4;
inline constexpr int kPrinting = 0x8;

// The message the menu manager sends a menu window once it knows the menu it shows.
inline constexpr UINT kMenuWindowMessage = 482;

struct MenuWindowRecord {
  LONG savedStyle = 0;
  LONG savedExStyle = 0;
  POINT lastPosition{0, 0};
  int state = 0;
  bool nonClientPainted = false;
  HMENU menu = nullptr;
  HBITMAP capture = nullptr;  // the screen under the window, 10 pixels wider and higher
  HRGN savedUpdate = reinterpret_cast<HRGN>(1);  // 1: none
  bool handled = false;  // a styled menu, or every menu when the draw-all flag is set

  MenuWindowRecord() = default;
  ~MenuWindowRecord();
  MenuWindowRecord(const MenuWindowRecord&) = delete;
  MenuWindowRecord& operator=(const MenuWindowRecord&) = delete;

  void DropCapture();
};

LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam);
// 1 when the window was subclassed now.
int SubclassMenuWindow(HWND hwnd, bool foundByMessage482);
void UnsubclassMenuWindow(HWND hwnd);
LRESULT CALLBACK MenuWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The record of a subclassed menu window, null for others.
MenuWindowRecord* FindMenuWindow(HWND hwnd);

// The styled menus showing in menu windows whose pop-up the window opened.
std::vector<HMENU> OpenMenusOf(HWND owner);

}  // namespace styled_menu
