#pragma once
// A dialog whose system menu and menu bar are styled menus, with the command-state update of its
// pop-ups routed through its own handlers.
#include "menus/menu_host_frame.h"

class CStyledDialog : public CMenuHostFrame<CDialog> {
  DECLARE_DYNAMIC(CStyledDialog)
 public:
  CStyledDialog() = default;
  CStyledDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  explicit CStyledDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  // The base's initialisation; then the window's system menu and menu bar become the members'.
  BOOL OnInitDialog() override;

 protected:
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  DECLARE_MESSAGE_MAP()
};
