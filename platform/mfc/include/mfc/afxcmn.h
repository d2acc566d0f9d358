#pragma once
// The framework's wrappers of the common controls: the report-view list (CListCtrl), tooltips
// (CToolTipCtrl), the up-down control (CSpinButtonCtrl) and the toolbar (CToolBarCtrl). Their notifications reach the
// control's own message map through the parent's reflection (ON_NOTIFY_REFLECT), as for the
// other controls.
#include "mfc/afxwnd.h"

class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)
 public:
  CListCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_LISTVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
  }

  // ---- Columns and items
  // nWidth -1: no width given (the column is 0 wide); nSubItem -1: the column's own index.
  int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1, int nSubItem = -1);
  int GetItemCount() const { return int(SendMessage(LVM_GETITEMCOUNT)); }
  int InsertItem(const LVITEM* pItem) { return int(SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(pItem))); }
  int InsertItem(int nItem, LPCTSTR lpszItem);
  BOOL DeleteItem(int nItem) { return BOOL(SendMessage(LVM_DELETEITEM, WPARAM(nItem))); }
  BOOL DeleteAllItems() { return BOOL(SendMessage(LVM_DELETEALLITEMS)); }
  BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
  CString GetItemText(int nItem, int nSubItem) const;
  // Copies at most nLen - 1 characters; the number copied.
  int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;

  // ---- Selection
  UINT GetItemState(int nItem, UINT nMask) const { return UINT(SendMessage(LVM_GETITEMSTATE, WPARAM(nItem), LPARAM(nMask))); }
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  int GetNextItem(int nItem, int nFlags) const { return int(SendMessage(LVM_GETNEXTITEM, WPARAM(nItem), MAKELPARAM(nFlags, 0))); }
  // The selected items in order: a position to give GetNextSelectedItem (NULL when none is
  // selected), which answers an item and moves the position on to the next.
  POSITION GetFirstSelectedItemPosition() const;
  int GetNextSelectedItem(POSITION& pos) const;
  int GetSelectionMark() const { return int(SendMessage(LVM_GETSELECTIONMARK)); }
  int SetSelectionMark(int iIndex) { return int(SendMessage(LVM_SETSELECTIONMARK, 0, LPARAM(iIndex))); }

  // ---- Looks
  DWORD GetExtendedStyle() const { return DWORD(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
  // Sets every extended style bit; the old ones.
  DWORD SetExtendedStyle(DWORD dwNewStyle) { return DWORD(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LPARAM(dwNewStyle))); }
  COLORREF GetTextBkColor() const { return COLORREF(SendMessage(LVM_GETTEXTBKCOLOR)); }
  BOOL SetTextBkColor(COLORREF cr) { return BOOL(SendMessage(LVM_SETTEXTBKCOLOR, 0, LPARAM(cr))); }

  // ---- Geometry and scrolling
  BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
  int GetTopIndex() const { return int(SendMessage(LVM_GETTOPINDEX)); }
  BOOL EnsureVisible(int nItem, BOOL bPartialOK) {
    return BOOL(SendMessage(LVM_ENSUREVISIBLE, WPARAM(nItem), MAKELPARAM(bPartialOK, 0)));
  }
  // size.cy pixels down (rounded to whole rows); the columns do not scroll sideways.
  BOOL Scroll(CSize size) { return BOOL(SendMessage(LVM_SCROLL, WPARAM(size.cx), LPARAM(size.cy))); }
};

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)
 public:
  CToolTipCtrl() = default;
  // A pop-up owned by pParentWnd; dwStyle: TTS_* styles.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
  // The tool nIDTool of pWnd covers lpRectTool (client coordinates; NULL: the client area); tool
  // 0 is pWnd itself. Its text is copied.
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  int GetToolCount() const { return int(SendMessage(TTM_GETTOOLCOUNT)); }
  void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  // Relays a mouse message of a tool's window (other messages are ignored). The message is
  // copied first, so that GetCurrentMessage() may be relayed: it changes while the tooltip works.
  void RelayEvent(LPMSG lpMsg);
  int SetMaxTipWidth(int iWidth) { return int(SendMessage(TTM_SETMAXTIPWIDTH, 0, LPARAM(iWidth))); }
};

