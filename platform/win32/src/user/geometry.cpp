// Window placement: SetWindowPos and its messages, showing and hiding, rectangles, coordinate
// conversion, hit testing and window regions.
#include <algorithm>

#include "gdi/dc.h"
#include "menus/menu_bar.h"
#include "user/display.h"
#include "user/user_state.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::user {
namespace {

// SetWindowPos flags the platform adds for WM_WINDOWPOSCHANGED when the client area kept its
// size or place.
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;
constexpr int kMinimizedPos = -32000;

bool SameSize(const RECT& a, const RECT& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

// What of the window is on screen, for exposure.
Region CoveredArea(const Window& w) {
  if (!IsVisibleNow(w)) return Region();
  return VisibleRegion(w.handle, false, false, true);
}

void Restack(Window& w, HWND after) {
  std::lock_guard<std::recursive_mutex> tree(TreeLock());
  auto parent = Win(w.parent);
  if (!parent) return;
  auto& list = parent->children;
  std::erase(list, w.handle);
  auto topmost = [](HWND h) {
    auto t = Win(h);
    return t && (t->exStyle & WS_EX_TOPMOST);
  };
  if (after == HWND_TOPMOST && !w.IsChild()) w.exStyle |= WS_EX_TOPMOST;
  if (after == HWND_NOTOPMOST && !w.IsChild()) w.exStyle &= ~WS_EX_TOPMOST;
  auto at = list.begin();
  if (after == HWND_BOTTOM) {
    at = list.end();
  } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    if (!w.IsChild() && !(w.exStyle & WS_EX_TOPMOST)) {
      while (at != list.end() && topmost(*at)) ++at;
    }
  } else {
    auto it = std::find(list.begin(), list.end(), after);
    at = it == list.end() ? list.begin() : it + 1;
  }
  list.insert(at, w.handle);
}

// Another top-level window of the thread to activate when hwnd goes away.
HWND NextToActivate(HWND leaving) {
  auto gone = Win(leaving);
  if (gone && gone->owner) {
    auto owner = Win(gone->owner);
    if (owner && IsActivatable(*owner)) return owner->handle;
  }
  for (HWND top : ChildrenOf(*Win(Desktop()))) {
    auto t = Win(top);
    if (top != leaving && t && IsActivatable(*t) && t->thread == GetCurrentThreadId()) return top;
  }
  return nullptr;
}

struct Found {
  HWND hwnd = nullptr;
  bool stop = false;  // a disabled child: the search ends at its parent
};

Found Deepest(HWND parentHandle, POINT pt, int* hit) {
  auto parent = Win(parentHandle);
  if (!parent) return {};
  std::vector<HWND> children = ChildrenOf(*parent);
  for (HWND h : children) {
    auto c = Win(h);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    RECT r = ScreenWindowRect(*c);
    if (!PtInRect(&r, pt)) continue;
    if (c->region && !c->region->Contains(pt.x - r.left, pt.y - r.top)) continue;
    if (c->IsChild() && (c->style & WS_DISABLED)) return {nullptr, true};
    RECT client = ScreenClientRect(*c);
    if (PtInRect(&client, pt) && !(c->style & WS_MINIMIZE)) {
      Found inner = Deepest(h, pt, hit);
      if (inner.hwnd) return inner;
      if (inner.stop) {
        *hit = static_cast<int>(Send(h, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)));
        return {h, false};
      }
    }
    int code = static_cast<int>(Send(h, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)));
    if (code == HTTRANSPARENT) continue;
    *hit = code;
    return {h, false};
  }
  return {};
}

}  // namespace

HWND WindowAt(POINT screen, int* hit) {
  int code = HTNOWHERE;
  Found f = Deepest(Desktop(), screen, &code);
  if (hit) *hit = code;
  return f.hwnd ? f.hwnd : Desktop();
}

