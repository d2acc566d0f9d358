// The control wrappers: owner drawing reflected from the parent, and the string helpers.
#include "mfc/afxwnd.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

// Owner-drawn controls override these; the base draws nothing and keeps the default size.
void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult) *pResult = TRUE;
  return TRUE;
}

namespace {

// WM_DRAWITEM and WM_MEASUREITEM go to a list's own DrawItem and MeasureItem.
template <class List>
BOOL ListChildNotify(List* list, UINT message, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM) {
    list->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  } else if (message == WM_MEASUREITEM) {
    list->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
  } else {
    return FALSE;
  }
  if (pResult) *pResult = TRUE;
  return TRUE;
}

}  // namespace

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ListChildNotify(this, message, lParam, pResult) || CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ListChildNotify(this, message, lParam, pResult) || CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  nStartChar = int(start);
  nEndChar = int(end);
}

void CListBox::GetText(int nIndex, CString& rString) const {
  int length = GetTextLen(nIndex);
  if (length < 0) {
    rString.Empty();
    return;
  }
  GetText(nIndex, rString.GetBufferSetLength(length));
  rString.ReleaseBuffer();
}

UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const {
  DWORD result = DWORD(SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y)));
  bOutside = HIWORD(result) != 0;
  return LOWORD(result);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  int length = GetLBTextLen(nIndex);
  if (length < 0) {
    rString.Empty();
    return;
  }
  GetLBText(nIndex, rString.GetBufferSetLength(length));
  rString.ReleaseBuffer();
}

namespace {

int ScrollLimit(HWND hWnd, int nBar) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  if (!::GetScrollInfo(hWnd, nBar, &info)) return 0;
  int page = info.nPage > 0 ? int(info.nPage) - 1 : 0;
  return info.nMax - page;
}

}  // namespace

int CScrollBar::GetScrollLimit() const { return ScrollLimit(m_hWnd, SB_CTL); }

int CWnd::GetScrollLimit(int nBar) const { return ScrollLimit(m_hWnd, nBar); }
