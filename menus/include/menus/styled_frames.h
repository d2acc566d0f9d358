#pragma once
// The framework's frame windows with styled menus: a frame and an MDI frame that load their menu
// bar from resources as a styled menu, and the MDI child, mini frame and mini dock frame with a
// styled system menu and pop-ups.
//
//   auto* frame = new CStyledFrameWnd;  // frames delete themselves with their window
//   if (frame->LoadFrame(IDR_MAINFRAME)) frame->ShowWindow(SW_SHOW);
#include "menus/menu_host_frame.h"

class CStyledFrameWnd : public CMenuHostFrame<CFrameWnd> {
  DECLARE_DYNCREATE(CStyledFrameWnd)
 public:
  CStyledFrameWnd() = default;
  // The resource's menu becomes the styled menu bar. FALSE (and the frame deleted) when the menu
  // or the window cannot be made.
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
};

class CStyledMDIFrameWnd : public CMenuHostFrame<CMDIFrameWnd> {
  DECLARE_DYNAMIC(CStyledMDIFrameWnd)
 public:
  CStyledMDIFrameWnd() = default;
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
  // Hides the menu bar (keeping its menu) or shows the kept menu again. Hiding: 1, or 0 when the
  // window has no menu. Showing: 0, or 1 when no menu was kept.
  BOOL ShowMenuBar(BOOL bShow);

 private:
  HMENU hiddenMenu_ = nullptr;
};

class CStyledMDIChildWnd : public CMenuHostFrame<CMDIChildWnd> {
  DECLARE_DYNCREATE(CStyledMDIChildWnd)
 public:
  CStyledMDIChildWnd() = default;
};

class CStyledMiniFrameWnd : public CMenuHostFrame<CMiniFrameWnd> {
  DECLARE_DYNCREATE(CStyledMiniFrameWnd)
 public:
  CStyledMiniFrameWnd() = default;
};

class CStyledMiniDockFrameWnd : public CMenuHostFrame<CMiniDockFrameWnd> {
  DECLARE_DYNCREATE(CStyledMiniDockFrameWnd)
 public:
  CStyledMiniDockFrameWnd() = default;
};
