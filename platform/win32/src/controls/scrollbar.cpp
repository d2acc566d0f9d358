// The "ScrollBar" class and the scroll bar functions, flat ones included. A window's own bars
// (WS_HSCROLL, WS_VSCROLL) keep their range, position and disabled arrows here too; the window
// draws and hit-tests them in its non-client area.
#include <algorithm>
#include <map>
#include <mutex>

#include "controls/controls.h"
#include "win32/commctrl.h"

namespace win32::controls {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 400;
constexpr UINT kRepeat = 50;

struct BarInfo {
  int min = 0;
  int max = 0;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  UINT disabledArrows = 0;  // ESB_DISABLE_* of EnableScrollBar
};

int SetInfo(BarInfo& bar, const SCROLLINFO& si) {
  if (si.fMask & SIF_RANGE) {
    bar.min = si.nMin;
    bar.max = std::max(si.nMin, si.nMax);
  }
  if (si.fMask & SIF_PAGE) bar.page = si.nPage;
  const int span = bar.max - bar.min + 1;
  if (bar.page > static_cast<UINT>(span)) bar.page = static_cast<UINT>(span);
  if (si.fMask & SIF_POS) bar.pos = si.nPos;
  const int highest = bar.max - std::max(static_cast<int>(bar.page) - 1, 0);
  bar.pos = std::clamp(bar.pos, bar.min, std::max(bar.min, highest));
  return bar.pos;
}

void GetInfo(const BarInfo& bar, SCROLLINFO& si) {
  if (si.fMask & SIF_RANGE) {
    si.nMin = bar.min;
    si.nMax = bar.max;
  }
  if (si.fMask & SIF_PAGE) si.nPage = bar.page;
  if (si.fMask & SIF_POS) si.nPos = bar.pos;
  if (si.fMask & SIF_TRACKPOS) si.nTrackPos = bar.trackPos;
}

// ---- Window bars --------------------------------------------------------------------------------

struct WindowBars {
  std::mutex lock;
  std::map<std::pair<HWND, int>, BarInfo> bars;
};

WindowBars& Bars() {
  static WindowBars* bars = new WindowBars;
  return *bars;
}

template <class F>
auto WithWindowBar(HWND hwnd, int bar, F f) {
  WindowBars& all = Bars();
  std::lock_guard<std::mutex> guard(all.lock);
  std::erase_if(all.bars, [](const auto& entry) { return !IsWindow(entry.first.first); });
  return f(all.bars[{hwnd, bar}]);
}

// ---- The control --------------------------------------------------------------------------------

enum class Part { None, LineUp, PageUp, Thumb, PageDown, LineDown };

struct ScrollState {
  BarInfo bar;
  Part pressed = Part::None;
  int grabOffset = 0;  // where in the thumb the mouse holds it
};

bool Vertical(HWND hwnd) { return Style(hwnd) & SBS_VERT; }

struct Geometry {
  int length;  // along the bar
  int arrow;
  int thumbStart;
  int thumbLength;
};

Geometry Measure(HWND hwnd, const BarInfo& bar) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const bool vertical = Vertical(hwnd);
  Geometry g{};
  g.length = vertical ? rc.bottom : rc.right;
  const int across = vertical ? rc.right : rc.bottom;
  g.arrow = std::min(across, g.length / 2);
  const int shaft = std::max(0, g.length - 2 * g.arrow);
  const int span = bar.max - bar.min + 1;
  g.thumbLength = bar.page ? std::max(8, static_cast<int>(static_cast<long long>(shaft) * bar.page / std::max(1, span)))
                           : std::min(g.arrow, shaft);
  g.thumbLength = std::min(g.thumbLength, shaft);
  const int travel = bar.max - bar.min - std::max(static_cast<int>(bar.page) - 1, 0);
  g.thumbStart = g.arrow + (travel > 0 ? static_cast<int>(static_cast<long long>(bar.pos - bar.min) *
                                                          (shaft - g.thumbLength) / travel)
                                       : 0);
  return g;
}

Part PartAt(HWND hwnd, const BarInfo& bar, int along) {
  Geometry g = Measure(hwnd, bar);
  if (along < 0 || along >= g.length) return Part::None;
  if (along < g.arrow) return Part::LineUp;
  if (along >= g.length - g.arrow) return Part::LineDown;
  if (along < g.thumbStart) return Part::PageUp;
  if (along < g.thumbStart + g.thumbLength) return Part::Thumb;
  return Part::PageDown;
}

void Tell(HWND hwnd, int code, int pos = 0) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  SendMessageA(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(hwnd));
}

