// The styled frames: loading the menu bar as a styled menu, and hiding an MDI frame's menu bar.
#include "menus/styled_frames.h"

IMPLEMENT_DYNCREATE(CStyledFrameWnd, CFrameWnd)
IMPLEMENT_DYNAMIC(CStyledMDIFrameWnd, CMDIFrameWnd)
IMPLEMENT_DYNCREATE(CStyledMDIChildWnd, CMDIChildWnd)
IMPLEMENT_DYNCREATE(CStyledMiniFrameWnd, CMiniFrameWnd)
IMPLEMENT_DYNCREATE(CStyledMiniDockFrameWnd, CMiniDockFrameWnd)

BOOL CStyledFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  return LoadStyledFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL CStyledMDIFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                                   CCreateContext* pContext) {
  return LoadStyledFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL CStyledMDIFrameWnd::ShowMenuBar(BOOL bShow) {
  if (bShow) {
    if (!hiddenMenu_) return TRUE;
    ::SetMenu(m_hWnd, hiddenMenu_);
    ::DrawMenuBar(m_hWnd);
    hiddenMenu_ = nullptr;
    return FALSE;
  }
  HMENU current = ::GetMenu(m_hWnd);
  if (!current) return FALSE;
  hiddenMenu_ = current;
  ::SetMenu(m_hWnd, nullptr);
  ::DrawMenuBar(m_hWnd);
  return TRUE;
}
