// The "#32768" window class: a pop-up menu's window. It keeps its menu, draws its frame and items,
// answers MN_GETHMENU and hands keys and its sub-menu timer to the menu loop.
#include "menus/menu_draw.h"
#include "menus/menu_layout.h"
#include "menus/menu_loop.h"
#include "user/display.h"

namespace win32::menus {
namespace {

HMENU MenuOf(HWND window) { return reinterpret_cast<HMENU>(GetWindowLongPtrA(window, 0)); }

void EraseItems(HWND window, HDC dc) {
  auto menu = PeekMenu(MenuOf(window));
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, menu ? MenuBackground(*menu, false) : GetSysColorBrush(COLOR_MENU));
}

// The items that meet the DC's clip box, the loop's selection highlighted.
void PaintItems(HWND window, HDC dc) {
  HMENU handle = MenuOf(window);
  auto menu = PeekMenu(handle);
  if (!menu) return;
  RECT clip;
  if (GetClipBox(dc, &clip) == NULLREGION) return;
  const int selected = SelectedItemOf(window);
  const HWND owner = GetWindow(window, GW_OWNER);
  for (size_t i = 0; i < menu->items.size(); ++i) {
    RECT common;
    if (!IntersectRect(&common, &menu->items[i].rect, &clip)) continue;
    ItemLook look;
    look.selected = static_cast<int>(i) == selected;
    DrawMenuItem(dc, owner, handle, static_cast<int>(i), {0, 0}, ODA_DRAWENTIRE, look);
    if (!(menu = PeekMenu(handle))) return;  // the owner destroyed it while drawing
  }
}

// WM_PRINT: the frame, then the client area through WM_ERASEBKGND and WM_PRINTCLIENT.
void Print(HWND window, HDC dc, LPARAM flags) {
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(window)) return;
  if (flags & PRF_NONCLIENT) DrawPopupFrame(window, dc, MenuOf(window));
  RECT whole;
  GetWindowRect(window, &whole);
  POINT client{0, 0};
  ClientToScreen(window, &client);
  POINT old;
  OffsetViewportOrgEx(dc, client.x - whole.left, client.y - whole.top, &old);
  if (flags & PRF_ERASEBKGND) SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if (flags & PRF_CLIENT) SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      return TRUE;
    }
    case MN_GETHMENU: return reinterpret_cast<LRESULT>(MenuOf(window));
    case WM_NCPAINT: {
      HRGN region = reinterpret_cast<HRGN>(wParam);
      const bool real = region && region != reinterpret_cast<HRGN>(1);
      HDC dc = GetDCEx(window, real ? region : nullptr, DCX_WINDOW | DCX_CLIPSIBLINGS | (real ? DCX_INTERSECTRGN : 0));
      DrawPopupFrame(window, dc, MenuOf(window));
      ReleaseDC(window, dc);
      return 0;
    }
    case WM_ERASEBKGND:
      EraseItems(window, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      PaintItems(window, dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintItems(window, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_PRINT:
      Print(window, reinterpret_cast<HDC>(wParam), lParam);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      LoopKeyDown(window, static_cast<UINT>(wParam));
      return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
      LoopChar(window, static_cast<char16_t>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kSubMenuTimer) LoopTimer(window);
      return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The system's classes exist as soon as the layer is loaded.
const bool kRegistered = [] {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_SAVEBITS | CS_DBLCLKS;
  wc.lpfnWndProc = MenuWindowProc;
  wc.cbWndExtra = sizeof(LONG_PTR);  // the menu
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kMenuWindowClass;
  user::RegisterSystemClass(wc);
  return true;
}();

}  // namespace
}  // namespace win32::menus
