// DefWindowProc and the default look of the non-client area.
#include <algorithm>
#include <cstring>

#include "menus/menu_bar.h"
#include "menus/menu_loop.h"
#include "user/display.h"
#include "user/user_state.h"
#include "win32/winbase.h"
#include "win32/winerror.h"
#include "win32/winuser_draw.h"

namespace win32::user {
namespace {

WindowScrollBars& ScrollBars() {
  static WindowScrollBars handlers;
  return handlers;
}

HFONT CaptionFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    return CreateFontIndirectA(&m.lfCaptionFont);
  }();
  return font;
}

void FillColor(HDC hdc, const RECT& r, int color) {
  FillRect(hdc, &r, GetSysColorBrush(color));
}

LRESULT EraseWithClassBrush(const Window& w, HDC hdc) {
  HBRUSH brush = w.cls->background;
  if (!brush) return 0;
  RECT r{0, 0, w.client.right - w.client.left, w.client.bottom - w.client.top};
  FillRect(hdc, &r, brush);
  return 1;
}

LRESULT CtlColor(UINT message, HDC hdc) {
  const bool light = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
  const int back = light ? COLOR_WINDOW : message == WM_CTLCOLORSCROLLBAR ? COLOR_SCROLLBAR : COLOR_3DFACE;
  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(hdc, GetSysColor(back));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

void Print(HWND hwnd, HDC hdc, LPARAM flags) {
  auto w = Win(hwnd);
  if (!w) return;
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd)) return;
  if (flags & PRF_NONCLIENT) PaintNonClient(hwnd, hdc, GetActiveWindow() == hwnd);
  // Client drawing with the origin at the client area's top left.
  const int dx = w->client.left - w->window.left, dy = w->client.top - w->window.top;
  POINT old;
  OffsetViewportOrgEx(hdc, dx, dy, &old);
  if (flags & PRF_ERASEBKGND) Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
  if (flags & PRF_CLIENT) Send(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), flags);
  if (flags & PRF_CHILDREN) {
    if (auto again = Win(hwnd)) {
      std::vector<HWND> children = ChildrenOf(*again);
      // Bottom first, so that upper children end up on top.
      for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto c = Win(*it);
        if (!c || !(c->style & WS_VISIBLE)) continue;
        POINT inner;
        OffsetViewportOrgEx(hdc, c->window.left, c->window.top, &inner);
        Send(*it, WM_PRINT, reinterpret_cast<WPARAM>(hdc), flags | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT);
        SetViewportOrgEx(hdc, inner.x, inner.y, nullptr);
      }
    }
  }
  SetViewportOrgEx(hdc, old.x, old.y, nullptr);
}

