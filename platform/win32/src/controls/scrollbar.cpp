// The "ScrollBar" class and the scroll bar functions, flat ones included. A window's own bars
// (WS_HSCROLL, WS_VSCROLL) keep their range, position and disabled arrows here too; the window
// draws and hit-tests them in its non-client area.
#include <algorithm>
#include <map>
#include <mutex>

#include "controls/controls.h"
#include "user/user_state.h"
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

// Something lies beyond the page: a bar without it has no thumb and greyed arrows.
bool Scrolls(const BarInfo& bar) {
  const int span = bar.max - bar.min + 1;
  return bar.max > bar.min && (bar.page == 0 || static_cast<int>(bar.page) < span);
}

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

// The arrows take a square each at the ends; the thumb's length is the page's share of the shaft.
Geometry Measure(int length, int across, const BarInfo& bar) {
  Geometry g{};
  g.length = length;
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

Geometry Measure(HWND hwnd, const BarInfo& bar) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return Vertical(hwnd) ? Measure(rc.bottom, rc.right, bar) : Measure(rc.right, rc.bottom, bar);
}

Part PartOf(const Geometry& g, int along) {
  if (along < 0 || along >= g.length) return Part::None;
  if (along < g.arrow) return Part::LineUp;
  if (along >= g.length - g.arrow) return Part::LineDown;
  if (along < g.thumbStart) return Part::PageUp;
  if (along < g.thumbStart + g.thumbLength) return Part::Thumb;
  return Part::PageDown;
}

int PosAtThumb(const Geometry& g, const BarInfo& bar, int thumbStart) {
  const int shaft = g.length - 2 * g.arrow - g.thumbLength;
  const int travel = bar.max - bar.min - std::max(static_cast<int>(bar.page) - 1, 0);
  if (shaft <= 0 || travel <= 0) return bar.min;
  int pos = bar.min + static_cast<int>(static_cast<long long>(thumbStart - g.arrow) * travel / shaft);
  return std::clamp(pos, bar.min, bar.min + travel);
}

// Arrows, shaft and thumb of a bar over area; the shaft is filled with shaftBrush.
void DrawBar(HDC hdc, const RECT& area, bool vertical, const BarInfo& bar, const Geometry& g, HBRUSH shaftBrush,
             bool enabled, Part pressed) {
  FillRect(hdc, &area, shaftBrush);
  auto span = [&](int from, int to) {
    return vertical ? RECT{area.left, area.top + from, area.right, area.top + to}
                    : RECT{area.left + from, area.top, area.left + to, area.bottom};
  };
  const bool upDisabled = !enabled || (bar.disabledArrows & ESB_DISABLE_LTUP);
  const bool downDisabled = !enabled || (bar.disabledArrows & ESB_DISABLE_RTDN);
  DrawScrollArrow(hdc, span(0, g.arrow),
                  (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | (pressed == Part::LineUp ? DFCS_PUSHED : 0) |
                      (upDisabled ? DFCS_INACTIVE : 0));
  DrawScrollArrow(hdc, span(g.length - g.arrow, g.length),
                  (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | (pressed == Part::LineDown ? DFCS_PUSHED : 0) |
                      (downDisabled ? DFCS_INACTIVE : 0));
  if (enabled && Scrolls(bar) && g.thumbLength > 0) {
    DrawScrollThumb(hdc, span(g.thumbStart, g.thumbStart + g.thumbLength), vertical);
  }
}

Part PartAt(HWND hwnd, const BarInfo& bar, int along) { return PartOf(Measure(hwnd, bar), along); }

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

void Paint(HWND hwnd, HDC hdc, const ScrollState& st) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSCROLLBAR);
  DrawBar(hdc, rc, Vertical(hwnd), st.bar, Measure(hwnd, st.bar), brush, IsWindowEnabled(hwnd), st.pressed);
}

// ---- A window's own bars -------------------------------------------------------------------------

constexpr UINT_PTR kWindowBarTimer = 0xFFF0;  // out of the way of the window's own timers

// The part of a window bar held down, drawn pushed while it is.
struct WindowBarPress {
  HWND hwnd = nullptr;
  int bar = 0;
  Part part = Part::None;
};
thread_local WindowBarPress windowBarPress;

BarInfo WindowBar(HWND hwnd, int bar) {
  return WithWindowBar(hwnd, bar, [](BarInfo& info) { return info; });
}

