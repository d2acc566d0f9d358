// The "Edit" class, single line: text, caret and selection, keyboard and mouse editing, and
// horizontal scrolling that keeps the caret in view. Text is UTF-8; positions are byte offsets
// that always fall on character boundaries.
#include <algorithm>

#include "controls/controls.h"

namespace win32::controls {
namespace {

constexpr int kMargin = 1;
constexpr size_t kLargestLimit = 0x7FFFFFFE;
constexpr size_t kDefaultLimit = 30000;

struct EditState {
  HFONT font = nullptr;
  std::string text;
  size_t anchor = 0;  // the fixed end of the selection
  size_t caret = 0;   // the moving end, where the caret is
  size_t first = 0;   // the first character shown
  size_t limit = kDefaultLimit;
  char password = 0;
  bool modified = false;
  bool focused = false;
  bool selecting = false;  // the left button is held after a click in the text
};

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t Next(const std::string& s, size_t pos) {
  if (pos >= s.size()) return s.size();
  ++pos;
  while (pos < s.size() && IsContinuation(s[pos])) ++pos;
  return pos;
}

size_t Prev(const std::string& s, size_t pos) {
  if (pos == 0) return 0;
  --pos;
  while (pos > 0 && IsContinuation(s[pos])) --pos;
  return pos;
}

size_t Snap(const std::string& s, size_t pos) {
  pos = std::min(pos, s.size());
  while (pos > 0 && pos < s.size() && IsContinuation(s[pos])) --pos;
  return pos;
}

size_t SelMin(const EditState& st) { return std::min(st.anchor, st.caret); }
size_t SelMax(const EditState& st) { return std::max(st.anchor, st.caret); }

bool ReadOnly(HWND hwnd) { return Style(hwnd) & ES_READONLY; }

// What is shown for text[0, pos): the text itself, or a password character per character.
std::string Shown(const EditState& st, size_t pos) {
  if (!st.password) return st.text.substr(0, pos);
  size_t count = 0;
  for (size_t i = 0; i < pos; i = Next(st.text, i)) ++count;
  return std::string(count, st.password);
}

// A DC with the control's font for measuring.
class Measure {
 public:
  explicit Measure(HFONT font) : dc_(CreateCompatibleDC(nullptr)), old_(SelectControlFont(dc_, font)) {}
  ~Measure() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  int Width(const std::string& s) const {
    SIZE size{};
    GetTextExtentPoint32A(dc_, s.c_str(), static_cast<int>(s.size()), &size);
    return size.cx;
  }
  int Height() const {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    return tm.tmHeight;
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

RECT TextArea(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  rc.left += kMargin;
  rc.right -= kMargin;
  return rc;
}

int TextTop(HWND hwnd, const Measure& m) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return std::max(0, (static_cast<int>(rc.bottom) - m.Height()) / 2);
}

// Client x of a text position.
int XOf(HWND hwnd, const EditState& st, const Measure& m, size_t pos) {
  return TextArea(hwnd).left + m.Width(Shown(st, pos)) - m.Width(Shown(st, st.first));
}

// The character boundary nearest a client x.
size_t PosAt(HWND hwnd, const EditState& st, const Measure& m, int x) {
  size_t best = st.first;
  int bestDistance = INT32_MAX;
  for (size_t p = st.first;; p = Next(st.text, p)) {
    int d = std::abs(XOf(hwnd, st, m, p) - x);
    if (d < bestDistance) {
      bestDistance = d;
      best = p;
    }
    if (p >= st.text.size()) break;
  }
  if (x < TextArea(hwnd).left && st.first > 0) return Prev(st.text, st.first);
  return best;
}

void ScrollToCaret(HWND hwnd, EditState& st) {
  Measure m(st.font);
  const RECT area = TextArea(hwnd);
  if (st.caret < st.first) st.first = st.caret;
  while (st.first < st.caret && XOf(hwnd, st, m, st.caret) >= area.right) st.first = Next(st.text, st.first);
  // Use the room at the right when text was removed.
  while (st.first > 0) {
    size_t earlier = Prev(st.text, st.first);
    EditState probe = st;
    probe.first = earlier;
    if (XOf(hwnd, probe, m, st.text.size()) >= area.right) break;
    st.first = earlier;
  }
}

void Repaint(HWND hwnd) { InvalidateRect(hwnd, nullptr, FALSE); }

// After a change of the text: EN_UPDATE before it is shown, EN_CHANGE after.
void TextChanged(HWND hwnd, EditState& st) {
  ScrollToCaret(hwnd, st);
  Notify(hwnd, EN_UPDATE);
  if (!IsWindow(hwnd)) return;
  Repaint(hwnd);
  UpdateWindow(hwnd);
  Notify(hwnd, EN_CHANGE);
}

std::string Utf8(UINT codePoint) {
  std::string s;
  if (codePoint < 0x80) {
    s += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    s += static_cast<char>(0xC0 | (codePoint >> 6));
    s += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    s += static_cast<char>(0xE0 | (codePoint >> 12));
    s += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (codePoint >> 18));
    s += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return s;
}

// Replaces the selection with text cut to the limit; false when nothing could change.
bool ReplaceSelection(HWND hwnd, EditState& st, std::string insert, bool byUser) {
  const size_t from = SelMin(st), to = SelMax(st);
  const size_t kept = st.text.size() - (to - from);
  if (kept + insert.size() > st.limit) {
    insert = insert.substr(0, Snap(insert, st.limit > kept ? st.limit - kept : 0));
    Notify(hwnd, EN_MAXTEXT);
    if (!IsWindow(hwnd)) return false;
    if (insert.empty() && from == to) return false;
  }
  std::string before = st.text;
  st.text = st.text.substr(0, from) + insert + st.text.substr(to);
  if (byUser && !(Style(hwnd) & ES_AUTOHSCROLL)) {
    // Without automatic scrolling the text must fit the control.
    Measure m(st.font);
    RECT area = TextArea(hwnd);
    if (m.Width(Shown(st, st.text.size())) > area.right - area.left) {
      st.text = before;
      Notify(hwnd, EN_MAXTEXT);
      return false;
    }
  }
  st.anchor = st.caret = from + insert.size();
  if (byUser) st.modified = true;
  TextChanged(hwnd, st);
  return true;
}

void MoveCaret(HWND hwnd, EditState& st, size_t pos, bool extend) {
  st.caret = Snap(st.text, pos);
  if (!extend) st.anchor = st.caret;
  ScrollToCaret(hwnd, st);
  Repaint(hwnd);
}

size_t WordLeft(const std::string& s, size_t pos) {
  while (pos > 0 && s[Prev(s, pos)] == ' ') pos = Prev(s, pos);
  while (pos > 0 && s[Prev(s, pos)] != ' ') pos = Prev(s, pos);
  return pos;
}

size_t WordRight(const std::string& s, size_t pos) {
  while (pos < s.size() && s[pos] != ' ') pos = Next(s, pos);
  while (pos < s.size() && s[pos] == ' ') pos = Next(s, pos);
  return pos;
}

void KeyDown(HWND hwnd, EditState& st, UINT vk) {
  const bool shift = GetKeyState(VK_SHIFT) & 0x8000;
  const bool control = GetKeyState(VK_CONTROL) & 0x8000;
  switch (vk) {
    case VK_LEFT:
      if (!shift && st.anchor != st.caret) {
        MoveCaret(hwnd, st, SelMin(st), false);
      } else {
        MoveCaret(hwnd, st, control ? WordLeft(st.text, st.caret) : Prev(st.text, st.caret), shift);
      }
      break;
    case VK_RIGHT:
      if (!shift && st.anchor != st.caret) {
        MoveCaret(hwnd, st, SelMax(st), false);
      } else {
        MoveCaret(hwnd, st, control ? WordRight(st.text, st.caret) : Next(st.text, st.caret), shift);
      }
      break;
    case VK_HOME: MoveCaret(hwnd, st, 0, shift); break;
    case VK_END: MoveCaret(hwnd, st, st.text.size(), shift); break;
    case VK_DELETE:
      if (ReadOnly(hwnd)) break;
      if (st.anchor == st.caret) {
        if (st.caret >= st.text.size()) break;
        st.anchor = Next(st.text, st.caret);
      }
      ReplaceSelection(hwnd, st, "", true);
      break;
  }
}

void Char(HWND hwnd, EditState& st, UINT ch) {
  if (ReadOnly(hwnd)) return;
  if (ch == 0x08) {
    if (st.anchor == st.caret) {
      if (st.caret == 0) return;
      st.anchor = Prev(st.text, st.caret);
    }
    ReplaceSelection(hwnd, st, "", true);
    return;
  }
  if (ch < 0x20 || ch == 0x7F) return;
  const DWORD style = Style(hwnd);
  if ((style & ES_NUMBER) && (ch < '0' || ch > '9')) return;
  if ((style & ES_UPPERCASE) && ch >= 'a' && ch <= 'z') ch -= 32;
  if ((style & ES_LOWERCASE) && ch >= 'A' && ch <= 'Z') ch += 32;
  ReplaceSelection(hwnd, st, Utf8(ch), true);
}

void Paint(HWND hwnd, HDC hdc, const EditState& st) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const bool enabled = IsWindowEnabled(hwnd);
  // Read-only and disabled edits take the colours of statics.
  HBRUSH brush = ControlColors(hwnd, hdc, enabled && !ReadOnly(hwnd) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
  FillRect(hdc, &rc, brush);
  HGDIOBJ oldFont = SelectControlFont(hdc, st.font);
  if (!enabled) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  Measure m(st.font);
  const RECT area = TextArea(hwnd);
  const int top = TextTop(hwnd, m);
  const size_t selFrom = std::max(SelMin(st), st.first), selTo = std::max(SelMax(st), st.first);
  const bool showSelection = selFrom != selTo && (st.focused || (Style(hwnd) & ES_NOHIDESEL));
  auto draw = [&](size_t from, size_t to, bool selected) {
    if (from >= to) return;
    std::string part = Shown(st, to).substr(Shown(st, from).size());
    COLORREF oldText = 0, oldBack = 0;
    if (selected) {
      oldText = SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      oldBack = SetBkColor(hdc, GetSysColor(COLOR_HIGHLIGHT));
    }
    SetBkMode(hdc, selected ? OPAQUE : TRANSPARENT);
    ExtTextOutA(hdc, XOf(hwnd, st, m, from), top, ETO_CLIPPED, &area, part.c_str(), static_cast<UINT>(part.size()),
                nullptr);
    if (selected) {
      SetTextColor(hdc, oldText);
      SetBkColor(hdc, oldBack);
    }
  };
  if (showSelection) {
    draw(st.first, selFrom, false);
    draw(selFrom, selTo, true);
    draw(selTo, st.text.size(), false);
  } else {
    draw(st.first, st.text.size(), false);
  }
  if (st.focused && enabled) {
    RECT caret{XOf(hwnd, st, m, st.caret), top, 0, top + m.Height()};
    caret.right = caret.left + 1;
    HBRUSH caretBrush = CreateSolidBrush(GetTextColor(hdc));
    FillRect(hdc, &caret, caretBrush);
    DeleteObject(caretBrush);
  }
  SelectObject(hdc, oldFont);
}

void SetSelection(HWND hwnd, EditState& st, LONG_PTR start, LONG_PTR end) {
  if (start == -1) {
    st.anchor = st.caret;
  } else {
    const size_t size = st.text.size();
    st.anchor = Snap(st.text, start < 0 ? size : std::min<size_t>(static_cast<size_t>(start), size));
    st.caret = Snap(st.text, end < 0 ? size : std::min<size_t>(static_cast<size_t>(end), size));
  }
  ScrollToCaret(hwnd, st);
  Repaint(hwnd);
}

}  // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  EditState* st = Lifetime<EditState>(hwnd, msg);
  if (!st) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs->lpszName) st->text = cs->lpszName;
      if (cs->style & ES_PASSWORD) st->password = '*';
      break;
    }
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      // The edit field of a dropped combo box lets it have Enter and Escape.
      if (IsComboBox(GetParent(hwnd))) code |= SendMessageA(GetParent(hwnd), msg, wParam, lParam) & DLGC_WANTMESSAGE;
      return code;
    }
    case WM_SYSKEYDOWN:
      if (IsComboBox(GetParent(hwnd)) && (wParam == VK_DOWN || wParam == VK_UP)) {
        return SendMessageA(GetParent(hwnd), msg, wParam, lParam);
      }
      break;
    case WM_SETFONT:
      st->font = reinterpret_cast<HFONT>(wParam);
      ScrollToCaret(hwnd, *st);
      if (LOWORD(lParam)) Repaint(hwnd);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(st->font);
    case WM_SETTEXT:
      DefWindowProcA(hwnd, msg, wParam, lParam);
      st->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      st->anchor = st->caret = st->first = 0;
      st->modified = false;
      TextChanged(hwnd, *st);
      return TRUE;
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) return 0;
      size_t n = Snap(st->text, std::min(st->text.size(), static_cast<size_t>(wParam) - 1));
      st->text.copy(buffer, n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(st->text.size());
    case WM_ENABLE: Repaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintOrPrint(hwnd, msg, wParam, [&](HDC hdc) { Paint(hwnd, hdc, *st); });
    case WM_SETFOCUS:
      st->focused = true;
      Repaint(hwnd);
      Notify(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      st->focused = false;
      Repaint(hwnd);
      Notify(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_KEYDOWN:
      // In a combo box, the keys that move the selection or the list belong to the combo box.
      if (IsComboBox(GetParent(hwnd)) && (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_F4 ||
                                          wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        return SendMessageA(GetParent(hwnd), msg, wParam, lParam);
      }
      KeyDown(hwnd, *st, static_cast<UINT>(wParam));
      return 0;
    case WM_CHAR: Char(hwnd, *st, static_cast<UINT>(wParam)); return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd);
      if (!IsWindow(hwnd)) return 0;
      Measure m(st->font);
      size_t pos = PosAt(hwnd, *st, m, GET_X_LPARAM(lParam));
      MoveCaret(hwnd, *st, pos, (wParam & MK_SHIFT) != 0);
      SetCapture(hwnd);
      st->selecting = true;
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      Measure m(st->font);
      size_t pos = PosAt(hwnd, *st, m, GET_X_LPARAM(lParam));
      size_t from = pos, to = pos;
      while (from > 0 && st->text[Prev(st->text, from)] != ' ') from = Prev(st->text, from);
      while (to < st->text.size() && st->text[to] != ' ') to = Next(st->text, to);
      st->anchor = from;
      MoveCaret(hwnd, *st, to, true);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (st->selecting) {
        Measure m(st->font);
        int x = GET_X_LPARAM(lParam);
        size_t pos = x >= TextArea(hwnd).right ? Next(st->text, PosAt(hwnd, *st, m, x)) : PosAt(hwnd, *st, m, x);
        if (pos != st->caret) MoveCaret(hwnd, *st, pos, true);
      }
      return 0;
    case WM_LBUTTONUP:
      if (st->selecting) {
        st->selecting = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED: st->selecting = false; return 0;
    case EM_GETSEL: {
      auto from = static_cast<DWORD>(SelMin(*st)), to = static_cast<DWORD>(SelMax(*st));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = from;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = to;
      return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(std::min<DWORD>(from, 0xFFFF), std::min<DWORD>(to, 0xFFFF))));
    }
    case EM_SETSEL:
      SetSelection(hwnd, *st, static_cast<LONG_PTR>(static_cast<int>(wParam)), static_cast<int>(lParam));
      return 0;
    case EM_REPLACESEL:
      ReplaceSelection(hwnd, *st, lParam ? reinterpret_cast<const char*>(lParam) : "", false);
      if (IsWindow(hwnd)) st->modified = true;
      return 0;
    case EM_LIMITTEXT: st->limit = wParam ? static_cast<size_t>(wParam) : kLargestLimit; return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(st->limit);
    case EM_SETREADONLY: {
      DWORD style = Style(hwnd);
      style = wParam ? (style | ES_READONLY) : (style & ~ES_READONLY);
      SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
      Repaint(hwnd);
      return TRUE;
    }
    case EM_GETMODIFY: return st->modified;
    case EM_SETMODIFY: st->modified = wParam != 0; return 0;
    case EM_GETLINECOUNT: return 1;
    case EM_LINELENGTH: return static_cast<LRESULT>(st->text.size());
    case EM_GETLINE: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam != 0) return 0;
      WORD size = *reinterpret_cast<WORD*>(buffer);
      size_t n = std::min<size_t>(size, st->text.size());
      st->text.copy(buffer, n);
      return static_cast<LRESULT>(n);
    }
    case EM_SETPASSWORDCHAR:
      st->password = static_cast<char>(wParam);
      ScrollToCaret(hwnd, *st);
      Repaint(hwnd);
      return 0;
    case EM_GETFIRSTVISIBLELINE: return static_cast<LRESULT>(st->first);
    case EM_SCROLLCARET:
      ScrollToCaret(hwnd, *st);
      Repaint(hwnd);
      return TRUE;
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = TextArea(hwnd);
      return 0;
    case EM_POSFROMCHAR: {
      if (wParam > st->text.size()) return -1;
      Measure m(st->font);
      return MAKELRESULT(XOf(hwnd, *st, m, Snap(st->text, wParam)), TextTop(hwnd, m));
    }
    case EM_CHARFROMPOS: {
      Measure m(st->font);
      return MAKELRESULT(PosAt(hwnd, *st, m, GET_X_LPARAM(lParam)), 0);
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win32::controls
