// Mini frames: frames with a small caption, and the one that carries a floating control bar.
#include "frame/frame_creation.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                             const RECT& rect, CWnd* pParentWnd, UINT nID) {
  m_strTitle = lpWindowName;
  // A pop-up owned by its parent, with the small caption of a tool window.
  HMENU id = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
  return mfc::frame::CreateFrameWindow(this, dwExStyle | WS_EX_TOOLWINDOW, lpClassName, lpWindowName, dwStyle, rect,
                                       AfxHwnd(pParentWnd), id, nullptr);
}

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD) {
  return CMiniFrameWnd::CreateEx(0, nullptr, "", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                                 CRect(0, 0, 120, 80), pParent, 0);
}
