// The "SysListView32" class in report view: columns, rows with a text per sub-item, selection,
// focus item and selection mark, custom drawing by the parent and scrolling by whole rows.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "win32/commctrl.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::controls {
namespace {

constexpr int kCellMargin = 2;  // between a cell's edge and its text
constexpr int kRowSpacing = 2;  // a row is this much taller than the font
constexpr int kWheelRows = 3;

struct Column {
  int format = LVCFMT_LEFT;
  int width = 0;
  int subItem = 0;
};

struct Row {
  std::vector<std::string> texts;  // by sub-item
  UINT state = 0;
  LPARAM param = 0;
};

struct ListViewState {
  HFONT font = nullptr;
  std::vector<Column> columns;
  std::vector<Row> rows;
  int top = 0;
  int rowHeight = 0;
  int mark = -1;
  DWORD exStyle = 0;
  COLORREF textBk = 0;
  bool focused = false;
  bool painting = false;  // state changes ask for no paint while this is set
  // The left button went down on the list: NM_CLICK when it comes up.
  bool pressed = false;
  int pressItem = -1;
  int pressColumn = -1;
  POINT pressAt{};
};

int Count(const ListViewState& st) { return static_cast<int>(st.rows.size()); }
bool Valid(const ListViewState& st, WPARAM index) {
  const auto i = static_cast<INT_PTR>(index);
  return i >= 0 && i < Count(st);
}
bool SingleSelection(HWND hwnd) { return Style(hwnd) & LVS_SINGLESEL; }
bool FullRow(const ListViewState& st) { return st.exStyle & LVS_EX_FULLROWSELECT; }

int RowHeightFor(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectControlFont(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm.tmHeight + kRowSpacing;
}

int PerPage(HWND hwnd, const ListViewState& st) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return std::max(1, static_cast<int>(rc.bottom) / std::max(1, st.rowHeight));
}

void UpdateScrollInfo(HWND hwnd, const ListViewState& st) {
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, Count(st) - 1),
                static_cast<UINT>(PerPage(hwnd, st)), st.top, 0};
  SetScrollInfo(hwnd, SB_VERT, &si, (Style(hwnd) & WS_VSCROLL) != 0);
}

void Repaint(HWND hwnd, const ListViewState& st) {
  if (!st.painting) InvalidateRect(hwnd, nullptr, TRUE);
}

// The top row that shows the last page.
int LastTop(HWND hwnd, const ListViewState& st) { return std::max(0, Count(st) - PerPage(hwnd, st)); }

void SetTop(HWND hwnd, ListViewState& st, int top) {
  top = std::clamp(top, 0, LastTop(hwnd, st));
  if (top == st.top) return;
  st.top = top;
  UpdateScrollInfo(hwnd, st);
  Repaint(hwnd, st);
}

// After rows, the size or the font changed: the top row stays in range.
void Changed(HWND hwnd, ListViewState& st) {
  st.top = std::clamp(st.top, 0, LastTop(hwnd, st));
  UpdateScrollInfo(hwnd, st);
  Repaint(hwnd, st);
}

int ColumnLeft(const ListViewState& st, size_t column) {
  int x = 0;
  for (size_t c = 0; c < column; ++c) x += st.columns[c].width;
  return x;
}

RECT RowBounds(const ListViewState& st, int index) {
  const int y = (index - st.top) * st.rowHeight;
  return {0, y, ColumnLeft(st, st.columns.size()), y + st.rowHeight};
}

RECT CellBounds(const ListViewState& st, int index, size_t column) {
  RECT r = RowBounds(st, index);
  r.left = ColumnLeft(st, column);
  r.right = r.left + (column < st.columns.size() ? st.columns[column].width : 0);
  return r;
}

bool HasSubItem(const ListViewState& st, int subItem) {
  if (subItem == 0) return true;
  return std::any_of(st.columns.begin(), st.columns.end(), [subItem](const Column& c) { return c.subItem == subItem; });
}

