// The up-down control: two arrow buttons, a position held within a range, and the parent asked
// before every step.
#include <algorithm>

#include "controls/controls.h"
#include "win32/commctrl.h"

namespace win32::controls {
namespace {

struct UpDown {
  int min = 100;  // the system's own default range runs downwards
  int max = 0;
  int pos = 0;
  HWND buddy = nullptr;
  int pressed = 0;  // +1 the up or right arrow, -1 the other, 0 none
};

bool Horizontal(HWND hwnd) { return (Style(hwnd) & UDS_HORZ) != 0; }

// The up (or right) arrow's half of the client area, and the other half.
RECT ArrowRect(HWND hwnd, int arrow) {
  RECT r;
  GetClientRect(hwnd, &r);
  if (Horizontal(hwnd)) {
    const int middle = (r.left + r.right) / 2;
    if (arrow > 0) r.left = middle; else r.right = middle;
  } else {
    const int middle = (r.top + r.bottom) / 2;
    if (arrow > 0) r.bottom = middle; else r.top = middle;
  }
  return r;
}

void Paint(HWND hwnd, HDC hdc, const UpDown& st) {
  const bool horizontal = Horizontal(hwnd);
  const UINT grey = IsWindowEnabled(hwnd) ? 0 : DFCS_INACTIVE;
  DrawScrollArrow(hdc, ArrowRect(hwnd, 1),
                  (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLUP) | (st.pressed > 0 ? DFCS_PUSHED : 0) | grey);
  DrawScrollArrow(hdc, ArrowRect(hwnd, -1),
                  (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLDOWN) | (st.pressed < 0 ? DFCS_PUSHED : 0) | grey);
}

int Clamp(const UpDown& st, int value) { return std::clamp(value, std::min(st.min, st.max), std::max(st.min, st.max)); }

// One click on an arrow: the parent may refuse or change the step.
void Step(HWND hwnd, UpDown& st, int arrow) {
  NMUPDOWN nm{};
  nm.hdr.hwndFrom = hwnd;
  nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID(hwnd));
  nm.hdr.code = UDN_DELTAPOS;
  nm.iPos = st.pos;
  nm.iDelta = st.min <= st.max ? arrow : -arrow;
  HWND parent = GetParent(hwnd);
  if (SendMessageA(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)) != 0) return;
  // The handler may have destroyed the control.
  if (!IsWindow(hwnd)) return;
  st.pos = Clamp(st, st.pos + nm.iDelta);
  SendMessageA(parent, Horizontal(hwnd) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, st.pos),
               reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  UpDown* st = Lifetime<UpDown>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!IsWindowEnabled(hwnd)) return 0;
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const RECT up = ArrowRect(hwnd, 1);
      st->pressed = PtInRect(&up, p) ? 1 : -1;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, FALSE);
      Step(hwnd, *st, st->pressed);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (st->pressed == 0) return 0;
      st->pressed = 0;
      if (msg == WM_LBUTTONUP && GetCapture() == hwnd) ReleaseCapture();
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case UDM_SETRANGE:
      st->max = SHORT(LOWORD(lParam));
      st->min = SHORT(HIWORD(lParam));
      st->pos = Clamp(*st, st->pos);
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(WORD(st->max), WORD(st->min));
    case UDM_SETRANGE32:
      st->min = int(wParam);
      st->max = int(lParam);
      st->pos = Clamp(*st, st->pos);
      return 0;
    case UDM_GETRANGE32:
      if (wParam) *reinterpret_cast<int*>(wParam) = st->min;
      if (lParam) *reinterpret_cast<int*>(lParam) = st->max;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      const int old = st->pos;
      st->pos = Clamp(*st, msg == UDM_SETPOS ? SHORT(LOWORD(lParam)) : int(lParam));
      return old;
    }
    case UDM_GETPOS:
      return WORD(st->pos);
    case UDM_GETPOS32:
      if (lParam) *reinterpret_cast<BOOL*>(lParam) = FALSE;
      return st->pos;
    case UDM_SETBUDDY: {
      HWND old = st->buddy;
      st->buddy = reinterpret_cast<HWND>(wParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY:
      return reinterpret_cast<LRESULT>(st->buddy);
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace win32::controls