// The bar's area in screen coordinates: beside or below the client area.
RECT WindowBarArea(HWND hwnd, int bar) {
  RECT client;
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  if (bar == SB_VERT) return {client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom};
  return {client.left, client.bottom, client.right, client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

Geometry MeasureArea(const RECT& area, bool vertical, const BarInfo& bar) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  return vertical ? Measure(height, width, bar) : Measure(width, height, bar);
}

void RedrawBars(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

}  // namespace

void PaintWindowBar(HWND hwnd, HDC windowDc, int bar, const RECT& area) {
  const BarInfo info = WindowBar(hwnd, bar);
  const bool vertical = bar == SB_VERT;
  const Part pressed = windowBarPress.hwnd == hwnd && windowBarPress.bar == bar ? windowBarPress.part : Part::None;
  // A bar with nothing to scroll shows its arrows greyed.
  DrawBar(windowDc, area, vertical, info, MeasureArea(area, vertical, info), GetSysColorBrush(COLOR_SCROLLBAR),
          IsWindowEnabled(hwnd) && Scrolls(info), pressed);
}

// Tracks the mouse on a window's bar until the button is released, telling the window what the
// user asks for: it moves its content and the position itself.
void PressWindowBar(HWND hwnd, int bar, POINT screen) {
  const bool vertical = bar == SB_VERT;
  const RECT area = WindowBarArea(hwnd, bar);
  auto along = [&](POINT pt) { return vertical ? pt.y - area.top : pt.x - area.left; };
  BarInfo info = WindowBar(hwnd, bar);
  if (!IsWindowEnabled(hwnd) || !Scrolls(info)) return;
  const Part part = PartOf(MeasureArea(area, vertical, info), along(screen));
  if (part == Part::None || (part == Part::LineUp && (info.disabledArrows & ESB_DISABLE_LTUP)) ||
      (part == Part::LineDown && (info.disabledArrows & ESB_DISABLE_RTDN))) {
    return;
  }
  const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
  auto tell = [&](int code, int pos = 0) { SendMessageA(hwnd, message, MAKEWPARAM(code, pos), 0); };
  auto act = [&] {
    switch (part) {
      case Part::LineUp: tell(SB_LINEUP); break;
      case Part::LineDown: tell(SB_LINEDOWN); break;
      case Part::PageUp: tell(SB_PAGEUP); break;
      case Part::PageDown: tell(SB_PAGEDOWN); break;
      default: break;
    }
  };
  windowBarPress = {hwnd, bar, part};
  // A window that held the mouse before (a dropped list) keeps it after.
  const bool heldBefore = GetCapture() == hwnd;
  SetCapture(hwnd);
  const int grab = along(screen) - MeasureArea(area, vertical, info).thumbStart;
  int trackPos = info.pos;
  WithWindowBar(hwnd, bar, [&](BarInfo& b) { return b.trackPos = trackPos; });
  if (part != Part::Thumb) {
    act();
    SetTimer(hwnd, kWindowBarTimer, kFirstRepeat, nullptr);
  }
  RedrawBars(hwnd);
  for (;;) {
    if (GetCapture() != hwnd || !IsWindow(hwnd)) break;
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // The button is already up and nothing more is coming: the press is over.
      if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000) && !win32::user::HasPendingInput()) break;
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_TIMER && msg.hwnd == hwnd && msg.wParam == kWindowBarTimer) {
      SetTimer(hwnd, kWindowBarTimer, kRepeat, nullptr);
      // Repeats go on while the mouse stays on the part (page repeats stop at the thumb).
      POINT pt;
      GetCursorPos(&pt);
      if (PartOf(MeasureArea(area, vertical, WindowBar(hwnd, bar)), along(pt)) == part) act();
      continue;
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
      if (part == Part::Thumb) {
        info = WindowBar(hwnd, bar);
        const int pos = PosAtThumb(MeasureArea(area, vertical, info), info, along(msg.pt) - grab);
        if (pos != trackPos) {
          trackPos = pos;
          WithWindowBar(hwnd, bar, [&](BarInfo& b) { return b.trackPos = pos; });
          tell(SB_THUMBTRACK, pos);
        }
      }
      continue;
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  KillTimer(hwnd, kWindowBarTimer);
  if (GetCapture() == hwnd && !heldBefore) ReleaseCapture();
  windowBarPress = {};
  if (!IsWindow(hwnd)) return;
  if (part == Part::Thumb) tell(SB_THUMBPOSITION, trackPos);
  tell(SB_ENDSCROLL);
  RedrawBars(hwnd);
}

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
        int pos = PosAtThumb(Measure(hwnd, st->bar), st->bar, along() - st->grabOffset);
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
