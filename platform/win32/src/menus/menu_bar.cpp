// Menu bars of top-level windows: SetMenu, the bar's place in the non-client area, its painting,
// hot tracking and highlighting; item rectangles and hit tests of bars and shown pop-ups.
#include "menus/menu_bar.h"

#include <map>
#include <mutex>

#include "menus/menu_draw.h"
#include "menus/menu_layout.h"
#include "menus/menu_loop.h"
#include "user/user_state.h"
#include "win32/platform_config.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::menus {
namespace {

using user::Win;

// The bar item under the mouse of each window that has one.
struct HotItems {
  std::mutex lock;
  std::map<HWND, int> byWindow;
};

HotItems& Hot() {
  static auto* hot = new HotItems;
  return *hot;
}

int HotItemOf(HWND window) {
  HotItems& hot = Hot();
  std::lock_guard<std::mutex> guard(hot.lock);
  auto it = hot.byWindow.find(window);
  return it == hot.byWindow.end() ? -1 : it->second;
}

// Returns the item hot before.
int SetHotItem(HWND window, int index) {
  HotItems& hot = Hot();
  std::lock_guard<std::mutex> guard(hot.lock);
  int& slot = hot.byWindow.try_emplace(window, -1).first->second;
  const int old = slot;
  slot = index;
  if (index < 0) hot.byWindow.erase(window);
  return old;
}

HMENU BarMenuOf(const user::Window& w) {
  if (w.IsChild() || (w.style & WS_MINIMIZE)) return nullptr;
  HMENU menu = reinterpret_cast<HMENU>(w.id);
  return PeekMenu(menu) ? menu : nullptr;
}

POINT WindowOrigin(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top};
}

ItemLook BarLook(HWND window, int index) {
  ItemLook look;
  look.bar = true;
  look.selected = OpenBarItem(window) == index;
  look.hot = !look.selected && HotItemOf(window) == index;
  look.inactive = GetActiveWindow() != window;
  return look;
}

// The pop-up window showing a menu now, or null.
HWND ShowingWindow(const Menu& menu) { return IsWindow(menu.window) ? menu.window : nullptr; }

}  // namespace

int MenuBarHeight(HWND window) {
  auto w = Win(window);
  return w && BarMenuOf(*w) ? GetSystemMetrics(SM_CYMENU) : 0;
}

RECT MenuBarRect(HWND window) {
  auto w = Win(window);
  if (!w || !BarMenuOf(*w)) return RECT{};
  // Below the frame and the caption, above the client edge and the scroll bars.
  const RECT in = user::NonClientInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL), w->exStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
  const int width = w->window.right - w->window.left;
  return {in.left, in.top, std::max<LONG>(in.left, width - in.right), in.top + GetSystemMetrics(SM_CYMENU)};
}

std::shared_ptr<Menu> LaidOutBar(HWND window) {
  auto w = Win(window);
  if (!w) return nullptr;
  auto menu = PeekMenu(BarMenuOf(*w));
  if (!menu) return nullptr;
  const RECT bar = MenuBarRect(window);
  if (!menu->laidOut || !EqualRect(&menu->bar, &bar)) {
    menu->bar = bar;
    LayoutBar(*menu, window, bar);
  }
  return PeekMenu(BarMenuOf(*w));
}

int BarItemAt(HWND window, POINT screen) {
  auto menu = LaidOutBar(window);
  if (!menu) return -1;
  const POINT origin = WindowOrigin(window);
  const int index = ItemAt(*menu, {screen.x - origin.x, screen.y - origin.y});
  return index >= 0 && !menu->items[static_cast<size_t>(index)].IsSeparator() ? index : -1;
}

bool BarItemScreenRect(HWND window, int index, RECT* out) {
  auto menu = LaidOutBar(window);
  if (!menu || index < 0 || static_cast<size_t>(index) >= menu->items.size()) return false;
  const POINT origin = WindowOrigin(window);
  *out = menu->items[static_cast<size_t>(index)].rect;
  OffsetRect(out, origin.x, origin.y);
  return true;
}

void PaintMenuBar(HWND window, HDC dc) {
  auto menu = LaidOutBar(window);
  if (!menu) return;
  const HMENU handle = menu->handle;
  const RECT bar = menu->bar;
  FillRect(dc, &bar, MenuBackground(*menu, true));
  for (size_t i = 0; i < menu->items.size(); ++i) {
    DrawMenuItem(dc, window, handle, static_cast<int>(i), {0, 0}, ODA_DRAWENTIRE, BarLook(window, static_cast<int>(i)));
    if (!(menu = PeekMenu(handle))) return;  // the owner destroyed it while drawing
  }
}

