// The "Button" class: push buttons, check boxes, radio buttons, group boxes and owner-drawn
// buttons.
#include <strings.h>

#include "controls/controls.h"

namespace win32::controls {
namespace {

struct ButtonState {
  HFONT font = nullptr;
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  bool tracking = false;  // the left button went down on it and is held
  bool spaceDown = false;
};

UINT Type(HWND hwnd) { return Style(hwnd) & BS_TYPEMASK; }

bool IsCheckType(UINT type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool IsRadioType(UINT type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
bool IsPushType(UINT type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON; }

void DrawOwner(HWND hwnd, HDC hdc, const ButtonState& st, UINT action) {
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
  dis.itemAction = action;
  if (st.pushed) dis.itemState |= ODS_SELECTED;
  if (st.focused) dis.itemState |= ODS_FOCUS;
  if (!IsWindowEnabled(hwnd)) dis.itemState |= ODS_DISABLED;
  dis.hwndItem = hwnd;
  dis.hDC = hdc;
  GetClientRect(hwnd, &dis.rcItem);
  ControlColors(hwnd, hdc, WM_CTLCOLORBTN);
  // The owner draws the caption in the button's font.
  HGDIOBJ oldFont = st.font ? SelectObject(hdc, st.font) : nullptr;
  SendMessageA(GetParent(hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  if (oldFont) SelectObject(hdc, oldFont);
}

// State changes show at once: owner-drawn buttons are asked to draw just that change.
void Changed(HWND hwnd, const ButtonState& st, UINT action) {
  if (Type(hwnd) != BS_OWNERDRAW) {
    InvalidateRect(hwnd, nullptr, FALSE);
    return;
  }
  if (!IsWindowVisible(hwnd)) return;
  HDC hdc = GetDC(hwnd);
  DrawOwner(hwnd, hdc, st, action);
  ReleaseDC(hwnd, hdc);
}

void DrawLabel(HDC hdc, HWND hwnd, RECT r, UINT format) {
  std::string text = Text(hwnd);
  if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(hdc, TRANSPARENT);
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

RECT LabelExtent(HDC hdc, HWND hwnd, RECT r, UINT format) {
  std::string text = Text(hwnd);
  RECT calc = r;
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &calc, format | DT_CALCRECT);
  // Vertical centring as the label is drawn.
  int h = calc.bottom - calc.top;
  calc.top = r.top + (r.bottom - r.top - h) / 2;
  calc.bottom = calc.top + h;
  return calc;
}

void Paint(HWND hwnd, HDC hdc, const ButtonState& st) {
  const UINT type = Type(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (type == BS_OWNERDRAW) {
    DrawOwner(hwnd, hdc, st, ODA_DRAWENTIRE);
    return;
  }
  HGDIOBJ oldFont = SelectControlFont(hdc, st.font);
  if (IsPushType(type)) {
    HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORBTN);
    FillRect(hdc, &rc, brush);
    RECT face = rc;
    if (type == BS_DEFPUSHBUTTON) {
      FrameRect(hdc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
      InflateRect(&face, -1, -1);
    }
    DrawFrameControl(hdc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (st.pushed ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
    RECT label = face;
    if (st.pushed) OffsetRect(&label, 1, 1);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    DrawLabel(hdc, hwnd, label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (st.focused) {
      RECT focus = face;
      InflateRect(&focus, -3, -3);
      DrawFocusRect(hdc, &focus);
    }
  } else if (IsCheckType(type) || IsRadioType(type)) {
    HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSTATIC);
    FillRect(hdc, &rc, brush);
    const int box = 13;
    const bool boxRight = Style(hwnd) & BS_LEFTTEXT;
    RECT mark{boxRight ? rc.right - box : rc.left, rc.top + (rc.bottom - rc.top - box) / 2, 0, 0};
    mark.right = mark.left + box;
    mark.bottom = mark.top + box;
    UINT state = IsRadioType(type) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (st.check == BST_CHECKED) state |= DFCS_CHECKED;
    if (st.check == BST_INDETERMINATE) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (st.pushed) state |= DFCS_PUSHED;
    if (!enabled) state |= DFCS_INACTIVE;
    if (IsRadioType(type)) {
      DrawRadioMark(hdc, mark, st.check == BST_CHECKED, st.pushed || !enabled);
    } else {
      DrawFrameControl(hdc, &mark, DFC_BUTTON, state);
    }
    RECT label = rc;
    if (boxRight) {
      label.right -= box + 4;
    } else {
      label.left += box + 4;
    }
    DrawLabel(hdc, hwnd, label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (st.focused) {
      RECT focus = LabelExtent(hdc, hwnd, label, DT_LEFT | DT_SINGLELINE);
      InflateRect(&focus, 1, 1);
      DrawFocusRect(hdc, &focus);
    }
  } else if (type == BS_GROUPBOX) {
    HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSTATIC);
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    RECT frame = rc;
    frame.top += tm.tmHeight / 2;
    DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
    std::string text = Text(hwnd);
    if (!text.empty()) {
      RECT label{rc.left + 8, rc.top, rc.right - 8, rc.top + tm.tmHeight};
      RECT calc = label;
      DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &calc, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
      calc.left -= 2;
      calc.right += 2;
      FillRect(hdc, &calc, brush);
      DrawLabel(hdc, hwnd, label, DT_LEFT | DT_SINGLELINE);
    }
  }
  SelectObject(hdc, oldFont);
}

// Unchecks the other automatic radio buttons of the group.
void UncheckGroup(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  HWND first = hwnd;
  while (!(Style(first) & WS_GROUP)) {
    HWND prev = GetWindow(first, GW_HWNDPREV);
    if (!prev) break;
    first = prev;
  }
  for (HWND c = first; c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (c != first && (Style(c) & WS_GROUP)) break;
    if (c == hwnd) continue;
    char cls[16] = {};
    GetClassNameA(c, cls, sizeof cls);
    if ((Style(c) & BS_TYPEMASK) == BS_AUTORADIOBUTTON && strcasecmp(cls, "Button") == 0) {
      SendMessageA(c, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
}

void Click(HWND hwnd) {
  ButtonState* st = StateOf<ButtonState>(hwnd);
  if (!st) return;
  switch (Type(hwnd)) {
    case BS_AUTOCHECKBOX: SendMessageA(hwnd, BM_SETCHECK, st->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0); break;
    case BS_AUTO3STATE: SendMessageA(hwnd, BM_SETCHECK, (st->check + 1) % 3, 0); break;
    case BS_AUTORADIOBUTTON:
      SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
      UncheckGroup(hwnd);
      break;
  }
  Notify(hwnd, BN_CLICKED);
}

void SetPushed(HWND hwnd, ButtonState* st, bool pushed) {
  if (st->pushed == pushed) return;
  st->pushed = pushed;
  Changed(hwnd, *st, ODA_SELECT);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ButtonState* st = Lifetime<ButtonState>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  const UINT type = Type(hwnd);
  switch (msg) {
    case WM_GETDLGCODE:
      switch (type) {
        case BS_PUSHBUTTON:
        case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
      }
      return DLGC_BUTTON;
    case WM_SETFONT:
      st->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
    case WM_SETTEXT:
    case WM_ENABLE: {
      LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_NCHITTEST:
      if (type == BS_GROUPBOX) return HTTRANSPARENT;
      break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_SETFOCUS:
      st->focused = true;
      Changed(hwnd, *st, ODA_FOCUS);
      if (Style(hwnd) & BS_NOTIFY) Notify(hwnd, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      st->focused = false;
      st->spaceDown = false;
      if (st->tracking && GetCapture() == hwnd) ReleaseCapture();
      st->tracking = false;
      SetPushed(hwnd, st, false);
      Changed(hwnd, *st, ODA_FOCUS);
      if (Style(hwnd) & BS_NOTIFY) Notify(hwnd, BN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDBLCLK:
      if ((type == BS_OWNERDRAW || IsRadioType(type) || (Style(hwnd) & BS_NOTIFY)) && type != BS_GROUPBOX) {
        Notify(hwnd, BN_DBLCLK);
        return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (type == BS_GROUPBOX) return 0;
      SetFocus(hwnd);
      if (!IsWindow(hwnd)) return 0;
      SetCapture(hwnd);
      st->tracking = true;
      SetPushed(hwnd, st, true);
      return 0;
    case WM_MOUSEMOVE:
      if (st->tracking) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        SetPushed(hwnd, st, PtInRect(&rc, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
      }
      return 0;
    case WM_LBUTTONUP:
      if (st->tracking) {
        st->tracking = false;
        const bool inside = st->pushed;
        SetPushed(hwnd, st, false);
        ReleaseCapture();
        if (inside) Click(hwnd);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (st->tracking && reinterpret_cast<HWND>(lParam) != hwnd) {
        st->tracking = false;
        SetPushed(hwnd, st, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX && !st->spaceDown) {
        st->spaceDown = true;
        SetPushed(hwnd, st, true);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wParam == VK_SPACE && st->spaceDown) {
        st->spaceDown = false;
        SetPushed(hwnd, st, false);
        Click(hwnd);
        return 0;
      }
      break;
    case BM_GETCHECK: return IsCheckType(type) || IsRadioType(type) ? st->check : BST_UNCHECKED;
    case BM_SETCHECK: {
      UINT check = static_cast<UINT>(wParam);
      if (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) check = BST_CHECKED;
      if (check > BST_INDETERMINATE) check = BST_CHECKED;
      if ((IsCheckType(type) || IsRadioType(type)) && st->check != check) {
        st->check = check;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    }
    case BM_GETSTATE:
      return (IsCheckType(type) || IsRadioType(type) ? st->check : 0) | (st->pushed ? BST_PUSHED : 0) |
             (st->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      SetPushed(hwnd, st, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      UINT newType = static_cast<UINT>(wParam) & BS_TYPEMASK;
      // An owner-drawn button stays owner-drawn when the dialog manager moves the default.
      if (type == BS_OWNERDRAW && IsPushType(newType)) newType = BS_OWNERDRAW;
      DWORD style = (Style(hwnd) & ~BS_TYPEMASK) | newType;
      if (style != Style(hwnd)) SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      if (IsWindowEnabled(hwnd)) Click(hwnd);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win32::controls
