#pragma once
// The styled menus' process-wide state: the values every menu reads (version code, screen and
// accessibility settings, switches, menu font), the run-time bound theme and gradient entry
// points, the ten style objects with the current one, and the thread's call-window hook. The
// state is made on first use (never in a static initialiser that could fail) and is never
// destroyed, so menus that are static objects themselves may outlive the shutdown at exit.
#include <memory>
#include <vector>

#include "win32/windows.h"

class CStyledMenuFramePainter;

namespace styled_menu {

using GradientFillFn = BOOL (*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
using IsThemeActiveFn = BOOL (*)();

struct Library {
  // Set-up, in the order of start-up.
  bool remoteDesktop = false;
  bool highContrast = false;
  HMODULE themeLibrary = nullptr;
  IsThemeActiveFn isThemeActive = nullptr;
  HMODULE gradientLibrary = nullptr;
  GradientFillFn gradientFill = nullptr;
  std::vector<std::unique_ptr<CStyledMenuFramePainter>> styles;
  CStyledMenuFramePainter* currentStyle = nullptr;
  HHOOK hook = nullptr;  // null after a failed set-up: menus then keep the system's frame

  // Values read once.
  int displayColours = 0;  // NUMCOLORS of the screen, 64000 for more than 256
  bool flatMenusAtStart = false;

  // Switches.
  DWORD options = 0;  // CStyledMenuOptionGuard's flags
  BOOL selectDisabled = TRUE;
  BOOL iconVariants = TRUE;
  BOOL drawAllMenus = FALSE;

  LOGFONTA menuFont{};  // the system's menu font until set
  ULONG_PTR lastBarItemData = 0;  // item data of the menu-bar item last drawn hot
  DWORD lastMessagePos = 0;  // GetMessagePos of the last key press in a menu window
  HMENU pendingMenu = nullptr;  // the pop-up about to open, for the next menu window

  bool FewColours() const { return displayColours <= 256; }
};

// The state, started on the calling (user-interface) thread on first use.
Library& Lib();

// The style object of a code, null when there is none.
CStyledMenuFramePainter* FindStyle(int code);

// Whether the system's flat-menu setting is on now.
bool FlatMenusNow();

// The theme test through the bound entry point; false without the theme library.
bool ThemeActive();

}  // namespace styled_menu