const std::string& TextOf(const Row& row, int subItem) {
  static const std::string empty;
  return subItem >= 0 && static_cast<size_t>(subItem) < row.texts.size() ? row.texts[static_cast<size_t>(subItem)] : empty;
}

void SetText(Row& row, int subItem, const char* text) {
  if (row.texts.size() <= static_cast<size_t>(subItem)) row.texts.resize(static_cast<size_t>(subItem) + 1);
  row.texts[static_cast<size_t>(subItem)] = text ? text : "";
}

// Copies text into a caller's buffer of cch characters, cut at a character boundary; the number
// of characters copied.
int CopyText(const std::string& text, char* buffer, int cch) {
  if (!buffer || cch <= 0) return 0;
  size_t n = std::min(text.size(), static_cast<size_t>(cch - 1));
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int FocusedRow(const ListViewState& st) {
  for (int i = 0; i < Count(st); ++i) {
    if (st.rows[static_cast<size_t>(i)].state & LVIS_FOCUSED) return i;
  }
  return -1;
}

// Sets the states of one row: a selection in a single-selection list and the focus leave the
// other rows.
void ApplyState(HWND hwnd, ListViewState& st, int index, UINT state, UINT mask) {
  mask &= LVIS_FOCUSED | LVIS_SELECTED;
  Row& row = st.rows[static_cast<size_t>(index)];
  const UINT wanted = (row.state & ~mask) | (state & mask);
  const UINT gained = wanted & ~row.state;
  for (Row& other : st.rows) {
    if (&other == &row) continue;
    if ((gained & LVIS_SELECTED) && SingleSelection(hwnd)) other.state &= ~LVIS_SELECTED;
    if (gained & LVIS_FOCUSED) other.state &= ~LVIS_FOCUSED;
  }
  if (wanted != row.state) {
    row.state = wanted;
    Repaint(hwnd, st);
  }
}

void SelectOnly(HWND hwnd, ListViewState& st, int index) {
  for (int i = 0; i < Count(st); ++i) {
    if (i != index) ApplyState(hwnd, st, i, 0, LVIS_SELECTED);
  }
  if (index >= 0) ApplyState(hwnd, st, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

bool EnsureVisible(HWND hwnd, ListViewState& st, int index, bool partialOk) {
  if (index < 0 || index >= Count(st)) return false;
  if (index < st.top) {
    SetTop(hwnd, st, index);
    return true;
  }
  RECT rc;
  GetClientRect(hwnd, &rc);
  const RECT row = RowBounds(st, index);
  if (row.bottom <= rc.bottom || (partialOk && row.top < rc.bottom)) return true;
  SetTop(hwnd, st, index - PerPage(hwnd, st) + 1);
  return true;
}

// The row and column under a client point; the row is -1 where there is none, or where the
// column does not take clicks (without full-row selection only the first does).
int HitTest(const ListViewState& st, POINT pt, int* column) {
  *column = -1;
  int x = 0;
  for (size_t c = 0; c < st.columns.size(); ++c) {
    if (pt.x >= x && pt.x < x + st.columns[c].width) *column = static_cast<int>(c);
    x += st.columns[c].width;
  }
  if (pt.y < 0 || st.rowHeight <= 0) return -1;
  const int index = st.top + pt.y / st.rowHeight;
  if (index >= Count(st) || *column < 0 || (*column > 0 && !FullRow(st))) return -1;
  return index;
}

// A click of the user: the row alone, or with Ctrl one more or less, or with Shift the rows from
// the mark; nothing where there is no row.
void ClickSelect(HWND hwnd, ListViewState& st, int index, WPARAM keys) {
  const bool multiple = !SingleSelection(hwnd);
  if (index < 0) {
    if (!(keys & (MK_CONTROL | MK_SHIFT))) SelectOnly(hwnd, st, -1);
    return;
  }
  if (multiple && (keys & MK_CONTROL)) {
    const UINT selected = st.rows[static_cast<size_t>(index)].state & LVIS_SELECTED;
    ApplyState(hwnd, st, index, (selected ^ LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    st.mark = index;
  } else if (multiple && (keys & MK_SHIFT) && st.mark >= 0 && st.mark < Count(st)) {
    const int from = std::min(st.mark, index), to = std::max(st.mark, index);
    for (int i = 0; i < Count(st); ++i) ApplyState(hwnd, st, i, i >= from && i <= to ? LVIS_SELECTED : 0, LVIS_SELECTED);
    ApplyState(hwnd, st, index, LVIS_FOCUSED, LVIS_FOCUSED);
  } else {
    SelectOnly(hwnd, st, index);
    st.mark = index;
  }
}

UINT KeyFlags() {
  return ((GetKeyState(VK_MENU) & 0x8000) ? LVKF_ALT : 0) | ((GetKeyState(VK_CONTROL) & 0x8000) ? LVKF_CONTROL : 0) |
         ((GetKeyState(VK_SHIFT) & 0x8000) ? LVKF_SHIFT : 0);
}

LRESULT NotifyParent(HWND hwnd, NMHDR& header, UINT code) {
  header = {hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), code};
  HWND parent = GetParent(hwnd);
  if (!parent) return 0;
  return SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void NotifyActivate(HWND hwnd, const ListViewState& st, UINT code, int item, int column, POINT at) {
  NMITEMACTIVATE n{};
  n.iItem = item;
  n.iSubItem = column < 0 ? 0 : st.columns[static_cast<size_t>(column)].subItem;
  n.ptAction = at;
  n.lParam = item >= 0 ? st.rows[static_cast<size_t>(item)].param : 0;
  n.uKeyFlags = KeyFlags();
  NotifyParent(hwnd, n.hdr, code);
}

LRESULT CustomDraw(HWND hwnd, NMLVCUSTOMDRAW& cd, DWORD stage) {
  cd.nmcd.dwDrawStage = stage;
  return NotifyParent(hwnd, cd.nmcd.hdr, NM_CUSTOMDRAW);
}

void FillColor(HDC hdc, const RECT& r, COLORREF color) {
  if (color == CLR_NONE) return;
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(hdc, &r, brush);
  DeleteObject(brush);
}

void DrawCells(HDC hdc, const ListViewState& st, int index, const NMLVCUSTOMDRAW& cd, bool highlight) {
  const Row& row = st.rows[static_cast<size_t>(index)];
  for (size_t c = 0; c < st.columns.size(); ++c) {
    const Column& column = st.columns[c];
    if (column.width <= 0) continue;
    const RECT cell = CellBounds(st, index, c);
    const bool lit = highlight && (c == 0 || FullRow(st));
    FillColor(hdc, cell, lit ? GetSysColor(COLOR_HIGHLIGHT) : cd.clrTextBk);
    SetTextColor(hdc, lit ? GetSysColor(COLOR_HIGHLIGHTTEXT) : cd.clrText);
    RECT label = cell;
    InflateRect(&label, -kCellMargin, 0);
    const int align = c == 0 ? DT_LEFT : (column.format & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT ? DT_RIGHT
                                       : (column.format & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER ? DT_CENTER
                                                                                                : DT_LEFT;
    const std::string& text = TextOf(row, column.subItem);
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &label,
              static_cast<UINT>(align) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

// One row with its custom-draw stages; false when the list went away meanwhile.
bool DrawRow(HWND hwnd, HDC hdc, ListViewState& st, int index, bool notify) {
  NMLVCUSTOMDRAW cd{};
  cd.nmcd.hdc = hdc;
  cd.nmcd.rc = RowBounds(st, index);
  cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
  const UINT state = st.rows[static_cast<size_t>(index)].state;
  cd.nmcd.uItemState = ((state & LVIS_SELECTED) ? CDIS_SELECTED : 0) | ((state & LVIS_FOCUSED) && st.focused ? CDIS_FOCUS : 0);
  cd.nmcd.lItemlParam = st.rows[static_cast<size_t>(index)].param;
  cd.clrText = GetSysColor(COLOR_WINDOWTEXT);
  cd.clrTextBk = st.textBk;
  const LRESULT answer = notify ? CustomDraw(hwnd, cd, CDDS_ITEMPREPAINT) : CDRF_DODEFAULT;
  if (!IsWindow(hwnd)) return false;
  if (index >= Count(st)) return true;
  if (!(answer & CDRF_SKIPDEFAULT)) {
    // The state as the parent left it: it may have hidden the selection for this paint.
    const UINT now = st.rows[static_cast<size_t>(index)].state;
    DrawCells(hdc, st, index, cd, (now & LVIS_SELECTED) && st.focused);
    if ((now & LVIS_FOCUSED) && st.focused) {
      RECT focus = FullRow(st) ? RowBounds(st, index) : CellBounds(st, index, 0);
      DrawFocusRect(hdc, &focus);
    }
  }
  if (answer & CDRF_NOTIFYPOSTPAINT) {
    CustomDraw(hwnd, cd, CDDS_ITEMPOSTPAINT);
    if (!IsWindow(hwnd)) return false;
  }
  return true;
}

// Draws the rows over what the DC holds (WM_ERASEBKGND drew the background).
void Paint(HWND hwnd, HDC hdc, ListViewState& st) {
  RECT client;
  GetClientRect(hwnd, &client);
  st.painting = true;
  NMLVCUSTOMDRAW cd{};
  cd.nmcd.hdc = hdc;
  cd.nmcd.rc = client;
  const LRESULT answer = CustomDraw(hwnd, cd, CDDS_PREPAINT);
  if (!IsWindow(hwnd)) return;
  if (!(answer & CDRF_SKIPDEFAULT)) {
    HGDIOBJ oldFont = SelectControlFont(hdc, st.font);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    for (int i = st.top; i < Count(st) && RowBounds(st, i).top < client.bottom; ++i) {
      if (!DrawRow(hwnd, hdc, st, i, answer & CDRF_NOTIFYITEMDRAW)) return;
    }
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, oldFont);
  }
  if (answer & CDRF_NOTIFYPOSTPAINT) {
    cd.nmcd.rc = client;
    CustomDraw(hwnd, cd, CDDS_POSTPAINT);
    if (!IsWindow(hwnd)) return;
  }
  st.painting = false;
}

void KeyMove(HWND hwnd, ListViewState& st, WPARAM key) {
  if (st.rows.empty()) return;
  const int focus = FocusedRow(st);
  const int page = PerPage(hwnd, st);
  int to;
  switch (key) {
    case VK_UP: to = focus - 1; break;
    case VK_DOWN: to = focus + 1; break;
    case VK_PRIOR: to = focus - page + 1; break;
    case VK_NEXT: to = focus + page - 1; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = Count(st) - 1; break;
    default: return;
  }
  if (focus < 0 && key != VK_END) to = 0;
  to = std::clamp(to, 0, Count(st) - 1);
  SelectOnly(hwnd, st, to);
  st.mark = to;
  EnsureVisible(hwnd, st, to, false);
}

int InsertItem(HWND hwnd, ListViewState& st, const LVITEMA* item) {
  if (!item || item->iSubItem != 0 || item->iItem < 0) return -1;
  const int index = std::min(item->iItem, Count(st));
  Row row;
  if (item->mask & LVIF_TEXT) SetText(row, 0, item->pszText);
  if (item->mask & LVIF_PARAM) row.param = item->lParam;
  st.rows.insert(st.rows.begin() + index, std::move(row));
  if (st.mark >= index) ++st.mark;
  if (item->mask & LVIF_STATE) ApplyState(hwnd, st, index, item->state, item->stateMask);
  Changed(hwnd, st);
  return index;
}

bool DeleteItem(HWND hwnd, ListViewState& st, int index) {
  if (index < 0 || index >= Count(st)) return false;
  st.rows.erase(st.rows.begin() + index);
  if (st.mark == index) st.mark = -1;
  if (st.mark > index) --st.mark;
  Changed(hwnd, st);
  return true;
}

int InsertColumn(HWND hwnd, ListViewState& st, int index, const LVCOLUMNA* col) {
  if (!col || index < 0) return -1;
  index = std::min(index, static_cast<int>(st.columns.size()));
  Column column;
  if (col->mask & LVCF_FMT) column.format = col->fmt & LVCFMT_JUSTIFYMASK;
  if (col->mask & LVCF_WIDTH) column.width = std::max(0, col->cx);
  column.subItem = (col->mask & LVCF_SUBITEM) ? std::max(0, col->iSubItem) : index;
  st.columns.insert(st.columns.begin() + index, column);
  Repaint(hwnd, st);
  return index;
}

int NextItem(const ListViewState& st, WPARAM start, LPARAM flags) {
  UINT wanted = 0;
  if (LOWORD(flags) & LVNI_FOCUSED) wanted |= LVIS_FOCUSED;
  if (LOWORD(flags) & LVNI_SELECTED) wanted |= LVIS_SELECTED;
  for (int i = std::max(-1, static_cast<int>(static_cast<INT_PTR>(start))) + 1; i < Count(st); ++i) {
    if ((st.rows[static_cast<size_t>(i)].state & wanted) == wanted) return i;
  }
  return -1;
}

bool ItemRect(const ListViewState& st, int index, RECT* r) {
  if (!r || index < 0 || index >= Count(st)) return false;
  switch (r->left) {
    case LVIR_BOUNDS: *r = RowBounds(st, index); return true;
    case LVIR_ICON: *r = CellBounds(st, index, 0); r->right = r->left; return true;
    case LVIR_LABEL: *r = CellBounds(st, index, 0); return true;
    case LVIR_SELECTBOUNDS: *r = FullRow(st) ? RowBounds(st, index) : CellBounds(st, index, 0); return true;
  }
  return false;
}

// Pixels to whole rows, a half row or more counting as one.
int RowsFor(int pixels, int rowHeight) {
  if (rowHeight <= 0) return 0;
  const int rows = (std::abs(pixels) + rowHeight / 2) / rowHeight;
  return pixels < 0 ? -rows : rows;
}

}  // namespace

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const DWORD style = static_cast<DWORD>(reinterpret_cast<CREATESTRUCTA*>(lParam)->style);
    if ((style & LVS_TYPEMASK) != LVS_REPORT || !(style & LVS_NOCOLUMNHEADER)) {
      SetLastError(ERROR_NOT_SUPPORTED);
      return FALSE;
    }
  }
  ListViewState* st = Lifetime<ListViewState>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  auto item = [lParam] { return reinterpret_cast<LVITEMA*>(lParam); };
  const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (msg) {
    case WM_NCCREATE:
      st->rowHeight = RowHeightFor(nullptr);
      st->textBk = GetSysColor(COLOR_WINDOW);
      break;
    case WM_SIZE: Changed(hwnd, *st); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
      st->font = reinterpret_cast<HFONT>(wParam);
      st->rowHeight = RowHeightFor(st->font);
      Changed(hwnd, *st);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_WINDOW));
      return 1;
    }
    case WM_PAINT:
      if (wParam) {
        Paint(hwnd, reinterpret_cast<HDC>(wParam), *st);
        return 0;
      }
      return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_PRINTCLIENT: return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      st->focused = msg == WM_SETFOCUS;
      Repaint(hwnd, *st);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd);
      if (!IsWindow(hwnd)) return 0;
      const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      int column;
      const int hit = HitTest(*st, pt, &column);
      ClickSelect(hwnd, *st, hit, wParam);
      if (msg == WM_LBUTTONDBLCLK) {
        NotifyActivate(hwnd, *st, NM_DBLCLK, hit, column, pt);
        return 0;
      }
      st->pressed = true;
      st->pressItem = hit;
      st->pressColumn = column;
      st->pressAt = pt;
      SetCapture(hwnd);
      return 0;
    }
    case WM_LBUTTONUP: {
      if (!st->pressed) return 0;
      st->pressed = false;
      const int hit = st->pressItem, column = st->pressColumn;
      const POINT at = st->pressAt;
      ReleaseCapture();
      if (IsWindow(hwnd) && hit < Count(*st)) NotifyActivate(hwnd, *st, NM_CLICK, hit, column, at);
      return 0;
    }
    case WM_CAPTURECHANGED: st->pressed = false; return 0;
    case WM_KEYDOWN: KeyMove(hwnd, *st, wParam); return 0;
    case WM_MOUSEWHEEL: SetTop(hwnd, *st, st->top - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * kWheelRows); return 0;
    case WM_VSCROLL: {
      const int page = PerPage(hwnd, *st);
      int top = st->top;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = HIWORD(wParam); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = Count(*st); break;
      }
      SetTop(hwnd, *st, top);
      return 0;
    }

    case LVM_GETITEMCOUNT: return Count(*st);
    case LVM_INSERTITEMA: return InsertItem(hwnd, *st, item());
    case LVM_DELETEITEM: return DeleteItem(hwnd, *st, index);
    case LVM_DELETEALLITEMS:
      st->rows.clear();
      st->mark = -1;
      st->top = 0;
      Changed(hwnd, *st);
      return TRUE;
    case LVM_INSERTCOLUMNA: return InsertColumn(hwnd, *st, index, reinterpret_cast<const LVCOLUMNA*>(lParam));
    case LVM_GETITEMTEXTA:
      if (!Valid(*st, wParam) || !item()) return 0;
      return CopyText(TextOf(st->rows[static_cast<size_t>(index)], item()->iSubItem), item()->pszText, item()->cchTextMax);
    case LVM_SETITEMTEXTA:
      if (!Valid(*st, wParam) || !item() || !HasSubItem(*st, item()->iSubItem)) return FALSE;
      SetText(st->rows[static_cast<size_t>(index)], item()->iSubItem, item()->pszText);
      Repaint(hwnd, *st);
      return TRUE;
    case LVM_GETITEMSTATE: return Valid(*st, wParam) ? st->rows[static_cast<size_t>(index)].state & static_cast<UINT>(lParam) : 0;
    case LVM_SETITEMSTATE:
      if (!item()) return FALSE;
      if (index == -1) {
        for (int i = 0; i < Count(*st); ++i) ApplyState(hwnd, *st, i, item()->state, item()->stateMask);
        return TRUE;
      }
      if (!Valid(*st, wParam)) return FALSE;
      ApplyState(hwnd, *st, index, item()->state, item()->stateMask);
      return TRUE;
    case LVM_GETNEXTITEM: return NextItem(*st, wParam, lParam);
    case LVM_GETSELECTIONMARK: return st->mark;
    case LVM_SETSELECTIONMARK: {
      const int old = st->mark;
      st->mark = static_cast<int>(lParam);
      return old;
    }
    case LVM_GETITEMRECT: return ItemRect(*st, index, reinterpret_cast<RECT*>(lParam));
    case LVM_GETTOPINDEX: return st->top;
    case LVM_ENSUREVISIBLE: return EnsureVisible(hwnd, *st, index, lParam != 0);
    case LVM_SCROLL:
      // Only vertically: the columns never scroll sideways.
      SetTop(hwnd, *st, st->top + RowsFor(static_cast<int>(lParam), st->rowHeight));
      return TRUE;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      const DWORD old = st->exStyle;
      const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFF;
      st->exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
      if (st->exStyle != old) Repaint(hwnd, *st);
      return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return st->exStyle;
    case LVM_SETTEXTBKCOLOR: st->textBk = static_cast<COLORREF>(lParam); return TRUE;
    case LVM_GETTEXTBKCOLOR: return st->textBk;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win32::controls
