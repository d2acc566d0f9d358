// CWnd operations that take more than one platform call: text into strings, rectangle
// conversion, centring, style changes, descendants and control-state updates.
#include "wnd/wnd_state.h"

using namespace mfc::wnd;

void CWnd::GetWindowText(CString& rString) const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  ::GetWindowTextA(m_hWnd, rString.GetBufferSetLength(length), length + 1);
  rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  if (HWND hWndItem = ::GetDlgItem(m_hWnd, nID)) {
    int length = ::GetWindowTextLengthA(hWndItem);
    ::GetWindowTextA(hWndItem, rString.GetBufferSetLength(length), length + 1);
    rString.ReleaseBuffer();
  }
  return rString.GetLength();
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  const bool child = (GetStyle() & WS_CHILD) != 0;
  HWND hWndCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : (child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
  CRect area;
  if (child) {
    ::GetClientRect(::GetParent(m_hWnd), &area);
    if (hWndCenter != ::GetParent(m_hWnd)) {
      CRect centre;
      ::GetWindowRect(hWndCenter, &centre);
      ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&centre), 2);
      area = centre;
    }
  } else if (hWndCenter && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter)) {
    ::GetWindowRect(hWndCenter, &area);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  CRect window;
  ::GetWindowRect(m_hWnd, &window);
  int x = (area.left + area.right) / 2 - window.Width() / 2;
  int y = (area.top + area.bottom) / 2 - window.Height() / 2;
  if (!child) {
    // Keep a top-level window on the screen.
    CRect work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (x + window.Width() > work.right) x = work.right - window.Width();
    if (y + window.Height() > work.bottom) y = work.bottom - window.Height();
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
  }
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

BOOL ModifyLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = DWORD(::GetWindowLongA(hWnd, nIndex));
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongA(hWnd, nIndex, LONG(newStyle));
  if (nFlags) ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

void SendToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
  for (HWND child = ::GetWindow(hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ::SendMessageA(child, message, wParam, lParam);
    if (bDeep && ::IsWindow(child)) SendToDescendants(child, message, wParam, lParam, bDeep);
  }
}

}  // namespace

BOOL PASCAL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyLong(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL PASCAL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyLong(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
  SendToDescendants(m_hWnd, message, wParam, lParam, bDeep);
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  CCmdUI state;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    state.m_pOther = FromHandle(child);
    state.m_nID = UINT(::GetDlgCtrlID(child));
    // Only push buttons without a handler are disabled; other controls keep their state.
    UINT type = UINT(::GetWindowLongA(child, GWL_STYLE)) & BS_TYPEMASK;
    const bool pushButton = (::SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) &&
                            (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
    state.DoUpdate(pTarget, bDisableIfNoHndler && pushButton);
  }
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  if (!lpszCaption) {
    CWinApp* app = AfxGetApp();
    lpszCaption = app ? app->m_pszAppName : nullptr;
  }
  return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}