int HitTestDefault(const Window& w, POINT pt) {
  RECT r = ScreenWindowRect(w);
  if (!PtInRect(&r, pt)) return HTNOWHERE;
  RECT c = ScreenClientRect(w);
  if (PtInRect(&c, pt)) return HTCLIENT;
  if (w.style & WS_MINIMIZE) return HTCAPTION;
  int frame = 0;
  if ((w.exStyle & WS_EX_DLGMODALFRAME) || (w.style & (WS_THICKFRAME | WS_DLGFRAME)) == WS_DLGFRAME) {
    frame = GetSystemMetrics(SM_CXDLGFRAME);
  } else if (w.style & WS_THICKFRAME) {
    frame = GetSystemMetrics(SM_CXFRAME);
    const int corner = GetSystemMetrics(SM_CYCAPTION) + frame;
    const bool left = pt.x < r.left + frame, right = pt.x >= r.right - frame;
    const bool top = pt.y < r.top + frame, bottom = pt.y >= r.bottom - frame;
    if (left || right || top || bottom) {
      const bool nearLeft = pt.x < r.left + corner, nearRight = pt.x >= r.right - corner;
      const bool nearTop = pt.y < r.top + corner, nearBottom = pt.y >= r.bottom - corner;
      if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
      if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
      if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
      if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
      if (left) return HTLEFT;
      if (right) return HTRIGHT;
      return top ? HTTOP : HTBOTTOM;
    }
  } else if (w.style & WS_BORDER) {
    frame = GetSystemMetrics(SM_CXBORDER);
  }
  RECT inner = r;
  InflateRect(&inner, -frame, -frame);
  if (!PtInRect(&inner, pt)) return HTBORDER;
  if ((w.style & WS_CAPTION) == WS_CAPTION) {
    const int height = GetSystemMetrics((w.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (pt.y < inner.top + height) {
      if (w.style & WS_SYSMENU) {
        const int size = GetSystemMetrics(SM_CXSIZE);
        if (pt.x >= inner.right - size) return HTCLOSE;
      }
      return HTCAPTION;
    }
  }
  const RECT bar = menus::MenuBarRect(w.handle);
  if (!IsRectEmpty(&bar) && pt.y >= r.top + bar.top && pt.y < r.top + bar.bottom) return HTMENU;
  if ((w.style & WS_VSCROLL) && pt.x >= c.right && pt.y < c.bottom) return HTVSCROLL;
  if ((w.style & WS_HSCROLL) && pt.y >= c.bottom && pt.x < c.right) return HTHSCROLL;
  return HTBORDER;
}

BOOL SetWindowPosImpl(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
  auto w = Win(hwnd);
  if (!w || hwnd == Desktop()) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  WINDOWPOS wp{hwnd, after, x, y, cx, cy, flags};
  // The platform drops what would change nothing before asking the window.
  if (w->style & WS_VISIBLE) {
    wp.flags &= ~SWP_SHOWWINDOW;
  } else {
    wp.flags &= ~SWP_HIDEWINDOW;
  }
  if (wp.cx < 0) wp.cx = 0;
  if (wp.cy < 0) wp.cy = 0;
  if (!(wp.flags & SWP_NOSIZE) && wp.cx == w->window.right - w->window.left &&
      wp.cy == w->window.bottom - w->window.top) {
    wp.flags |= SWP_NOSIZE;
  }
  if (!(wp.flags & SWP_NOMOVE) && wp.x == w->window.left && wp.y == w->window.top) wp.flags |= SWP_NOMOVE;
  if (wp.hwndInsertAfter == hwnd) wp.flags |= SWP_NOZORDER;
  if (!(wp.flags & SWP_NOSENDCHANGING)) {
    Send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    w = Win(hwnd);
    if (!w) return FALSE;
  }

  const Region oldArea = CoveredArea(*w);
  const RECT oldWindow = w->window;
  const RECT oldClient = w->client;
  RECT newWindow = oldWindow;
  if (!(wp.flags & SWP_NOMOVE)) OffsetRect(&newWindow, wp.x - oldWindow.left, wp.y - oldWindow.top);
  if (!(wp.flags & SWP_NOSIZE)) {
    newWindow.right = newWindow.left + std::max(0, wp.cx);
    newWindow.bottom = newWindow.top + std::max(0, wp.cy);
  }
  RECT newClient = oldClient;
  OffsetRect(&newClient, newWindow.left - oldWindow.left, newWindow.top - oldWindow.top);
  if (!SameSize(newWindow, oldWindow) || (wp.flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS params{{newWindow, oldWindow, oldClient}, &wp};
    Send(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    w = Win(hwnd);
    if (!w) return FALSE;
    newClient = params.rgrc[0];
    if (newClient.right < newClient.left) newClient.right = newClient.left;
    if (newClient.bottom < newClient.top) newClient.bottom = newClient.top;
  }
  w->window = newWindow;
  w->client = newClient;
  if (!(wp.flags & SWP_NOZORDER)) Restack(*w, wp.hwndInsertAfter);
  if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  RefreshWindowDCs();

  const bool changed = !EqualRect(&newWindow, &oldWindow) || (wp.flags & (SWP_SHOWWINDOW | SWP_FRAMECHANGED));
  const Region newArea = CoveredArea(*w);
  const bool savesBits = !w->IsChild() && (w->cls->style & CS_SAVEBITS);
  Region restored;
  if (savesBits && !EqualRect(&newWindow, &oldWindow)) DiscardSavedBits(hwnd);
  if (wp.flags & SWP_HIDEWINDOW) {
    DropPaint(*w);
    WindowHidden(hwnd);
    if (savesBits) restored = RestoreSavedBits(hwnd);
  }
  if (savesBits && (wp.flags & SWP_SHOWWINDOW)) SaveBitsUnder(hwnd);
  if (!(wp.flags & SWP_NOREDRAW)) {
    ExposeScreenArea(oldArea.Subtract(newArea).Subtract(restored));
    if (IsVisibleNow(*w)) {
      // Nothing is copied on screen: a moved, resized or shown window paints itself again.
      const Region fresh = changed ? newArea : newArea.Subtract(oldArea);
      if (!fresh.IsEmpty()) RedrawScreenRegion(hwnd, fresh, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }
  if (!w->IsChild() && (w->style & WS_VISIBLE) && !(wp.flags & SWP_NOACTIVATE) &&
      GetActiveWindow() != hwnd && IsActivatable(*w)) {
    ActivateWindow(hwnd, WA_ACTIVE);
  }
  if ((wp.flags & SWP_HIDEWINDOW) && GetActiveWindow() == hwnd) ActivateWindow(NextToActivate(hwnd), WA_ACTIVE);
  w = Win(hwnd);
  if (!w) return TRUE;
  if (!w->IsChild() && (w->cls->style & CS_DROPSHADOW)) FollowWithShadow(hwnd, (wp.flags & SWP_SHOWWINDOW) != 0);
  w = Win(hwnd);
  if (!w) return TRUE;

  wp.x = newWindow.left;
  wp.y = newWindow.top;
  wp.cx = newWindow.right - newWindow.left;
  wp.cy = newWindow.bottom - newWindow.top;
  if (SameSize(newClient, oldClient)) wp.flags |= kNoClientSize;
  if (newClient.left == oldClient.left && newClient.top == oldClient.top) wp.flags |= kNoClientMove;
  Send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  NotifyTopLevelChanged(RootOf(hwnd));
  return TRUE;
}

void DefaultWindowPosChanged(HWND hwnd, const WINDOWPOS& wp) {
  auto w = Win(hwnd);
  if (!w) return;
  if (!(wp.flags & kNoClientMove)) Send(hwnd, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
  if (!(wp.flags & kNoClientSize)) {
    WPARAM kind = (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    Send(hwnd, WM_SIZE, kind, MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
  }
}

}  // namespace win32::user

using namespace win32;
using namespace win32::user;

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  return SetWindowPosImpl(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPosImpl(hWnd, nullptr, X, Y, nWidth, nHeight,
                          SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hWnd) { return SetWindowPosImpl(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  auto w = Win(hWnd);
  if (!w || hWnd == Desktop()) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const bool wasVisible = w->style & WS_VISIBLE;
  const bool child = w->IsChild();
  UINT flags = SWP_NOMOVE | SWP_NOSIZE;
  if (child) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  switch (nCmdShow) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      Send(hWnd, WM_SHOWWINDOW, FALSE, 0);
      if (!Win(hWnd)) return TRUE;
      if (child) {
        // A hidden child gives the focus back to its parent.
        HWND focus = GetFocus();
        if (focus == hWnd || IsChild(hWnd, focus)) SetFocus(w->parent);
      }
      SetWindowPosImpl(hWnd, nullptr, 0, 0, 0, 0, flags | SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
      return TRUE;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: {
      if (!wasVisible) Send(hWnd, WM_SHOWWINDOW, TRUE, 0);
      if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->restore = w->window;
      w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
      SetWindowPosImpl(hWnd, nullptr, kMinimizedPos, kMinimizedPos, GetSystemMetrics(SM_CXMINTRACK),
                       GetSystemMetrics(SM_CYMINTRACK),
                       SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW);
      if (GetActiveWindow() == hWnd && nCmdShow == SW_MINIMIZE) ActivateWindow(NextToActivate(hWnd), WA_ACTIVE);
      return wasVisible;
    }
    case SW_MAXIMIZE: {
      if (!wasVisible) Send(hWnd, WM_SHOWWINDOW, TRUE, 0);
      if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) w->restore = w->window;
      w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
      RECT area;
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
      RECT in = NonClientInsets(w->style, w->exStyle);
      SetWindowPosImpl(hWnd, nullptr, area.left - in.left, area.top - in.top,
                       area.right - area.left + in.left + in.right, area.bottom - area.top + in.top + in.bottom,
                       SWP_FRAMECHANGED | SWP_SHOWWINDOW);
      return wasVisible;
    }
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
      if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        if (!wasVisible) Send(hWnd, WM_SHOWWINDOW, TRUE, 0);
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        const RECT r = w->restore;
        SetWindowPosImpl(hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_FRAMECHANGED | SWP_SHOWWINDOW | (child ? SWP_NOACTIVATE | SWP_NOZORDER : 0));
        return wasVisible;
      }
      break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
      flags |= SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOW:
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
  if (!wasVisible) {
    Send(hWnd, WM_SHOWWINDOW, TRUE, 0);
    if (!Win(hWnd)) return FALSE;
  }
  SetWindowPosImpl(hWnd, nullptr, 0, 0, 0, 0, flags | SWP_SHOWWINDOW);
  return wasVisible;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  auto w = Win(hWnd ? hWnd : nullptr);
  if (!w || !lpRect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *lpRect = ScreenWindowRect(*w);
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  auto w = Win(hWnd);
  if (!w || !lpRect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *lpRect = {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  auto w = Win(hWnd);
  if (!w || !lpPoint) return FALSE;
  RECT c = ScreenClientRect(*w);
  lpPoint->x += c.left;
  lpPoint->y += c.top;
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  auto w = Win(hWnd);
  if (!w || !lpPoint) return FALSE;
  RECT c = ScreenClientRect(*w);
  lpPoint->x -= c.left;
  lpPoint->y -= c.top;
  return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  POINT from{0, 0}, to{0, 0};
  if (hWndFrom && !ClientToScreen(hWndFrom, &from)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (hWndTo && !ClientToScreen(hWndTo, &to)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  const int dx = from.x - to.x, dy = from.y - to.y;
  for (UINT i = 0; lpPoints && i < cPoints; ++i) {
    lpPoints[i].x += dx;
    lpPoints[i].y += dy;
  }
  SetLastError(ERROR_SUCCESS);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
  if (!lpRect) return FALSE;
  if (!(dwStyle & (WS_POPUP | WS_CHILD))) dwStyle |= WS_CAPTION;
  RECT in = NonClientInsets(dwStyle & ~(WS_VSCROLL | WS_HSCROLL), dwExStyle);
  lpRect->left -= in.left;
  lpRect->top -= in.top + (bMenu ? GetSystemMetrics(SM_CYMENU) : 0);
  lpRect->right += in.right;
  lpRect->bottom += in.bottom;
  return TRUE;
}

BOOL AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
  return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

HWND WindowFromPoint(POINT Point) { return WindowAt(Point, nullptr); }

HWND ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags) {
  auto parent = Win(hwnd);
  if (!parent) return nullptr;
  RECT client{0, 0, parent->client.right - parent->client.left, parent->client.bottom - parent->client.top};
  if (!PtInRect(&client, pt)) return nullptr;
  for (HWND h : ChildrenOf(*parent)) {
    auto c = Win(h);
    if (!c || !c->IsChild()) continue;
    if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (!PtInRect(&c->window, pt)) continue;
    if (c->region && !c->region->Contains(pt.x - c->window.left, pt.y - c->window.top)) continue;
    return h;
  }
  return hwnd;
}

HWND ChildWindowFromPoint(HWND hWndParent, POINT Point) { return ChildWindowFromPointEx(hWndParent, Point, CWP_ALL); }

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  std::optional<Region> shape;
  if (hRgn) {
    auto object = std::dynamic_pointer_cast<gdi::RegionObject>(gdi::FindGdiObject(hRgn));
    if (!object) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    shape = object->region;
    DeleteObject(hRgn);  // the window owns the region now
  }
  const Region oldArea = CoveredArea(*w);
  w->region = std::move(shape);
  RefreshWindowDCs();
  if (bRedraw) ExposeScreenArea(oldArea.Subtract(CoveredArea(*w)));
  SetWindowPosImpl(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                       (bRedraw ? 0 : SWP_NOREDRAW));
  return 1;
}

int GetWindowRgn(HWND hWnd, HRGN hRgn) {
  auto w = Win(hWnd);
  auto object = std::dynamic_pointer_cast<gdi::RegionObject>(gdi::FindGdiObject(hRgn));
  if (!w || !w->region || !object) return ERROR;
  object->region = *w->region;
  return object->region.Type();
}
