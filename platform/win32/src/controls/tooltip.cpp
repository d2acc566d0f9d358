// The "tooltips_class32" class: tools with their texts, the mouse messages relayed to it, the
// rest, show, pop and leave timing on the window layer's clock, and the tip window itself.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "win32/commctrl.h"

namespace win32::controls {
namespace {

constexpr UINT_PTR kShowTimer = 1;   // the pointer rested on a tool long enough
constexpr UINT_PTR kPopTimer = 2;    // the tip showed long enough
constexpr UINT_PTR kWatchTimer = 3;  // has the pointer left the tool without a relayed message?
constexpr UINT kWatchPeriod = 100;
constexpr int kPopFactor = 10;       // the tip shows for this many show delays
constexpr int kBelowPointer = 20;    // clear of the arrow pointer
constexpr int kPadding = 2;          // between the border and the text

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{};
  std::string text;
};

struct TipState {
  HFONT font = nullptr;
  std::vector<Tool> tools;
  bool active = true;
  int maxWidth = -1;
  int current = -1;         // the tool under the pointer, showing or waiting
  bool shown = false;
  bool suppressed = false;  // a press or the pop ended the tip: none until the pointer leaves
  POINT lastPoint{-32768, -32768};  // screen
};

HFONT DefaultFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    return CreateFontIndirectA(&m.lfStatusFont);
  }();
  return font;
}

UINT ShowDelay() { return GetDoubleClickTime(); }

HWND ToolWindow(const Tool& tool) { return (tool.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tool.id) : tool.hwnd; }

RECT ToolClientRect(const Tool& tool) {
  RECT r = tool.rect;
  if (tool.flags & TTF_IDISHWND) GetClientRect(ToolWindow(tool), &r);
  return r;
}

std::string ToolText(const TTTOOLINFOA& info) {
  if (!info.lpszText) return {};
  if (!IS_INTRESOURCE(info.lpszText)) return info.lpszText;
  char buffer[1024];
  const int n = LoadStringA(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), buffer, sizeof buffer);
  return std::string(buffer, static_cast<size_t>(std::max(0, n)));
}

