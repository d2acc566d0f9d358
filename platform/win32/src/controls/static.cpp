// The "Static" class: text, icons and bitmaps. Without SS_NOTIFY a static is transparent to
// the mouse, so clicks reach what lies below it.
#include "controls/controls.h"
#include "win32/winicon.h"

namespace win32::controls {
namespace {

struct StaticState {
  HFONT font = nullptr;
  HANDLE image = nullptr;  // an HICON for SS_ICON, an HBITMAP for SS_BITMAP
};

UINT Type(HWND hwnd) { return Style(hwnd) & SS_TYPEMASK; }

SIZE ImageSize(UINT type, HANDLE image) {
  if (!image) return {0, 0};
  if (type == SS_BITMAP) {
    BITMAP bm{};
    GetObjectA(image, sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
  }
  ICONINFO info{};
  if (!GetIconInfo(static_cast<HICON>(image), &info)) return {0, 0};
  BITMAP bm{};
  GetObjectA(info.hbmMask, sizeof bm, &bm);
  SIZE size{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return size;
}

void PaintImage(HWND hwnd, HDC hdc, UINT type, HANDLE image, const RECT& rc) {
  if (!image) return;
  SIZE size = ImageSize(type, image);
  int x = rc.left, y = rc.top;
  if (Style(hwnd) & SS_CENTERIMAGE) {
    x = (rc.right - size.cx) / 2;
    y = (rc.bottom - size.cy) / 2;
  }
  if (type == SS_ICON) {
    DrawIconEx(hdc, x, y, static_cast<HICON>(image), 0, 0, 0, nullptr, DI_NORMAL);
    return;
  }
  HDC mem = CreateCompatibleDC(hdc);
  HGDIOBJ old = SelectObject(mem, image);
  BitBlt(hdc, x, y, size.cx, size.cy, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void Paint(HWND hwnd, HDC hdc, const StaticState& st) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSTATIC);
  const UINT type = Type(hwnd);
  FillRect(hdc, &rc, brush);
  if (type == SS_ICON || type == SS_BITMAP) {
    PaintImage(hwnd, hdc, type, st.image, rc);
    return;
  }
  HGDIOBJ oldFont = SelectControlFont(hdc, st.font);
  UINT format = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;
  if (type == SS_CENTER) format = DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS;
  if (type == SS_RIGHT) format = DT_RIGHT | DT_WORDBREAK | DT_EXPANDTABS;
  if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) format = DT_LEFT | DT_SINGLELINE | DT_EXPANDTABS;
  if (Style(hwnd) & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (Style(hwnd) & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(hdc, TRANSPARENT);
  std::string text = Text(hwnd);
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &rc, format);
  SelectObject(hdc, oldFont);
}

HANDLE SetImage(HWND hwnd, StaticState* st, HANDLE image) {
  HANDLE old = st->image;
  st->image = image;
  InvalidateRect(hwnd, nullptr, TRUE);
  return old;
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  StaticState* st = Lifetime<StaticState>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  const UINT type = Type(hwnd);
  switch (msg) {
    case WM_CREATE: {
      // An icon or bitmap static's text names its image resource.
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      // The name may be an integer resource id rather than text.
      if (cs->lpszName && (IS_INTRESOURCE(cs->lpszName) || *cs->lpszName)) {
        if (type == SS_ICON) st->image = LoadIconA(cs->hInstance, cs->lpszName);
        if (type == SS_BITMAP) st->image = LoadBitmapA(cs->hInstance, cs->lpszName);
      }
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_NCHITTEST:
      if (!(Style(hwnd) & SS_NOTIFY)) return HTTRANSPARENT;
      break;
    case WM_SETFONT:
      st->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      if (Style(hwnd) & SS_NOTIFY) Notify(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_LBUTTONDOWN:
      if (Style(hwnd) & SS_NOTIFY) Notify(hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (Style(hwnd) & SS_NOTIFY) Notify(hwnd, STN_DBLCLK);
      return 0;
    case STM_SETICON: return type == SS_ICON ? reinterpret_cast<LRESULT>(SetImage(hwnd, st, reinterpret_cast<HANDLE>(wParam))) : 0;
    case STM_GETICON: return type == SS_ICON ? reinterpret_cast<LRESULT>(st->image) : 0;
    case STM_SETIMAGE:
      if ((wParam == IMAGE_BITMAP && type == SS_BITMAP) || (wParam == IMAGE_ICON && type == SS_ICON)) {
        return reinterpret_cast<LRESULT>(SetImage(hwnd, st, reinterpret_cast<HANDLE>(lParam)));
      }
      return 0;
    case STM_GETIMAGE:
      if ((wParam == IMAGE_BITMAP && type == SS_BITMAP) || (wParam == IMAGE_ICON && type == SS_ICON)) {
        return reinterpret_cast<LRESULT>(st->image);
      }
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win32::controls
