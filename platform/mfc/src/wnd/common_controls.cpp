// The common control wrappers: the report-view list, tooltips and the up-down control.
#include "mfc/afxcmn.h"

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)

// ---- CListCtrl ----------------------------------------------------------------------------------

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
  LVCOLUMN column{};
  column.mask = LVCF_FMT | LVCF_TEXT;
  column.fmt = nFormat;
  column.pszText = const_cast<LPTSTR>(lpszColumnHeading);
  if (nWidth != -1) {
    column.mask |= LVCF_WIDTH;
    column.cx = nWidth;
  }
  if (nSubItem != -1) {
    column.mask |= LVCF_SUBITEM;
    column.iSubItem = nSubItem;
  }
  return int(SendMessage(LVM_INSERTCOLUMN, WPARAM(nCol), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
  LVITEM item{};
  item.mask = LVIF_TEXT;
  item.iItem = nItem;
  item.pszText = const_cast<LPTSTR>(lpszItem);
  return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
  LVITEM item{};
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPTSTR>(lpszText);
  return BOOL(SendMessage(LVM_SETITEMTEXT, WPARAM(nItem), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
  LVITEM item{};
  item.iSubItem = nSubItem;
  item.pszText = lpszText;
  item.cchTextMax = nLen;
  return int(SendMessage(LVM_GETITEMTEXT, WPARAM(nItem), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  // The list tells only how much it copied, and cuts before a character that does not fit
  // whole: a text that came within a character's length of filling the buffer may be cut.
  constexpr int kLongestCharacter = 4;
  CString text;
  for (int size = 256;; size *= 2) {
    const int copied = GetItemText(nItem, nSubItem, text.GetBufferSetLength(size), size + 1);
    text.ReleaseBuffer(copied);
    if (copied <= size - kLongestCharacter) return text;
  }
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEM item{};
  item.state = nState;
  item.stateMask = nMask;
  return BOOL(SendMessage(LVM_SETITEMSTATE, WPARAM(nItem), reinterpret_cast<LPARAM>(&item)));
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  const int first = GetNextItem(-1, LVNI_SELECTED);
  return first < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<INT_PTR>(first) + 1);
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
  const int index = int(reinterpret_cast<INT_PTR>(pos)) - 1;
  const int next = GetNextItem(index, LVNI_SELECTED);
  pos = next < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<INT_PTR>(next) + 1);
  return index;
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
  if (!lpRect) return FALSE;
  lpRect->left = LONG(nCode);
  return BOOL(SendMessage(LVM_GETITEMRECT, WPARAM(nItem), reinterpret_cast<LPARAM>(lpRect)));
}

// ---- CToolTipCtrl -------------------------------------------------------------------------------

namespace {

// How the tooltip knows a tool: a window's numbered tool, or (0) the window itself.
TOOLINFO ToolOf(CWnd* pWnd, UINT_PTR nIDTool, LPCTSTR lpszText) {
  TOOLINFO info{};
  info.cbSize = sizeof info;
  HWND hWnd = AfxHwnd(pWnd);
  if (nIDTool == 0) {
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(hWnd);
    info.uId = reinterpret_cast<UINT_PTR>(hWnd);
  } else {
    info.hwnd = hWnd;
    info.uId = nIDTool;
  }
  info.lpszText = const_cast<LPTSTR>(lpszText);
  return info;
}

}  // namespace

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  return CreateEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, AfxHwnd(pParentWnd), nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TOOLINFO info = ToolOf(pWnd, nIDTool, lpszText);
  if (nIDTool != 0) {
    if (lpRectTool) {
      info.rect = *lpRectTool;
    } else {
      ::GetClientRect(AfxHwnd(pWnd), &info.rect);
    }
  }
  return BOOL(SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg) {
  if (!lpMsg) return;
  MSG copy = *lpMsg;
  SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFO info = ToolOf(pWnd, nIDTool, lpszText);
  SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&info));
}