// The up-down control. The buddy is kept for the owner; the control does not move it.
class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)
 public:
  CSpinButtonCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(UPDOWN_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  // The previous buddy; null when there was none.
  CWnd* SetBuddy(CWnd* pWndBuddy) {
    return CWnd::FromHandle(HWND(SendMessage(UDM_SETBUDDY, WPARAM(pWndBuddy ? pWndBuddy->m_hWnd : nullptr))));
  }
  CWnd* GetBuddy() const { return CWnd::FromHandle(HWND(SendMessage(UDM_GETBUDDY))); }
  int SetPos(int nPos) { return int(SHORT(LOWORD(SendMessage(UDM_SETPOS, 0, LPARAM(SHORT(nPos)))))); }
  int GetPos() const { return int(SendMessage(UDM_GETPOS)); }
  void SetRange(short nLower, short nUpper) { SendMessage(UDM_SETRANGE, 0, MAKELONG(WORD(nUpper), WORD(nLower))); }
  DWORD GetRange() const { return DWORD(SendMessage(UDM_GETRANGE)); }
  int SetPos32(int nPos) { return int(SendMessage(UDM_SETPOS32, 0, LPARAM(nPos))); }
  int GetPos32(LPBOOL lpbError = nullptr) const { return int(SendMessage(UDM_GETPOS32, 0, LPARAM(lpbError))); }
  void SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, WPARAM(nLower), LPARAM(nUpper)); }
  void GetRange32(int& nLower, int& nUpper) const {
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&nLower), reinterpret_cast<LPARAM>(&nUpper));
  }
};

// The toolbar control: buttons showing images of its image list.
class CToolBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolBarCtrl)
 public:
  CToolBarCtrl() = default;
  // Tells the control the button structure's size, as every toolbar needs before its buttons.
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetButtonStructSize(int nSize) { SendMessage(TB_BUTTONSTRUCTSIZE, WPARAM(nSize)); }
  // nNumButtons images of a bitmap resource of the application, or of a bitmap (copied). The
  // index of the first new image, -1 on failure.
  int AddBitmap(int nNumButtons, UINT nBitmapID);
  int AddBitmap(int nNumButtons, CBitmap* pBitmap);
  BOOL AddButtons(int nNumButtons, LPTBBUTTON lpButtons) {
    return BOOL(SendMessage(TB_ADDBUTTONS, WPARAM(nNumButtons), reinterpret_cast<LPARAM>(lpButtons)));
  }
  int GetButtonCount() const { return int(SendMessage(TB_BUTTONCOUNT)); }
  BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const {
    return BOOL(SendMessage(TB_GETBUTTON, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpButton)));
  }
  // By command (or by index with TBIF_BYINDEX in the mask); the button's index, -1 when absent.
  int GetButtonInfo(int nID, TBBUTTONINFO* ptbbi) const {
    return int(SendMessage(TB_GETBUTTONINFO, WPARAM(nID), reinterpret_cast<LPARAM>(ptbbi)));
  }
  UINT CommandToIndex(UINT nID) const { return UINT(SendMessage(TB_COMMANDTOINDEX, WPARAM(nID))); }
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
    return BOOL(SendMessage(TB_GETITEMRECT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpRect)));
  }
  BOOL SetBitmapSize(CSize size) { return BOOL(SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(size.cx, size.cy))); }
  BOOL SetButtonSize(CSize size) { return BOOL(SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(size.cx, size.cy))); }
  CSize GetButtonSize() const {
    const DWORD size = DWORD(SendMessage(TB_GETBUTTONSIZE));
    return CSize(LOWORD(size), HIWORD(size));
  }
  // A temporary wrapper of the control's list; null when it has none.
  CImageList* GetImageList() const { return CImageList::FromHandle(HIMAGELIST(SendMessage(TB_GETIMAGELIST))); }
  CImageList* SetImageList(CImageList* pImageList) {
    return CImageList::FromHandle(HIMAGELIST(
        SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
  }
};
