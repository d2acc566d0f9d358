// Helpers the standard controls share, and the registration of the system's classes.
#include "controls/controls.h"

#include <strings.h>

#include "dialogs/dialog_state.h"
#include "user/display.h"

namespace win32_detail::controls {

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
  win32_detail::user::RegisterSystemClass(wc);
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
  return true;
}();

}  // namespace
}  // namespace win32_detail::controls
