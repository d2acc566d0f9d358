// The per-window system menu: a copy made on first use with the commands the window's styles
// offer, grayed as the window's state requires when it opens.
#include <map>
#include <mutex>

#include "menus/menu_bar.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::menus {
namespace {

struct SystemMenus {
  std::mutex lock;
  std::map<HWND, HMENU> byWindow;
};

SystemMenus& Copies() {
  static auto* copies = new SystemMenus;
  return *copies;
}

HMENU MakeSystemMenu(DWORD style) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  const bool sizes = style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  if (sizes) AppendMenuA(menu, MF_STRING, SC_RESTORE, "&Restore");
  AppendMenuA(menu, MF_STRING, SC_MOVE, "&Move");
  if (style & WS_THICKFRAME) AppendMenuA(menu, MF_STRING, SC_SIZE, "&Size");
  if (sizes) {
    AppendMenuA(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenuA(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  }
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING | MF_DEFAULT, SC_CLOSE, "&Close\tAlt+F4");
  return menu;
}

}  // namespace

HMENU ExistingSystemMenu(HWND window) {
  SystemMenus& copies = Copies();
  std::lock_guard<std::mutex> guard(copies.lock);
  auto it = copies.byWindow.find(window);
  return it == copies.byWindow.end() ? nullptr : it->second;
}

void RefreshSystemMenu(HWND window, HMENU menu) {
  const bool minimized = IsIconic(window), maximized = IsZoomed(window);
  auto enable = [menu](UINT command, bool on) { EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  enable(SC_RESTORE, minimized || maximized);
  enable(SC_MOVE, !maximized);
  enable(SC_SIZE, !minimized && !maximized);
  enable(SC_MINIMIZE, !minimized);
  enable(SC_MAXIMIZE, !maximized);
}

}  // namespace win32::menus

using namespace win32::menus;

HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  SystemMenus& copies = Copies();
  std::unique_lock<std::mutex> guard(copies.lock);
  HMENU& copy = copies.byWindow[hWnd];
  if (bRevert) {
    HMENU gone = copy;
    copies.byWindow.erase(hWnd);
    guard.unlock();
    if (IsMenu(gone)) DestroyMenu(gone);
    return nullptr;
  }
  const DWORD style = static_cast<DWORD>(GetWindowLongA(hWnd, GWL_STYLE));
  if (!(style & WS_SYSMENU)) {
    if (!copy) copies.byWindow.erase(hWnd);
    return nullptr;
  }
  if (!IsMenu(copy)) copy = MakeSystemMenu(style);
  return copy;
}
