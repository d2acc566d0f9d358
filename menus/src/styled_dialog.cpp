// CStyledDialog: the styled system menu and menu bar of a dialog, and its pop-ups' command update.
#include "menus/styled_dialog.h"

IMPLEMENT_DYNAMIC(CStyledDialog, CDialog)

BEGIN_MESSAGE_MAP(CStyledDialog, CMenuHostFrame<CDialog>)
  ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

CStyledDialog::CStyledDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : CMenuHostFrame<CDialog>(lpszTemplateName, pParentWnd) {}

CStyledDialog::CStyledDialog(UINT nIDTemplate, CWnd* pParentWnd) : CMenuHostFrame<CDialog>(nIDTemplate, pParentWnd) {}

BOOL CStyledDialog::OnInitDialog() {
  const BOOL result = CMenuHostFrame<CDialog>::OnInitDialog();
  HMENU system = ::GetSystemMenu(m_hWnd, FALSE);
  // A member left with another window's system menu lets go of it; the system owns it.
  if (systemMenu_.m_hMenu && systemMenu_.m_hMenu != system) systemMenu_.DetachMenu();
  if (!systemMenu_.m_hMenu && system) systemMenu_.Attach(system);
  if (HMENU bar = ::GetMenu(m_hWnd); bar && !defaultMenu_.m_hMenu) defaultMenu_.LoadMenu(bar);
  if (defaultMenu_.m_hMenu) ApplyMenuBarBrush(&defaultMenu_);
  return result;
}

void CStyledDialog::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
  // A capture held inside the dialog (a dragged slider, an open drop list) ends first.
  if (HWND capture = ::GetCapture(); capture && (capture == m_hWnd || ::IsChild(m_hWnd, capture)))
    ::SendMessageA(capture, WM_CANCELMODE, 0, 0);
  if (!bSysMenu && pPopupMenu) {
    CMenu* parent = nullptr;
    if (AfxGetTrackingMenu() == pPopupMenu->m_hMenu) {
      parent = pPopupMenu;
    } else if (::GetMenu(m_hWnd)) {
      HMENU bar = ::GetMenu(::GetAncestor(m_hWnd, GA_ROOT));
      for (int position = 0, count = ::GetMenuItemCount(bar); position < count && !parent; ++position)
        if (::GetSubMenu(bar, position) == pPopupMenu->m_hMenu) parent = CMenu::FromHandle(bar);
    }
    AfxUpdateMenuCommands(this, pPopupMenu, parent, TRUE);
  }
  CMenuHostFrame<CDialog>::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
}
