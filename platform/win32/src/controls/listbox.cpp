// The "ListBox" class (single selection) and "ComboLBox", the same list dropped down by a combo
// box: it follows the mouse and tells the combo box when an item is picked or the list is left.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "controls/controls.h"

namespace win32::controls {
namespace {

struct Item {
  std::string text;
  ULONG_PTR data = 0;
};

struct ListState {
  HFONT font = nullptr;
  std::vector<Item> items;
  int selected = -1;
  int top = 0;
  int itemHeight = 0;
  bool focused = false;
  bool tracking = false;
  HWND combo = nullptr;  // set for a combo box's drop list
};

int Count(const ListState& st) { return static_cast<int>(st.items.size()); }

int FontHeight(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectControlFont(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm.tmHeight;
}

int Visible(HWND hwnd, const ListState& st) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return std::max(1, static_cast<int>(rc.bottom) / std::max(1, st.itemHeight));
}

void UpdateScrollBar(HWND hwnd, const ListState& st) {
  if (!(Style(hwnd) & WS_VSCROLL)) return;
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, Count(st) - 1),
                static_cast<UINT>(Visible(hwnd, st)), st.top, 0};
  SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

void SetTop(HWND hwnd, ListState& st, int top) {
  top = std::clamp(top, 0, std::max(0, Count(st) - Visible(hwnd, st)));
  if (top == st.top) return;
  st.top = top;
  UpdateScrollBar(hwnd, st);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void ShowItem(HWND hwnd, ListState& st, int index) {
  if (index < 0) return;
  if (index < st.top) SetTop(hwnd, st, index);
  if (index >= st.top + Visible(hwnd, st)) SetTop(hwnd, st, index - Visible(hwnd, st) + 1);
}

void Changed(HWND hwnd, ListState& st) {
  UpdateScrollBar(hwnd, st);
  SetTop(hwnd, st, st.top);
  InvalidateRect(hwnd, nullptr, TRUE);
}

bool Notifies(HWND hwnd, const ListState& st) { return !st.combo && (Style(hwnd) & LBS_NOTIFY); }

// Selects an item as the user does: shown, and LBN_SELCHANGE with LBS_NOTIFY.
void Pick(HWND hwnd, ListState& st, int index) {
  index = std::clamp(index, -1, Count(st) - 1);
  if (index == st.selected || index < 0) return;
  st.selected = index;
  ShowItem(hwnd, st, index);
  InvalidateRect(hwnd, nullptr, TRUE);
  if (Notifies(hwnd, st)) Notify(hwnd, LBN_SELCHANGE);
}

int ItemAt(HWND hwnd, const ListState& st, POINT pt, bool* outside) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  int index = st.top + pt.y / std::max(1, st.itemHeight);
  *outside = !PtInRect(&rc, pt) || index >= Count(st);
  return std::clamp(index, 0, std::max(0, Count(st) - 1));
}

int Find(const ListState& st, WPARAM start, const char* text, bool exact) {
  if (!text || st.items.empty()) return LB_ERR;
  const int n = Count(st);
  const int from = static_cast<int>(static_cast<INT_PTR>(start));
  const size_t len = std::strlen(text);
  for (int k = 1; k <= n; ++k) {
    const int i = ((from < -1 || from >= n ? -1 : from) + k) % n;
    const std::string& item = st.items[static_cast<size_t>(i)].text;
    bool match = exact ? strcasecmp(item.c_str(), text) == 0
                       : item.size() >= len && strncasecmp(item.c_str(), text, len) == 0;
    if (match) return i;
  }
  return LB_ERR;
}

void Paint(HWND hwnd, HDC hdc, const ListState& st) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  HWND colorsFrom = st.combo ? st.combo : hwnd;
  HBRUSH brush = ControlColors(colorsFrom, hdc, WM_CTLCOLORLISTBOX);
  FillRect(hdc, &rc, brush);
  HGDIOBJ oldFont = SelectControlFont(hdc, st.font);
  if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  const COLORREF text = GetTextColor(hdc);
  SetBkMode(hdc, TRANSPARENT);
  for (int i = st.top; i < Count(st); ++i) {
    RECT row{rc.left, (i - st.top) * st.itemHeight, rc.right, (i - st.top + 1) * st.itemHeight};
    if (row.top >= rc.bottom) break;
    const bool selected = i == st.selected;
    if (selected) FillRect(hdc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(hdc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
    RECT label = row;
    label.left += 2;
    const std::string& s = st.items[static_cast<size_t>(i)].text;
    DrawTextA(hdc, s.c_str(), static_cast<int>(s.size()), &label, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (selected && st.focused) DrawFocusRect(hdc, &row);
  }
  SelectObject(hdc, oldFont);
}

int Insert(HWND hwnd, ListState& st, int index, const char* text, bool sorted) {
  Item item{text ? text : "", 0};
  if (sorted) {
    index = 0;
    while (index < Count(st) && strcasecmp(st.items[static_cast<size_t>(index)].text.c_str(), item.text.c_str()) <= 0) {
      ++index;
    }
  } else if (index < 0) {
    index = Count(st);
  } else if (index > Count(st)) {
    return LB_ERR;
  }
  st.items.insert(st.items.begin() + index, std::move(item));
  if (st.selected >= index) ++st.selected;
  Changed(hwnd, st);
  return index;
}

}  // namespace

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ListState* st = Lifetime<ListState>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs->style & WS_POPUP) st->combo = static_cast<HWND>(cs->lpCreateParams);
      st->itemHeight = FontHeight(nullptr);
      break;
    }
    case WM_SIZE:
    case WM_STYLECHANGED: Changed(hwnd, *st); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
      st->font = reinterpret_cast<HFONT>(wParam);
      st->itemHeight = FontHeight(st->font);
      Changed(hwnd, *st);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
      st->focused = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      if (Notifies(hwnd, *st)) Notify(hwnd, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      st->focused = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      if (Notifies(hwnd, *st)) Notify(hwnd, LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      bool outside;
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      int index = ItemAt(hwnd, *st, pt, &outside);
      if (st->combo) {
        POINT screen = pt;
        ClientToScreen(hwnd, &screen);
        if (SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTVSCROLL) {
          // The list holds the mouse while dropped, so its own bar is pressed from here.
          PressWindowBar(hwnd, SB_VERT, screen);
          return 0;
        }
        // A click outside the dropped list cancels it.
        RECT rc;
        GetClientRect(hwnd, &rc);
        if (!PtInRect(&rc, pt)) SendMessageA(st->combo, kComboListDone, FALSE, 0);
        return 0;
      }
      SetFocus(hwnd);
      if (!IsWindow(hwnd)) return 0;
      if (!st->items.empty()) Pick(hwnd, *st, index);
      if (msg == WM_LBUTTONDBLCLK && Notifies(hwnd, *st)) Notify(hwnd, LBN_DBLCLK);
      SetCapture(hwnd);
      st->tracking = true;
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!st->tracking && !st->combo) return 0;
      bool outside;
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      int index = ItemAt(hwnd, *st, pt, &outside);
      if (st->combo) {
        if (!outside && index != st->selected) {
          st->selected = index;
          InvalidateRect(hwnd, nullptr, TRUE);
        }
      } else if (!st->items.empty()) {
        Pick(hwnd, *st, index);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      if (st->combo) {
        bool outside;
        ItemAt(hwnd, *st, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
        if (!outside) SendMessageA(st->combo, kComboListDone, TRUE, 0);
        return 0;
      }
      if (st->tracking) {
        st->tracking = false;
        ReleaseCapture();
      }
      return 0;
    }
    case WM_CAPTURECHANGED: st->tracking = false; return 0;
    case WM_KEYDOWN: {
      int to = st->selected;
      switch (wParam) {
        case VK_UP: to = st->selected - 1; break;
        case VK_DOWN: to = st->selected + 1; break;
        case VK_PRIOR: to = st->selected - Visible(hwnd, *st) + 1; break;
        case VK_NEXT: to = st->selected + Visible(hwnd, *st) - 1; break;
        case VK_HOME: to = 0; break;
        case VK_END: to = Count(*st) - 1; break;
        default: return 0;
      }
      if (!st->items.empty()) Pick(hwnd, *st, std::clamp(to, 0, Count(*st) - 1));
      return 0;
    }
    case WM_CHAR: {
      char prefix[2] = {static_cast<char>(wParam), 0};
      int found = Find(*st, static_cast<WPARAM>(st->selected), prefix, false);
      if (found != LB_ERR) Pick(hwnd, *st, found);
      return 0;
    }
    case WM_MOUSEWHEEL:
      SetTop(hwnd, *st, st->top - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
      return 0;
    case WM_VSCROLL: {
      int top = st->top;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= Visible(hwnd, *st); break;
        case SB_PAGEDOWN: top += Visible(hwnd, *st); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = HIWORD(wParam); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = Count(*st); break;
      }
      SetTop(hwnd, *st, top);
      return 0;
    }
    case LB_ADDSTRING:
      return Insert(hwnd, *st, -1, reinterpret_cast<const char*>(lParam), st->combo ? (Style(st->combo) & CBS_SORT) : (Style(hwnd) & LBS_SORT));
    case LB_INSERTSTRING:
      return Insert(hwnd, *st, static_cast<int>(static_cast<INT_PTR>(wParam)), reinterpret_cast<const char*>(lParam), false);
    case LB_DELETESTRING: {
      int index = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (index < 0 || index >= Count(*st)) return LB_ERR;
      st->items.erase(st->items.begin() + index);
      if (st->selected == index) st->selected = -1;
      if (st->selected > index) --st->selected;
      Changed(hwnd, *st);
      return Count(*st);
    }
    case LB_RESETCONTENT:
      st->items.clear();
      st->selected = -1;
      st->top = 0;
      Changed(hwnd, *st);
      return 0;
    case LB_GETCOUNT: return Count(*st);
    case LB_GETCURSEL: return st->selected;
    case LB_SETCURSEL: {
      int index = static_cast<int>(static_cast<INT_PTR>(wParam));
      st->selected = index >= 0 && index < Count(*st) ? index : -1;
      ShowItem(hwnd, *st, st->selected);
      InvalidateRect(hwnd, nullptr, TRUE);
      return st->selected == -1 ? LB_ERR : st->selected;
    }
    case LB_GETSEL: {
      int index = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (index < 0 || index >= Count(*st)) return LB_ERR;
      return index == st->selected;
    }
    case LB_GETTEXT:
    case LB_GETTEXTLEN: {
      int index = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (index < 0 || index >= Count(*st)) return LB_ERR;
      const std::string& s = st->items[static_cast<size_t>(index)].text;
      if (msg == LB_GETTEXT && lParam) std::memcpy(reinterpret_cast<char*>(lParam), s.c_str(), s.size() + 1);
      return static_cast<LRESULT>(s.size());
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: return Find(*st, wParam, reinterpret_cast<const char*>(lParam), msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
      int found = Find(*st, wParam, reinterpret_cast<const char*>(lParam), false);
      if (found != LB_ERR) SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
      return found;
    }
    case LB_GETITEMDATA:
    case LB_SETITEMDATA: {
      int index = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (index < 0 || index >= Count(*st)) return LB_ERR;
      ULONG_PTR& data = st->items[static_cast<size_t>(index)].data;
      if (msg == LB_GETITEMDATA) return static_cast<LRESULT>(data);
      data = static_cast<ULONG_PTR>(lParam);
      return TRUE;
    }
    case LB_GETTOPINDEX: return st->top;
    case LB_SETTOPINDEX:
      if (static_cast<INT_PTR>(wParam) < 0 || static_cast<int>(wParam) >= std::max(1, Count(*st))) return LB_ERR;
      SetTop(hwnd, *st, static_cast<int>(wParam));
      return 0;
    case LB_GETITEMHEIGHT: return st->itemHeight;
    case LB_SETITEMHEIGHT:
      if (LOWORD(lParam) == 0) return LB_ERR;
      st->itemHeight = LOWORD(lParam);
      Changed(hwnd, *st);
      return 0;
    case LB_GETITEMRECT: {
      int index = static_cast<int>(static_cast<INT_PTR>(wParam));
      if (index < 0 || index >= Count(*st) || !lParam) return LB_ERR;
      RECT rc;
      GetClientRect(hwnd, &rc);
      *reinterpret_cast<RECT*>(lParam) = {0, (index - st->top) * st->itemHeight, rc.right,
                                          (index - st->top + 1) * st->itemHeight};
      return 0;
    }
    case LB_ITEMFROMPOINT: {
      bool outside;
      int index = ItemAt(hwnd, *st, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
      return MAKELRESULT(index, outside ? 1 : 0);
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win32::controls
