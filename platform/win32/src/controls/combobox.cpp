// The "ComboBox" class: a selection field (CBS_DROPDOWNLIST) or an edit field (CBS_DROPDOWN)
// with a drop button, and a "ComboLBox" drop list that holds the items. The height the combo box
// is created with is the height it has when dropped; the window itself is as high as its field.
#include <algorithm>

#include "controls/controls.h"

namespace win32::controls {
namespace {

struct ComboState {
  HFONT font = nullptr;
  HWND list = nullptr;
  HWND edit = nullptr;  // CBS_DROPDOWN only
  int droppedHeight = 0;
  bool dropped = false;
  bool focused = false;
  int selectionAtDrop = -1;
  bool settingEditText = false;
};

bool IsDropList(HWND hwnd) { return (Style(hwnd) & 0x3) == CBS_DROPDOWNLIST; }

int FieldHeight(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectControlFont(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm.tmHeight + 6;
}

RECT ButtonRect(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  InflateRect(&rc, -2, -2);
  rc.left = std::max(rc.left, rc.right - GetSystemMetrics(SM_CXVSCROLL));
  return rc;
}

int Selected(const ComboState& st) { return static_cast<int>(SendMessageA(st.list, LB_GETCURSEL, 0, 0)); }

std::string ItemText(const ComboState& st, int index) {
  LRESULT n = SendMessageA(st.list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n < 0) return {};
  std::string s(static_cast<size_t>(n) + 1, '\0');
  SendMessageA(st.list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(n));
  return s;
}

// Only the height changes: the width is the template's.
void Layout(HWND hwnd, ComboState& st) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  int field = FieldHeight(st.font);
  if (rc.bottom - rc.top != field) {
    SetWindowPos(hwnd, nullptr, 0, 0, rc.right - rc.left, field, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (st.edit) {
    RECT button = ButtonRect(hwnd);
    MoveWindow(st.edit, 3, 3, std::max(0, static_cast<int>(button.left) - 4), field - 6, TRUE);
  }
}

// The field shows the selected item.
void ShowSelection(HWND hwnd, ComboState& st) {
  if (st.edit) {
    int sel = Selected(st);
    st.settingEditText = true;
    SetWindowTextA(st.edit, sel >= 0 ? ItemText(st, sel).c_str() : "");
    st.settingEditText = false;
    SendMessageA(st.edit, EM_SETSEL, 0, -1);
  }
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Drop(HWND hwnd, ComboState& st) {
  if (st.dropped) return;
  Notify(hwnd, CBN_DROPDOWN);
  if (!IsWindow(hwnd)) return;
  RECT rc;
  GetWindowRect(hwnd, &rc);
  int itemHeight = static_cast<int>(SendMessageA(st.list, LB_GETITEMHEIGHT, 0, 0));
  int count = static_cast<int>(SendMessageA(st.list, LB_GETCOUNT, 0, 0));
  int room = std::max(itemHeight, st.droppedHeight - (rc.bottom - rc.top));
  int height = std::min(room, std::max(1, count) * itemHeight) + 2;
  // A list with more items than it shows gets a scroll bar to reach them with the mouse.
  const DWORD listStyle = Style(st.list);
  const DWORD wanted = count * itemHeight > room ? (listStyle | WS_VSCROLL) : (listStyle & ~WS_VSCROLL);
  if (wanted != listStyle) SetWindowLongA(st.list, GWL_STYLE, static_cast<LONG>(wanted));
  SetWindowPos(st.list, HWND_TOPMOST, rc.left, rc.bottom, rc.right - rc.left, height,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  st.dropped = true;
  st.selectionAtDrop = Selected(st);
  SendMessageA(st.list, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, st.selectionAtDrop)), 0);
  SetCapture(st.list);
  InvalidateRect(hwnd, nullptr, FALSE);
}

// Closes the list; picked: its selection is taken, else the one before dropping comes back.
void CloseUp(HWND hwnd, ComboState& st, bool picked) {
  if (!st.dropped) return;
  st.dropped = false;
  if (GetCapture() == st.list) ReleaseCapture();
  ShowWindow(st.list, SW_HIDE);
  const int before = st.selectionAtDrop;
  if (!picked) SendMessageA(st.list, LB_SETCURSEL, static_cast<WPARAM>(before), 0);
  Notify(hwnd, picked ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (!IsWindow(hwnd)) return;
  Notify(hwnd, CBN_CLOSEUP);
  if (!IsWindow(hwnd)) return;
  ShowSelection(hwnd, st);
  if (picked && Selected(st) != before) Notify(hwnd, CBN_SELCHANGE);
}

// Keyboard selection changes when the list is closed.
void Step(HWND hwnd, ComboState& st, int to) {
  int count = static_cast<int>(SendMessageA(st.list, LB_GETCOUNT, 0, 0));
  if (count == 0) return;
  to = std::clamp(to, 0, count - 1);
  if (to == Selected(st)) return;
  SendMessageA(st.list, LB_SETCURSEL, static_cast<WPARAM>(to), 0);
  if (st.dropped) return;
  ShowSelection(hwnd, st);
  Notify(hwnd, CBN_SELCHANGE);
}

void Paint(HWND hwnd, HDC hdc, const ComboState& st) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const bool enabled = IsWindowEnabled(hwnd);
  HBRUSH brush = ControlColors(hwnd, hdc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
  FillRect(hdc, &rc, brush);
  RECT frame = rc;
  DrawEdge(hdc, &frame, EDGE_SUNKEN, BF_RECT);
  RECT button = ButtonRect(hwnd);
  DrawScrollArrow(hdc, button, DFCS_SCROLLDOWN | (st.dropped ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
  if (st.edit) return;
  RECT field{rc.left + 3, rc.top + 3, button.left - 1, rc.bottom - 3};
  const bool highlight = st.focused && !st.dropped;
  if (highlight) FillRect(hdc, &field, GetSysColorBrush(COLOR_HIGHLIGHT));
  HGDIOBJ oldFont = SelectControlFont(hdc, st.font);
  SetBkMode(hdc, TRANSPARENT);
  if (highlight) SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  if (!enabled) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  int sel = Selected(st);
  if (sel >= 0) {
    std::string text = ItemText(st, sel);
    RECT label = field;
    label.left += 2;
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &label, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (highlight) DrawFocusRect(hdc, &field);
  SelectObject(hdc, oldFont);
}

bool KeyDown(HWND hwnd, ComboState& st, UINT vk) {
  const bool alt = GetKeyState(VK_MENU) & 0x8000;
  if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (st.dropped) {
      CloseUp(hwnd, st, true);
    } else {
      Drop(hwnd, st);
    }
    return true;
  }
  if (st.dropped && (vk == VK_RETURN || vk == VK_ESCAPE)) {
    CloseUp(hwnd, st, vk == VK_RETURN);
    return true;
  }
  switch (vk) {
    case VK_UP: Step(hwnd, st, Selected(st) - 1); return true;
    case VK_DOWN: Step(hwnd, st, Selected(st) + 1); return true;
    case VK_HOME:
      if (st.edit) return false;
      Step(hwnd, st, 0);
      return true;
    case VK_END:
      if (st.edit) return false;
      Step(hwnd, st, static_cast<int>(SendMessageA(st.list, LB_GETCOUNT, 0, 0)) - 1);
      return true;
  }
  return false;
}

}  // namespace

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ComboState* st = Lifetime<ComboState>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      st->droppedHeight = cs->cy;
      // WS_VSCROLL in a template is meant for the list; the field itself has no bars.
      if (cs->style & (WS_VSCROLL | WS_HSCROLL)) {
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(Style(hwnd) & ~(WS_VSCROLL | WS_HSCROLL)));
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      st->list = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "ComboLBox", "", WS_POPUP | WS_BORDER, 0,
                                 0, cs->cx, cs->cy, hwnd, nullptr, cs->hInstance, hwnd);
      if (!st->list) return -1;
      if (!IsDropList(hwnd)) {
        DWORD editStyle = WS_CHILD | WS_VISIBLE | ((cs->style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0);
        st->edit = CreateWindowExA(0, "Edit", "", editStyle, 0, 0, 0, 0, hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboEditId)), cs->hInstance, nullptr);
        if (!st->edit) return -1;
      }
      Layout(hwnd, *st);
      return 0;
    }
    case WM_DESTROY:
      if (st->list) DestroyWindow(st->list);
      st->list = nullptr;
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
      auto* m = reinterpret_cast<const MSG*>(lParam);
      if (st->dropped && m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE)) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_SETFONT:
      st->font = reinterpret_cast<HFONT>(wParam);
      SendMessageA(st->list, WM_SETFONT, wParam, FALSE);
      if (st->edit) SendMessageA(st->edit, WM_SETFONT, wParam, FALSE);
      Layout(hwnd, *st);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_ENABLE:
      if (st->edit) EnableWindow(st->edit, static_cast<BOOL>(wParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      if (st->edit) {
        SetFocus(st->edit);
        return 0;
      }
      st->focused = true;
      InvalidateRect(hwnd, nullptr, FALSE);
      Notify(hwnd, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      CloseUp(hwnd, *st, false);
      if (st->edit) return 0;
      st->focused = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      Notify(hwnd, CBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT button = ButtonRect(hwnd);
      if (!st->edit || PtInRect(&button, pt)) {
        SetFocus(st->edit ? st->edit : hwnd);
        if (st->dropped) {
          CloseUp(hwnd, *st, true);
        } else {
          Drop(hwnd, *st);
        }
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (KeyDown(hwnd, *st, static_cast<UINT>(wParam))) return 0;
      break;
    case WM_SYSKEYDOWN:
      if (KeyDown(hwnd, *st, static_cast<UINT>(wParam))) return 0;
      break;
    case WM_CHAR:
      if (!st->edit && wParam >= 0x20) {
        char prefix[2] = {static_cast<char>(wParam), 0};
        LRESULT found = SendMessageA(st->list, LB_FINDSTRING, static_cast<WPARAM>(Selected(*st)), reinterpret_cast<LPARAM>(prefix));
        if (found != LB_ERR) Step(hwnd, *st, static_cast<int>(found));
      }
      return 0;
    case WM_COMMAND:
      // The edit field's notifications become the combo box's.
      if (st->edit && reinterpret_cast<HWND>(lParam) == st->edit) {
        switch (HIWORD(wParam)) {
          case EN_SETFOCUS: Notify(hwnd, CBN_SETFOCUS); break;
          case EN_KILLFOCUS: Notify(hwnd, CBN_KILLFOCUS); break;
          case EN_CHANGE:
            if (!st->settingEditText) Notify(hwnd, CBN_EDITCHANGE);
            break;
          case EN_UPDATE:
            if (!st->settingEditText) Notify(hwnd, CBN_EDITUPDATE);
            break;
        }
      }
      return 0;
    case WM_SETTEXT:
      if (st->edit) return SetWindowTextA(st->edit, reinterpret_cast<const char*>(lParam));
      {
        LRESULT found = SendMessageA(st->list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
        if (found == LB_ERR) return CB_ERR;
        SendMessageA(st->list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        ShowSelection(hwnd, *st);
        return TRUE;
      }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      if (st->edit) return SendMessageA(st->edit, msg, wParam, lParam);
      int sel = Selected(*st);
      std::string text = sel >= 0 ? ItemText(*st, sel) : std::string();
      if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text.size());
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) return 0;
      size_t n = std::min(text.size(), static_cast<size_t>(wParam) - 1);
      text.copy(buffer, n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case kComboListDone:
      CloseUp(hwnd, *st, wParam != 0);
      return 0;
    case CB_ADDSTRING: return SendMessageA(st->list, LB_ADDSTRING, wParam, lParam);
    case CB_INSERTSTRING: return SendMessageA(st->list, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING:
    case CB_RESETCONTENT: {
      int before = Selected(*st);
      LRESULT r = SendMessageA(st->list, msg == CB_DELETESTRING ? LB_DELETESTRING : LB_RESETCONTENT, wParam, lParam);
      if (Selected(*st) != before || msg == CB_RESETCONTENT) ShowSelection(hwnd, *st);
      return r;
    }
    case CB_GETCOUNT: return SendMessageA(st->list, LB_GETCOUNT, 0, 0);
    case CB_GETCURSEL: return Selected(*st);
    case CB_SETCURSEL: {
      LRESULT r = SendMessageA(st->list, LB_SETCURSEL, wParam, 0);
      ShowSelection(hwnd, *st);
      return r;
    }
    case CB_GETLBTEXT: return SendMessageA(st->list, LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return SendMessageA(st->list, LB_GETTEXTLEN, wParam, lParam);
    case CB_FINDSTRING: return SendMessageA(st->list, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return SendMessageA(st->list, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING: {
      LRESULT found = SendMessageA(st->list, LB_FINDSTRING, wParam, lParam);
      if (found != LB_ERR) SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
      return found;
    }
    case CB_GETITEMDATA: return SendMessageA(st->list, LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMDATA: return SendMessageA(st->list, LB_SETITEMDATA, wParam, lParam);
    case CB_SHOWDROPDOWN:
      if (wParam) {
        Drop(hwnd, *st);
      } else {
        CloseUp(hwnd, *st, true);
      }
      return TRUE;
    case CB_GETDROPPEDSTATE: return st->dropped;
    case CB_GETDROPPEDCONTROLRECT:
      if (lParam) GetWindowRect(st->list, reinterpret_cast<RECT*>(lParam));
      return TRUE;
    case CB_LIMITTEXT: return st->edit ? SendMessageA(st->edit, EM_LIMITTEXT, wParam, 0) : CB_ERR;
    case CB_GETEDITSEL: return st->edit ? SendMessageA(st->edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
      if (!st->edit) return CB_ERR;
      SendMessageA(st->edit, EM_SETSEL, static_cast<WPARAM>(static_cast<short>(LOWORD(lParam))),
                   static_cast<short>(HIWORD(lParam)));
      return TRUE;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win32::controls
