// The dialog item helpers: controls found by id, their text, numbers and check marks.
#include <cerrno>
#include <cstdlib>
#include <string>

#include "win32/winbase.h"
#include "win32/winctrl.h"
#include "win32/winerror.h"

namespace {
constexpr DWORD kErrorControlIdNotFound = 1421;
}  // namespace

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
  if (!IsWindow(hDlg)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (static_cast<int>(GetWindowLongPtrA(c, GWLP_ID)) == nIDDlgItem) return c;
  }
  SetLastError(kErrorControlIdNotFound);
  return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
  if (!IsWindow(hWnd) || !(GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) return 0;
  return static_cast<int>(GetWindowLongPtrA(hWnd, GWLP_ID));
}

LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SendMessageA(item, Msg, wParam, lParam) : 0;
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SetWindowTextA(item, lpString) : FALSE;
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  if (lpString && cchMax > 0) lpString[0] = '\0';
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? static_cast<UINT>(GetWindowTextA(item, lpString, cchMax)) : 0;
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
  std::string text = bSigned ? std::to_string(static_cast<INT>(uValue)) : std::to_string(uValue);
  return SetDlgItemTextA(hDlg, nIDDlgItem, text.c_str());
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
  if (lpTranslated) *lpTranslated = FALSE;
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  if (!item) return 0;
  int n = GetWindowTextLengthA(item);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(item, text.data(), n + 1)));
  size_t begin = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos) return 0;
  text = text.substr(begin, end - begin + 1);
  if (!bSigned && text[0] == '-') return 0;
  char* stop = nullptr;
  errno = 0;
  long long value = std::strtoll(text.c_str(), &stop, 10);
  if (stop == text.c_str() || *stop || errno == ERANGE) return 0;
  if (bSigned ? (value < INT32_MIN || value > INT32_MAX) : (value < 0 || value > UINT32_MAX)) return 0;
  if (lpTranslated) *lpTranslated = TRUE;
  return static_cast<UINT>(value);
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  HWND item = GetDlgItem(hDlg, nIDButton);
  if (!item) return FALSE;
  SendMessageA(item, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  HWND item = GetDlgItem(hDlg, nIDButton);
  return item ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  if (!IsWindow(hDlg)) return FALSE;
  for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    int id = GetDlgCtrlID(c);
    if (id >= nIDFirstButton && id <= nIDLastButton) {
      SendMessageA(c, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  return TRUE;
}
