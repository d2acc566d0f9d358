#pragma once
// CMenuHostFrame<Base>: a framework window (frame, MDI frame or child, mini frame, dialog) whose
// menus are styled menus. It measures their items, answers their mnemonics, opens their pop-ups,
// keeps the window's system menu as a styled menu, refreshes colours and icons when the system's
// change and, where the system does not hot-track owner-drawn menu-bar items itself (before
// Windows 2000, or on a remote desktop), does that with a timer.
#include "menus/styled_menu.h"
#include "mfc/afxframe.h"

// The hot-tracking of one window's menu bar.
class CMenuBarHotTracking {
 public:
  // The hit test's answer for the window, after drawing the menu-bar item under the point hot (and
  // the one before it normal) when the system needs the help.
  LRESULT OnNcHitTest(HWND hWnd, LRESULT baseResult, POINT screenPoint);
  // A menu opens: the hot item is drawn normal and the tracking pauses until the loop ends.
  void OnEnterMenuLoop(HWND hWnd);
  void OnExitMenuLoop() { inMenuLoop_ = 0; }
  // The tracking timer asks the window for a hit test at the cursor.
  void OnTimer(HWND hWnd, UINT_PTR nIDEvent);
  void StopTimer(HWND hWnd);

  UINT_PTR Timer() const { return timer_; }
  int HotPosition() const { return hotPosition_; }

 private:
  void DrawNormal(HWND hWnd, HMENU hMenu, UINT state);

  int inMenuLoop_ = 0;
  UINT_PTR timer_ = 0;
  int hotPosition_ = -1;
};

// What every host does besides its base: attaches the system menu after creation (a window
// without one keeps the member empty) and lets go of it without destroying it.
void AttachStyledSystemMenu(CStyledMenu& member, HWND hWnd);

template <class TBase>
class CMenuHostFrame : public TBase {
 public:
  using TBase::TBase;
  // The system menu belongs to the window: it is let go of, not destroyed; the default menu is
  // destroyed with its member.
  ~CMenuHostFrame() override { systemMenu_.DetachMenu(); }

 protected:
  CStyledMenu defaultMenu_;
  CStyledMenu systemMenu_;
  CMenuBarHotTracking hotTracking_;

  // Frame loading of the frames with a menu bar: as the base's, with the resource's menu loaded
  // into the default-menu member and given the library's menu-bar brush.
  BOOL LoadStyledFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
    this->m_nIDHelp = nIDResource;
    CString title;
    title.LoadString(nIDResource);
    if (const int end = title.Find('\n'); end >= 0) title = title.Left(end);
    LPCTSTR windowClass = this->GetIconWndClass(dwDefaultStyle, nIDResource);
    if (!defaultMenu_.LoadMenu(nIDResource)) {
      this->PostNcDestroy();  // the frame's end, as for a window that could not be made
      return FALSE;
    }
    if (!this->CreateFrame(windowClass, title, dwDefaultStyle, CFrameWnd::rectDefault, pParentWnd, defaultMenu_.m_hMenu,
                           0, pContext))
      return FALSE;
    ApplyMenuBarBrush(&defaultMenu_);
    this->m_hMenuDefault = ::GetMenu(this->m_hWnd);
    this->LoadAccelTable(MAKEINTRESOURCE(nIDResource));
    if (!pContext) this->SendInitialUpdate();
    return TRUE;
  }

  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (!CStyledMenu::MeasureItemFromMessage(CWnd::GetCurrentMessage())) TBase::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
  }
  afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, HMENU hMenu) {
    CMenu* menu = CMenu::FromHandlePermanent(hMenu);
    if (menu && menu->IsKindOf(RUNTIME_CLASS(CStyledMenu))) return CStyledMenu::OnMenuChar(nChar, nFlags, menu);
    return TBase::OnMenuChar(nChar, nFlags, hMenu);
  }
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
    TBase::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    CStyledMenu::InitMenuPopup(this->m_hWnd, pPopupMenu ? pPopupMenu->m_hMenu : nullptr, nIndex, bSysMenu);
  }
  afx_msg void OnEnterMenuLoop(BOOL) {
    hotTracking_.OnEnterMenuLoop(this->m_hWnd);
    this->Default();
  }
  afx_msg void OnExitMenuLoop(BOOL) {
    hotTracking_.OnExitMenuLoop();
    this->Default();
  }
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    this->Default();
    hotTracking_.OnTimer(this->m_hWnd, nIDEvent);
  }
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (TBase::OnCreate(lpCreateStruct) == -1) return -1;
    AttachStyledSystemMenu(systemMenu_, this->m_hWnd);
    return 0;
  }
  afx_msg LRESULT OnNcHitTest(CPoint point) {
    return hotTracking_.OnNcHitTest(this->m_hWnd, TBase::OnNcHitTest(point), point);
  }
  afx_msg void OnDestroy() {
    hotTracking_.StopTimer(this->m_hWnd);
    TBase::OnDestroy();
  }
  afx_msg void OnSysColorChange() {
    TBase::OnSysColorChange();
    RefreshMenuIcons();
    if (defaultMenu_.m_hMenu) ApplyMenuBarBrush(&defaultMenu_);
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(CMenuHostFrame, TBase, TBase)
  ON_WM_MEASUREITEM()
  ON_WM_MENUCHAR()
  ON_WM_INITMENUPOPUP()
  ON_WM_ENTERMENULOOP()
  ON_WM_EXITMENULOOP()
  ON_WM_TIMER()
  ON_WM_CREATE()
  ON_WM_NCHITTEST()
  ON_WM_DESTROY()
  ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()