LRESULT SetCursorDefault(const Window& w, WPARAM wParam, LPARAM lParam) {
  if (w.IsChild()) {
    if (Send(w.parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  }
  // Asked on behalf of a child, the default leaves the cursor to the child.
  if (reinterpret_cast<HWND>(wParam) != w.handle) return FALSE;
  const int hit = static_cast<short>(LOWORD(lParam));
  LPCSTR shape = IDC_ARROW;
  switch (hit) {
    case HTCLIENT:
      if (w.cls->cursor) {
        SetCursor(w.cls->cursor);
        return TRUE;
      }
      return FALSE;
    case HTERROR:
    case HTNOWHERE: return FALSE;
    case HTLEFT:
    case HTRIGHT: shape = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: shape = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: shape = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: shape = IDC_SIZENESW; break;
  }
  SetCursor(LoadCursorA(nullptr, shape));
  return TRUE;
}

}  // namespace

void PaintNonClient(HWND hwnd, HDC hdc, bool active) {
  auto w = Win(hwnd);
  if (!w) return;
  RECT r{0, 0, w->window.right - w->window.left, w->window.bottom - w->window.top};
  const DWORD style = w->style, ex = w->exStyle;
  if ((ex & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)) == WS_DLGFRAME) {
    DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameRect(hdc, &r, GetSysColorBrush(COLOR_3DFACE));
    InflateRect(&r, -1, -1);
  } else if (style & WS_THICKFRAME) {
    DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    HBRUSH border = GetSysColorBrush(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
    for (int i = 0; i < GetSystemMetrics(SM_CXFRAME) - 2; ++i) {
      FrameRect(hdc, &r, border);
      InflateRect(&r, -1, -1);
    }
  } else if (style & WS_BORDER) {
    FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if ((style & WS_CAPTION) == WS_CAPTION) {
    const int height = GetSystemMetrics((ex & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    RECT bar{r.left, r.top, r.right, r.top + height - 1};
    FillColor(hdc, bar, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    FillColor(hdc, {r.left, bar.bottom, r.right, bar.bottom + 1}, COLOR_3DFACE);
    RECT text = bar;
    text.left += 3;
    if (style & WS_SYSMENU) {
      // The close button, as the platform draws it at the caption's right end.
      const int size = GetSystemMetrics(SM_CXSIZE);
      RECT close{bar.right - size, bar.top + 2, bar.right - 2, bar.bottom - 2};
      DrawFrameControl(hdc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
      text.right = close.left - 2;
    }
    HGDIOBJ oldFont = SelectObject(hdc, CaptionFont());
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    DrawTextA(hdc, w->text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(hdc, oldFont);
    r.top += height;
  }
  if (const int bar = menus::MenuBarHeight(hwnd)) {
    menus::PaintMenuBar(hwnd, hdc);
    r.top += bar;
  }
  if (ex & WS_EX_CLIENTEDGE) DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (ex & WS_EX_STATICEDGE) DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  RECT client = w->client;
  OffsetRect(&client, -w->window.left, -w->window.top);
  const WindowScrollBars& bars = ScrollBars();
  auto bar = [&](int which, const RECT& area) {
    if (bars.paint) {
      bars.paint(hwnd, hdc, which, area);
    } else {
      FillColor(hdc, area, COLOR_SCROLLBAR);
    }
  };
  if (style & WS_VSCROLL) bar(1, {client.right, client.top, r.right, client.bottom});
  if (style & WS_HSCROLL) bar(0, {client.left, client.bottom, client.right, r.bottom});
  if ((style & WS_VSCROLL) && (style & WS_HSCROLL)) FillColor(hdc, {client.right, client.bottom, r.right, r.bottom}, COLOR_3DFACE);
}

WindowScrollBars SetWindowScrollBars(const WindowScrollBars& handlers) {
  const WindowScrollBars before = ScrollBars();
  ScrollBars() = handlers;
  return before;
}

}  // namespace win32::user

using namespace win32;
using namespace win32::user;

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto w = Win(hWnd);
  if (!w) return 0;
  switch (Msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      RECT* r = reinterpret_cast<RECT*>(lParam);  // rgrc[0] when wParam is TRUE
      if (!r) return 0;
      if (w->style & WS_MINIMIZE) {
        r->right = r->left;
        r->bottom = r->top;
        return 0;
      }
      RECT in = NonClientInsets(w->style, w->exStyle);
      r->left += in.left;
      r->top += in.top + menus::MenuBarHeight(hWnd);
      r->right = std::max(r->left, r->right - in.right);
      r->bottom = std::max(r->top, r->bottom - in.bottom);
      return 0;
    }
    case WM_NCHITTEST: return HitTestDefault(*w, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: {
      HRGN rgn = reinterpret_cast<HRGN>(wParam);
      // Like the client area, the frame clips siblings only with WS_CLIPSIBLINGS: a group box
      // above an edit must not hide the edit's frame.
      const DWORD siblings = (w->style & WS_CLIPSIBLINGS) ? DCX_CLIPSIBLINGS : 0;
      HDC hdc = GetDCEx(hWnd, rgn, DCX_WINDOW | siblings | (rgn ? DCX_INTERSECTRGN : 0));
      PaintNonClient(hWnd, hdc, GetActiveWindow() == hWnd);
      ReleaseDC(hWnd, hdc);
      return 0;
    }
    case WM_NCACTIVATE:
      if (IsWindowVisible(hWnd) && !w->IsChild()) {
        HDC hdc = GetWindowDC(hWnd);
        PaintNonClient(hWnd, hdc, wParam != 0);
        ReleaseDC(hWnd, hdc);
      }
      return TRUE;
    case WM_ERASEBKGND: return EraseWithClassBrush(*w, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hWnd, &ps);
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_PRINT:
      Print(hWnd, reinterpret_cast<HDC>(wParam), lParam);
      return 0;
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if ((w->style & WS_CAPTION) == WS_CAPTION && IsWindowVisible(hWnd)) {
        // The caption shows the new text at once; the client area is not touched.
        HDC hdc = GetWindowDC(hWnd);
        PaintNonClient(hWnd, hdc, GetActiveWindow() == hWnd);
        ReleaseDC(hWnd, hdc);
      }
      return TRUE;
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) return 0;
      size_t n = std::min(w->text.size(), static_cast<size_t>(wParam - 1));
      std::memcpy(buffer, w->text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_SETREDRAW:
      // Only the visible bit, without showing or hiding anything.
      if (wParam) {
        w->style |= WS_VISIBLE;
      } else {
        w->style &= ~WS_VISIBLE;
      }
      RefreshWindowDCs();
      return 0;
    case WM_SETICON: {
      HICON& slot = wParam ? w->iconBig : w->iconSmall;
      HICON old = slot;
      slot = reinterpret_cast<HICON>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON: return reinterpret_cast<LRESULT>(wParam ? w->iconBig : w->iconSmall);
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_WINDOWPOSCHANGED:
      DefaultWindowPosChanged(hWnd, *reinterpret_cast<WINDOWPOS*>(lParam));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) SetFocus(hWnd);
      return 0;
    case WM_MOUSEACTIVATE:
      if (w->IsChild()) {
        if (LRESULT r = Send(w->parent, WM_MOUSEACTIVATE, wParam, lParam)) return r;
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR: return SetCursorDefault(*w, wParam, lParam);
    case WM_MOUSEWHEEL:
      if (w->IsChild()) return Send(w->parent, Msg, wParam, lParam);
      return 0;
    case WM_RBUTTONUP: {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hWnd, &pt);
      Send(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(pt.x, pt.y));
      return 0;
    }
    case WM_CONTEXTMENU:
      if (w->IsChild()) {
        Send(w->parent, Msg, wParam, lParam);
      } else if (const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; HitTestDefault(*w, pt) == HTCAPTION) {
        menus::TrackSystemMenu(hWnd, pt);
      }
      return 0;
    case WM_NCLBUTTONDOWN:
      if (wParam == HTMENU) Send(hWnd, WM_SYSCOMMAND, SC_MOUSEMENU + HTMENU, lParam);
      if (wParam == HTCAPTION) Send(hWnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
      if (wParam == HTCLOSE) Send(hWnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      if ((wParam == HTHSCROLL || wParam == HTVSCROLL) && ScrollBars().press) {
        ScrollBars().press(hWnd, wParam == HTVSCROLL ? 1 : 0, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      }
      return 0;
    case WM_NCMOUSEMOVE:
      menus::TrackBarHot(hWnd, static_cast<int>(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_NCMOUSELEAVE:
      menus::TrackBarHot(hWnd, HTNOWHERE, {0, 0});
      return 0;
    case WM_NCRBUTTONUP:
      // A right click on the caption asks for the context menu, which is the system menu.
      if (wParam == HTCAPTION || wParam == HTSYSMENU) Send(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), lParam);
      return 0;
    case WM_SYSCHAR:
      // Alt+Space (the context bit, 29, tells Alt was down) opens the system menu.
      if (wParam == ' ' && (lParam & (1 << 29))) Send(hWnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MOUSEMENU: menus::TrackMenuBar(hWnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); break;
        case SC_KEYMENU:
          if (lParam == ' ') {
            RECT r = ScreenWindowRect(*w);
            const RECT in = NonClientInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL), w->exStyle);
            menus::TrackSystemMenu(hWnd, {r.left + in.left, r.top + in.top});
          }
          break;
        case SC_MOVE: MoveLoop(hWnd); break;
        case SC_CLOSE: Send(hWnd, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(hWnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hWnd, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(hWnd, SW_RESTORE); break;
      }
      return 0;
    case WM_CANCELMODE:
      if (GetCapture() == hWnd) ReleaseCapture();
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return CtlColor(Msg, reinterpret_cast<HDC>(wParam));
  }
  return 0;
}
