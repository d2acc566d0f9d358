// Tracking, menu bars, system menus and item geometry arrive in the next steps; until then these
// calls fail as unsupported.
#include "menus/menu_object.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace {
BOOL Unsupported() {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}
}  // namespace

BOOL GetMenuItemRect(HWND, HMENU, UINT, LPRECT) { return Unsupported(); }
int MenuItemFromPoint(HWND, HMENU, POINT) { return -1; }
BOOL HiliteMenuItem(HWND, HMENU, UINT, UINT) { return Unsupported(); }
BOOL TrackPopupMenu(HMENU, UINT, int, int, int, HWND, const RECT*) { return Unsupported(); }
BOOL TrackPopupMenuEx(HMENU, UINT, int, int, HWND, LPTPMPARAMS) { return Unsupported(); }
BOOL EndMenu() { return TRUE; }
HMENU GetMenu(HWND) { return nullptr; }
BOOL SetMenu(HWND, HMENU) { return Unsupported(); }
BOOL DrawMenuBar(HWND) { return Unsupported(); }
HMENU GetSystemMenu(HWND, BOOL) { return nullptr; }