int FindTool(const TipState& st, HWND hwnd, UINT_PTR id) {
  for (size_t i = 0; i < st.tools.size(); ++i) {
    if (st.tools[i].hwnd == hwnd && st.tools[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

int ToolAt(const TipState& st, HWND window, POINT client) {
  for (size_t i = 0; i < st.tools.size(); ++i) {
    const Tool& tool = st.tools[i];
    RECT r = ToolClientRect(tool);
    if (ToolWindow(tool) == window && PtInRect(&r, client)) return static_cast<int>(i);
  }
  return -1;
}

bool PointerOnTool(const Tool& tool) {
  POINT pt;
  GetCursorPos(&pt);
  HWND window = ToolWindow(tool);
  if (!IsWindow(window) || WindowFromPoint(pt) != window) return false;
  ScreenToClient(window, &pt);
  RECT r = ToolClientRect(tool);
  return PtInRect(&r, pt);
}

UINT TextFormat(HWND tip, const TipState& st) {
  return ((Style(tip) & TTS_NOPREFIX) ? DT_NOPREFIX : DT_HIDEPREFIX) | (st.maxWidth >= 0 ? DT_WORDBREAK : DT_SINGLELINE);
}

SIZE Measure(HWND tip, const TipState& st, const std::string& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, st.font ? st.font : DefaultFont());
  RECT r{0, 0, std::max(0, st.maxWidth), 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFormat(tip, st) | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  const int frame = 2 * (1 + kPadding);
  return {r.right - r.left + frame, r.bottom - r.top + frame};
}

void Hide(HWND tip, TipState& st) {
  KillTimer(tip, kPopTimer);
  if (!st.shown) return;
  st.shown = false;
  ShowWindow(tip, SW_HIDE);
}

// The pointer is on no tool any more (or tips were turned off).
void Leave(HWND tip, TipState& st) {
  Hide(tip, st);
  KillTimer(tip, kShowTimer);
  KillTimer(tip, kWatchTimer);
  st.current = -1;
  st.suppressed = false;
}

bool OwnerMayShow(HWND tip, const Tool& tool) {
  if (Style(tip) & TTS_ALWAYSTIP) return true;
  HWND active = GetActiveWindow();
  return active && GetAncestor(ToolWindow(tool), GA_ROOT) == active;
}

// Places the tip below the pointer, inside the screen.
void Place(HWND tip, const TipState& st, bool show) {
  const Tool& tool = st.tools[static_cast<size_t>(st.current)];
  const SIZE size = Measure(tip, st, tool.text);
  POINT at;
  GetCursorPos(&at);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  int x = std::max(0, std::min(static_cast<int>(at.x), screenWidth - size.cx));
  int y = at.y + kBelowPointer;
  if (y + size.cy > screenHeight) y = at.y - size.cy;
  const UINT flags = SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_NOMOVE);
  SetWindowPos(tip, HWND_TOPMOST, x, y, size.cx, size.cy, flags);
  InvalidateRect(tip, nullptr, TRUE);
}

void Show(HWND tip, TipState& st) {
  const Tool& tool = st.tools[static_cast<size_t>(st.current)];
  if (tool.text.empty() || !PointerOnTool(tool) || !OwnerMayShow(tip, tool)) return;
  Place(tip, st, true);
  st.shown = true;
  SetTimer(tip, kPopTimer, ShowDelay() * kPopFactor, nullptr);
}

void Relay(HWND tip, TipState& st, const MSG& m) {
  if (!st.active || !IsWindow(m.hwnd)) return;
  switch (m.message) {
    case WM_MOUSEMOVE: {
      const POINT client{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
      POINT screen = client;
      ClientToScreen(m.hwnd, &screen);
      const int tool = ToolAt(st, m.hwnd, client);
      const bool moved = screen.x != st.lastPoint.x || screen.y != st.lastPoint.y;
      st.lastPoint = screen;
      if (tool != st.current) {
        Leave(tip, st);
        if (tool < 0) return;
        st.current = tool;
        SetTimer(tip, kShowTimer, ShowDelay(), nullptr);
        SetTimer(tip, kWatchTimer, kWatchPeriod, nullptr);
      } else if (tool >= 0 && moved && !st.shown && !st.suppressed) {
        SetTimer(tip, kShowTimer, ShowDelay(), nullptr);  // the pointer has not rested yet
      }
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      Hide(tip, st);
      KillTimer(tip, kShowTimer);
      st.suppressed = st.current >= 0;
      return;
  }
}

void Paint(HWND tip, HDC hdc, const TipState& st) {
  RECT rc;
  GetClientRect(tip, &rc);
  FillRect(hdc, &rc, GetSysColorBrush(COLOR_INFOBK));
  FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
  if (st.current < 0) return;
  const std::string& text = st.tools[static_cast<size_t>(st.current)].text;
  HGDIOBJ old = SelectObject(hdc, st.font ? st.font : DefaultFont());
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(COLOR_INFOTEXT));
  RECT inside = rc;
  InflateRect(&inside, -(1 + kPadding), -(1 + kPadding));
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &inside, TextFormat(tip, st));
  SelectObject(hdc, old);
}

}  // namespace

LRESULT CALLBACK ToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TipState* st = Lifetime<TipState>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  const auto* info = reinterpret_cast<const TTTOOLINFOA*>(lParam);
  switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_SETFONT: st->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
    case WM_TIMER:
      switch (wParam) {
        case kShowTimer:
          KillTimer(hwnd, kShowTimer);
          if (st->current >= 0 && !st->suppressed) Show(hwnd, *st);
          return 0;
        case kPopTimer:
          Hide(hwnd, *st);
          st->suppressed = true;
          return 0;
        case kWatchTimer:
          if (st->current < 0 || !PointerOnTool(st->tools[static_cast<size_t>(st->current)])) Leave(hwnd, *st);
          return 0;
      }
      return 0;

    case TTM_ACTIVATE:
      st->active = wParam != 0;
      if (!st->active) Leave(hwnd, *st);
      return 0;
    case TTM_ADDTOOLA: {
      if (!info || info->cbSize < offsetof(TTTOOLINFOA, lParam)) return FALSE;
      st->tools.push_back({info->uFlags & TTF_IDISHWND, info->hwnd, info->uId, info->rect, ToolText(*info)});
      return TRUE;
    }
    case TTM_UPDATETIPTEXTA: {
      if (!info) return 0;
      const int i = FindTool(*st, info->hwnd, info->uId);
      if (i < 0) return 0;
      st->tools[static_cast<size_t>(i)].text = ToolText(*info);
      if (st->shown && i == st->current) Place(hwnd, *st, false);
      return 0;
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(st->tools.size());
    case TTM_RELAYEVENT:
      if (lParam) Relay(hwnd, *st, *reinterpret_cast<const MSG*>(lParam));
      return 0;
    case TTM_SETMAXTIPWIDTH: {
      const int old = st->maxWidth;
      st->maxWidth = static_cast<int>(lParam);
      return old;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win32::controls