void Act(HWND hwnd, Part part) {
  switch (part) {
    case Part::LineUp: Tell(hwnd, SB_LINEUP); break;
    case Part::LineDown: Tell(hwnd, SB_LINEDOWN); break;
    case Part::PageUp: Tell(hwnd, SB_PAGEUP); break;
    case Part::PageDown: Tell(hwnd, SB_PAGEDOWN); break;
    default: break;
  }
}

int PosAtThumb(HWND hwnd, const BarInfo& bar, int thumbStart) {
  Geometry g = Measure(hwnd, bar);
  const int shaft = g.length - 2 * g.arrow - g.thumbLength;
  const int travel = bar.max - bar.min - std::max(static_cast<int>(bar.page) - 1, 0);
  if (shaft <= 0 || travel <= 0) return bar.min;
  int pos = bar.min + static_cast<int>(static_cast<long long>(thumbStart - g.arrow) * travel / shaft);
  return std::clamp(pos, bar.min, bar.min + travel);
}

void Paint(HWND hwnd, HDC hdc, const ScrollState& st) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const bool vertical = Vertical(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSCROLLBAR);
  FillRect(hdc, &rc, brush);
  Geometry g = Measure(hwnd, st.bar);
  auto span = [&](int from, int to) {
    return vertical ? RECT{rc.left, from, rc.right, to} : RECT{from, rc.top, to, rc.bottom};
  };
  RECT up = span(0, g.arrow), down = span(g.length - g.arrow, g.length);
  const bool upDisabled = !enabled || (st.bar.disabledArrows & ESB_DISABLE_LTUP);
  const bool downDisabled = !enabled || (st.bar.disabledArrows & ESB_DISABLE_RTDN);
  DrawScrollArrow(hdc, up, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) |
                                             (st.pressed == Part::LineUp ? DFCS_PUSHED : 0) | (upDisabled ? DFCS_INACTIVE : 0));
  DrawScrollArrow(hdc, down, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) |
                                               (st.pressed == Part::LineDown ? DFCS_PUSHED : 0) | (downDisabled ? DFCS_INACTIVE : 0));
  if (enabled && st.bar.max > st.bar.min && g.thumbLength > 0) {
    RECT thumb = span(g.thumbStart, g.thumbStart + g.thumbLength);
    FillRect(hdc, &thumb, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(hdc, &thumb, EDGE_RAISED, BF_RECT);
  }
}

}  // namespace

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ScrollState* st = Lifetime<ScrollState>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  auto along = [hwnd, lParam] { return Vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam); };
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      Part part = PartAt(hwnd, st->bar, along());
      if (part == Part::None) return 0;
      if ((part == Part::LineUp && (st->bar.disabledArrows & ESB_DISABLE_LTUP)) ||
          (part == Part::LineDown && (st->bar.disabledArrows & ESB_DISABLE_RTDN))) {
        return 0;
      }
      st->pressed = part;
      SetCapture(hwnd);
      if (part == Part::Thumb) {
        st->grabOffset = along() - Measure(hwnd, st->bar).thumbStart;
        st->bar.trackPos = st->bar.pos;
      } else {
        Act(hwnd, part);
        SetTimer(hwnd, kRepeatTimer, kFirstRepeat, nullptr);
      }
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kRepeatTimer && st->pressed != Part::None && st->pressed != Part::Thumb) {
        SetTimer(hwnd, kRepeatTimer, kRepeat, nullptr);
        // Page repeats stop once the thumb reaches the mouse.
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
        Part under = PartAt(hwnd, st->bar, Vertical(hwnd) ? pt.y : pt.x);
        if (under == st->pressed) Act(hwnd, st->pressed);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (st->pressed == Part::Thumb) {
        int pos = PosAtThumb(hwnd, st->bar, along() - st->grabOffset);
        if (pos != st->bar.trackPos) {
          st->bar.trackPos = pos;
          Tell(hwnd, SB_THUMBTRACK, pos);
        }
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      if (st->pressed == Part::None) return 0;
      Part was = st->pressed;
      st->pressed = Part::None;
      KillTimer(hwnd, kRepeatTimer);
      if (msg == WM_LBUTTONUP) ReleaseCapture();
      if (was == Part::Thumb) Tell(hwnd, SB_THUMBPOSITION, st->bar.trackPos);
      Tell(hwnd, SB_ENDSCROLL);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    }
    case SBM_SETSCROLLINFO: {
      if (!lParam) return st->bar.pos;
      int pos = SetInfo(st->bar, *reinterpret_cast<const SCROLLINFO*>(lParam));
      if (wParam) InvalidateRect(hwnd, nullptr, FALSE);
      return pos;
    }
    case SBM_GETSCROLLINFO:
      if (!lParam) return FALSE;
      GetInfo(st->bar, *reinterpret_cast<SCROLLINFO*>(lParam));
      return TRUE;
    case SBM_SETPOS:
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      const int old = st->bar.pos;
      SCROLLINFO si{sizeof si, msg == SBM_SETPOS ? static_cast<UINT>(SIF_POS) : static_cast<UINT>(SIF_RANGE),
                    static_cast<int>(wParam), static_cast<int>(lParam), 0, static_cast<int>(wParam), 0};
      SetInfo(st->bar, si);
      if ((msg == SBM_SETPOS && lParam) || msg == SBM_SETRANGEREDRAW) InvalidateRect(hwnd, nullptr, FALSE);
      return old;
    }
    case SBM_GETPOS: return st->bar.pos;
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<LPINT>(wParam) = st->bar.min;
      if (lParam) *reinterpret_cast<LPINT>(lParam) = st->bar.max;
      return 0;
    case SBM_ENABLE_ARROWS: {
      const UINT arrows = static_cast<UINT>(wParam) & ESB_DISABLE_BOTH;
      if (arrows == st->bar.disabledArrows) return FALSE;
      st->bar.disabledArrows = arrows;
      InvalidateRect(hwnd, nullptr, FALSE);
      return TRUE;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win32::controls

using namespace win32::controls;

int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw) {
  if (!lpsi || !IsWindow(hwnd)) return 0;
  if (nBar == SB_CTL) return static_cast<int>(SendMessageA(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(lpsi)));
  if (nBar != SB_HORZ && nBar != SB_VERT) return 0;
  int pos = WithWindowBar(hwnd, nBar, [lpsi](BarInfo& bar) { return SetInfo(bar, *lpsi); });
  if (redraw) RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
  return pos;
}

BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi) {
  if (!lpsi || !IsWindow(hwnd)) return FALSE;
  if (nBar == SB_CTL) return static_cast<BOOL>(SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi)));
  if (nBar != SB_HORZ && nBar != SB_VERT) return FALSE;
  WithWindowBar(hwnd, nBar, [lpsi](BarInfo& bar) {
    GetInfo(bar, *lpsi);
    return 0;
  });
  return TRUE;
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
  SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(hWnd, nBar, &si)) return 0;
  const int old = si.nPos;
  si.nPos = nPos;
  SetScrollInfo(hWnd, nBar, &si, bRedraw);
  return old;
}

int GetScrollPos(HWND hWnd, int nBar) {
  SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
  return GetScrollInfo(hWnd, nBar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  SCROLLINFO si{sizeof si, SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
  if (!IsWindow(hWnd)) return FALSE;
  SetScrollInfo(hWnd, nBar, &si, bRedraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
  SCROLLINFO si{sizeof si, SIF_RANGE, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(hWnd, nBar, &si)) return FALSE;
  if (lpMinPos) *lpMinPos = si.nMin;
  if (lpMaxPos) *lpMaxPos = si.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
  if (!IsWindow(hWnd)) return FALSE;
  if (wBar == SB_CTL) {
    ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  DWORD bits = wBar == SB_HORZ ? WS_HSCROLL : wBar == SB_VERT ? WS_VSCROLL : wBar == SB_BOTH ? WS_HSCROLL | WS_VSCROLL : 0;
  if (!bits) return FALSE;
  DWORD style = Style(hWnd);
  DWORD wanted = bShow ? (style | bits) : (style & ~bits);
  if (wanted != style) {
    SetWindowLongA(hWnd, GWL_STYLE, static_cast<LONG>(wanted));
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return TRUE;
}

BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows) {
  if (!IsWindow(hWnd) || wSBflags > SB_BOTH) return FALSE;
  if (wSBflags == SB_CTL) return static_cast<BOOL>(SendMessageA(hWnd, SBM_ENABLE_ARROWS, wArrows, 0));
  bool changed = false;
  for (int bar : {SB_HORZ, SB_VERT}) {
    if (wSBflags != SB_BOTH && static_cast<int>(wSBflags) != bar) continue;
    changed |= WithWindowBar(hWnd, bar, [wArrows](BarInfo& info) {
      const UINT arrows = wArrows & ESB_DISABLE_BOTH;
      const bool differs = arrows != info.disabledArrows;
      info.disabledArrows = arrows;
      return differs;
    });
  }
  if (changed && (Style(hWnd) & (WS_HSCROLL | WS_VSCROLL))) {
    RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
  }
  return changed;
}

// Flat scroll bars are the window's standard bars.
BOOL InitializeFlatSB(HWND hwnd) { return IsWindow(hwnd); }

BOOL FlatSB_EnableScrollBar(HWND hwnd, int wSBflags, UINT wArrows) {
  return wSBflags == SB_CTL ? FALSE : EnableScrollBar(hwnd, static_cast<UINT>(wSBflags), wArrows);
}