void RedrawBarItem(HWND window, int index) {
  auto menu = LaidOutBar(window);
  if (!menu || index < 0 || static_cast<size_t>(index) >= menu->items.size()) return;
  HDC dc = GetWindowDC(window);
  DrawMenuItem(dc, window, menu->handle, index, {0, 0}, ODA_SELECT, BarLook(window, index));
  ReleaseDC(window, dc);
}

void TrackBarHot(HWND window, int hit, POINT screen) {
  // Before Windows 2000, and in a remote session, the system leaves owner-drawn bar items alone:
  // their owner tracks them itself.
  const auto& config = platform_config::Config();
  const bool tracksOwnerDrawn = config.versionMajor >= 5 && !config.remoteSession;
  int index = hit == HTMENU ? BarItemAt(window, screen) : -1;
  if (index >= 0 && !tracksOwnerDrawn) {
    auto menu = LaidOutBar(window);
    if (menu && static_cast<size_t>(index) < menu->items.size() && menu->items[static_cast<size_t>(index)].IsOwnerDrawn())
      index = -1;
  }
  const int old = SetHotItem(window, index);
  if (old == index) return;
  RedrawBarItem(window, old);
  RedrawBarItem(window, index);
  if (index >= 0) {
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE | TME_NONCLIENT, window, 0};
    TrackMouseEvent(&leave);
  }
}

void WindowMenusGone(HWND window, HMENU menu) {
  SetHotItem(window, -1);
  if (ExistingSystemMenu(window)) GetSystemMenu(window, TRUE);
  if (PeekMenu(menu)) DestroyMenuTree(menu);
}

}  // namespace win32::menus

using namespace win32;
using namespace win32::menus;

HMENU GetMenu(HWND hWnd) {
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return w->IsChild() ? nullptr : reinterpret_cast<HMENU>(w->id);
}

BOOL SetMenu(HWND hWnd, HMENU hMenu) {
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->IsChild()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (hMenu && !FindMenu(hMenu)) return FALSE;
  w->id = reinterpret_cast<LONG_PTR>(hMenu);
  if (auto menu = PeekMenu(hMenu)) ItemsChanged(*menu);
  SetHotItem(hWnd, -1);
  // The client area moves to make room for the bar (or takes the room back).
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

BOOL DrawMenuBar(HWND hWnd) {
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  auto menu = PeekMenu(GetMenu(hWnd));
  if (!menu) return FALSE;
  ItemsChanged(*menu);
  // The bar's part of the frame is painted again now (WM_NCPAINT); RedrawWindow takes client
  // coordinates.
  RECT area = MenuBarRect(hWnd);
  RECT whole;
  GetWindowRect(hWnd, &whole);
  POINT client{0, 0};
  ClientToScreen(hWnd, &client);
  OffsetRect(&area, whole.left - client.x, whole.top - client.y);
  RedrawWindow(hWnd, &area, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN | RDW_ERASENOW);
  return TRUE;
}

BOOL HiliteMenuItem(HWND hWnd, HMENU hMenu, UINT uIDHiliteItem, UINT uHilite) {
  if (!FindMenu(hMenu)) return FALSE;
  ItemRef ref;
  if (!FindItem(hMenu, uIDHiliteItem, uHilite, &ref)) return FALSE;
  MenuItem& item = ref.Item();
  item.state = (uHilite & MF_HILITE) ? (item.state | MF_HILITE) : (item.state & ~MF_HILITE);
  if (hWnd && GetMenu(hWnd) == ref.menu->handle) RedrawBarItem(hWnd, ref.index);
  return TRUE;
}

BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem) {
  auto menu = FindMenu(hMenu);
  if (!menu || !lprcItem) return FALSE;
  if (hWnd && GetMenu(hWnd) == hMenu) return BarItemScreenRect(hWnd, static_cast<int>(uItem), lprcItem);
  HWND shown = ShowingWindow(*menu);
  if (!shown || uItem >= menu->items.size()) return FALSE;
  POINT origin{0, 0};
  ClientToScreen(shown, &origin);
  *lprcItem = menu->items[uItem].rect;
  OffsetRect(lprcItem, origin.x, origin.y);
  return TRUE;
}

int MenuItemFromPoint(HWND hWnd, HMENU hMenu, POINT ptScreen) {
  auto menu = FindMenu(hMenu);
  if (!menu) return -1;
  if (hWnd && GetMenu(hWnd) == hMenu) return BarItemAt(hWnd, ptScreen);
  HWND shown = ShowingWindow(*menu);
  if (!shown) return -1;
  POINT pt = ptScreen;
  ScreenToClient(shown, &pt);
  return ItemAt(*menu, pt);
}
