#pragma once
// A dock bar painted like the styled menu bar above it: its background continues the pattern of
// the frame's menu-bar brush.
#include "mfc/afxframe.h"

class CStyledDockBar : public CDockBar {
  DECLARE_DYNCREATE(CStyledDockBar)
 public:
  CStyledDockBar() = default;

 protected:
  afx_msg void OnNcPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()
};
