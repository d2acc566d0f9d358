// Helpers the standard controls share, and the registration of the system's classes.
#include "controls/controls.h"

#include <strings.h>

#include <algorithm>

#include "dialogs/dialog_state.h"
#include "user/display.h"
#include "win32/commctrl.h"

namespace win32::controls {

void Notify(HWND hwnd, UINT code) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

HBRUSH ControlColors(HWND hwnd, HDC hdc, UINT message) {
  HWND parent = GetParent(hwnd);
  HBRUSH brush = nullptr;
  if (parent) {
    brush = reinterpret_cast<HBRUSH>(
        SendMessageA(parent, message, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hwnd)));
  }
  if (brush) return brush;
  return reinterpret_cast<HBRUSH>(DefWindowProcA(hwnd, message, reinterpret_cast<WPARAM>(hdc),
                                                 reinterpret_cast<LPARAM>(hwnd)));
}

DWORD Style(HWND hwnd) { return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)); }

std::string Text(HWND hwnd) {
  int n = GetWindowTextLengthA(hwnd);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  s.resize(static_cast<size_t>(GetWindowTextA(hwnd, s.data(), n + 1)));
  return s;
}

HGDIOBJ SelectControlFont(HDC hdc, HFONT font) {
  return SelectObject(hdc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
}

void DrawRadioMark(HDC hdc, const RECT& box, bool checked, bool grey) {
  HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(hdc, GetSysColorBrush(COLOR_BTNSHADOW));
  Ellipse(hdc, box.left, box.top, box.right + 1, box.bottom + 1);
  SelectObject(hdc, GetSysColorBrush(grey ? COLOR_3DFACE : COLOR_WINDOW));
  Ellipse(hdc, box.left + 1, box.top + 1, box.right, box.bottom);
  if (checked) {
    const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    SelectObject(hdc, GetSysColorBrush(grey ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
    Ellipse(hdc, cx - 2, cy - 2, cx + 3, cy + 3);
  }
  SelectObject(hdc, oldBrush);
  SelectObject(hdc, oldPen);
}

// Flat: the arrow's cell is the shaft's colour (a shade darker while pressed) with a solid glyph.
void DrawScrollArrow(HDC hdc, const RECT& r, UINT state) {
  FillRect(hdc, &r, GetSysColorBrush((state & DFCS_PUSHED) ? COLOR_3DLIGHT : COLOR_SCROLLBAR));
  const int cx = (r.left + r.right) / 2;
  const int cy = (r.top + r.bottom) / 2;
  const int n = std::max(2, static_cast<int>(std::min(r.right - r.left, r.bottom - r.top)) / 4);
  POINT p[3];
  switch (state & 0xF) {
    case DFCS_SCROLLUP: p[0] = {cx - n, cy + n / 2}; p[1] = {cx + n, cy + n / 2}; p[2] = {cx, cy - n / 2 - 1}; break;
    case DFCS_SCROLLDOWN: p[0] = {cx - n, cy - n / 2}; p[1] = {cx + n, cy - n / 2}; p[2] = {cx, cy + n / 2 + 1}; break;
    case DFCS_SCROLLLEFT: p[0] = {cx + n / 2, cy - n}; p[1] = {cx + n / 2, cy + n}; p[2] = {cx - n / 2 - 1, cy}; break;
    default: p[0] = {cx - n / 2, cy - n}; p[1] = {cx - n / 2, cy + n}; p[2] = {cx + n / 2 + 1, cy}; break;
  }
  HBRUSH ink = GetSysColorBrush((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
  HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(hdc, ink);
  Polygon(hdc, p, 3);
  SelectObject(hdc, oldBrush);
  SelectObject(hdc, oldPen);
}

// A flat bar, narrower than the shaft so that the shaft shows along its sides.
void DrawScrollThumb(HDC hdc, const RECT& r, bool vertical) {
  RECT thumb = r;
  if (vertical) {
    InflateRect(&thumb, -std::min(2, (r.right - r.left) / 4), 0);
  } else {
    InflateRect(&thumb, 0, -std::min(2, (r.bottom - r.top) / 4));
  }
  FillRect(hdc, &thumb, GetSysColorBrush(COLOR_3DSHADOW));
}

bool IsComboBox(HWND hwnd) {
  char name[16] = {};
  return hwnd && GetClassNameA(hwnd, name, sizeof name) && strcasecmp(name, "ComboBox") == 0;
}

void RegisterControlClass(const char* name, WNDPROC proc, LPCSTR cursor, UINT style) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = kExtraBytes;
  wc.hCursor = LoadCursorA(nullptr, cursor);
  wc.lpszClassName = name;
  win32::user::RegisterSystemClass(wc);
}

namespace {

// The system's classes exist as soon as the layer is loaded.
const bool kRegistered = [] {
  dialogs::RegisterDialogClass();
  RegisterControlClass("Button", ButtonProc, IDC_ARROW);
  RegisterControlClass("Static", StaticProc, IDC_ARROW, 0);
  RegisterControlClass("Edit", EditProc, IDC_IBEAM);
  RegisterControlClass("ListBox", ListBoxProc, IDC_ARROW);
  RegisterControlClass("ComboLBox", ListBoxProc, IDC_ARROW, CS_DBLCLKS | CS_SAVEBITS);
  RegisterControlClass("ComboBox", ComboBoxProc, IDC_ARROW);
  RegisterControlClass("ScrollBar", ScrollBarProc, IDC_ARROW);
  RegisterControlClass(WC_LISTVIEWA, ListViewProc, IDC_ARROW);
  RegisterControlClass(TOOLTIPS_CLASSA, ToolTipProc, IDC_ARROW, CS_SAVEBITS);
  RegisterControlClass(UPDOWN_CLASSA, UpDownProc, IDC_ARROW);
  RegisterControlClass(TOOLBARCLASSNAMEA, ToolbarProc, IDC_ARROW);
  win32::user::SetWindowScrollBars({PaintWindowBar, PressWindowBar});
  return true;
}();

}  // namespace
}  // namespace win32::controls
