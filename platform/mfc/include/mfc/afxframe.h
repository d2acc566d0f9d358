#pragma once
// Frame windows (plain, MDI frame and child, mini frames), control bars with the dock bar, and
// the document template with the document and view classes it names.
//
// Frames live on the heap: once a frame's window is gone (or its creation failed) the frame
// deletes itself, so a frame object is never touched after DestroyWindow or a failed Create.
#include "mfc/afxwnd.h"

// Sent by a frame to every descendant once the frame is loaded without a creation context.
#define WM_INITIALUPDATE 0x0364
// Frame style: the document's name goes into the frame's title.
#define FWS_ADDTOTITLE 0x00008000L

class CDocument;
class CView;
class CFrameWnd;
class CMDIChildWnd;
class CDocTemplate;

// What a frame is created for: the view class, document and template (all optional).
struct CCreateContext {
  CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

// The menu CMenu::TrackPopupMenu is tracking on this thread, or null.
HMENU AfxGetTrackingMenu();

// Routes the command-state update of a pop-up's items through pTarget's handlers: each item with
// a command (a sub-menu item with its first item's command) is asked; items below the system
// commands (0xF000) without a handler are disabled when bAutoMenuEnable, sub-menu items never.
// Handlers may remove items: the walk continues after the item that was asked. pParentMenu is the
// menu that opened the pop-up (the pop-up itself for a tracked one), or null.
void AfxUpdateMenuCommands(CCmdTarget* pTarget, CMenu* pPopupMenu, CMenu* pParentMenu, BOOL bAutoMenuEnable);

// ---- Frames -------------------------------------------------------------------------------------

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
 public:
  // The system's choice of place and size.
  static const CRect rectDefault;

  CFrameWnd() = default;
  // Frees the accelerator table.
  ~CFrameWnd() override;

  // lpszMenuName: a menu resource loaded for the window (destroyed again when creation fails).
  // Returns FALSE when the menu or the window cannot be made (the frame is then deleted).
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                      const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                      DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
  // A frame from the resources of one id: the title is the first "\n" part of the string, the
  // icon, menu and accelerators have the same id. Without a creation context every descendant
  // receives WM_INITIALUPDATE.
  virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
  BOOL LoadAccelTable(LPCTSTR lpszResourceName);
  // The accelerator table this frame translates with.
  virtual HACCEL GetDefaultAccelerator() { return m_hAccelTable; }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  // The frame's handlers, then the application's.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  HMENU m_hMenuDefault = nullptr;
  HACCEL m_hAccelTable = nullptr;
  UINT m_nIDHelp = 0;
  CString m_strTitle;
  BOOL m_bAutoMenuEnable = TRUE;

 protected:
  // Create with a menu the caller made: on failure the menu is destroyed and the frame deleted.
  BOOL CreateFrame(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                   HMENU hMenu, DWORD dwExStyle, CCreateContext* pContext);
  // The framework's window class with the icon of nIDResource (the standard icon without one).
  LPCTSTR GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource);
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  // Deletes the frame.
  void PostNcDestroy() override;
  // Sends WM_INITIALUPDATE to every descendant.
  void SendInitialUpdate();

  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg void OnClose();
  DECLARE_MESSAGE_MAP()
};

// A frame whose client area holds MDI child frames inside a client window.
class CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIFrameWnd)
 public:
  CMDIFrameWnd() = default;

  // The topmost child frame, or null.
  CMDIChildWnd* MDIGetActive() const;
  // The active child's handlers come before the frame's own.
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  // The active child's accelerators come before the frame's own.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The window that holds the child frames (made with the frame).
  HWND m_hWndMDIClient = nullptr;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  DECLARE_MESSAGE_MAP()
};

// A child frame inside an MDI frame's client window.
class CMDIChildWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIChildWnd)
 public:
  CMDIChildWnd() = default;

  // A child of pParentWnd's client window (the main window's when pParentWnd is null).
  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
              DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
              CMDIFrameWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
  CMDIFrameWnd* GetMDIFrame() const;
};

// A frame with a small caption, for floating palettes.
class CMiniFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMiniFrameWnd)
 public:
  CMiniFrameWnd() = default;
  BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
              CWnd* pParentWnd = nullptr, UINT nID = 0);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd = nullptr, UINT nID = 0);
};

// The mini frame that carries a floating control bar.
class CMiniDockFrameWnd : public CMiniFrameWnd {
  DECLARE_DYNCREATE(CMiniDockFrameWnd)
 public:
  CMiniDockFrameWnd() = default;
  // A tool window owned by pParent with a caption and system menu.
  virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
};

// ---- Control bars -------------------------------------------------------------------------------

// Bar styles of control bars and toolbars: the borders drawn and the side the bar lies along. Kept
// by the bar, never given to the window.
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_ALL 0x0040FFFFL
#define AFX_IDW_DOCKBAR_TOP 0xE81B

// A bar along a frame's edge.
class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)
 public:
  CControlBar() = default;
  DWORD GetBarStyle() const { return m_dwStyle; }

  DWORD m_dwStyle = 0;  // CBRS_* styles

 protected:
  // Draws the borders m_dwStyle asks for at the edges of rect (window coordinates) and shrinks
  // rect to what lies inside them.
  virtual void DrawBorders(CDC* pDC, CRect& rect);
};

// The bar along one side of a frame that docked bars sit in.
class CDockBar : public CControlBar {
  DECLARE_DYNAMIC(CDockBar)
 public:
  CDockBar() = default;
  // dwStyle: window styles and one CBRS_ALIGN_* side.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
};

// ---- Documents, views and templates ------------------------------------------------------------

class CDocument : public CCmdTarget {
  DECLARE_DYNCREATE(CDocument)
 public:
  CDocument() = default;
  CString m_strTitle;
};

// A window that shows a document: WM_INITIALUPDATE calls OnInitialUpdate, painting calls OnDraw.
class CView : public CWnd {
  DECLARE_DYNAMIC(CView)
 public:
  virtual void OnDraw(CDC* pDC) = 0;
  // Repaints the view.
  virtual void OnInitialUpdate();

 protected:
  CView() = default;
  afx_msg LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()
};

// The classes and resources that make up one kind of document.
class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)
 public:
  UINT m_nIDResource;
  CRuntimeClass* m_pDocClass;
  CRuntimeClass* m_pFrameClass;
  CRuntimeClass* m_pViewClass;

 protected:
  CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
      : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass) {}
};

// A template for documents shown in MDI child frames: the menu and accelerators of its resource
// id are shared by all of them and destroyed with the template.
class CMultiDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CMultiDocTemplate)
 public:
  CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                    CRuntimeClass* pViewClass);
  ~CMultiDocTemplate() override;

  HMENU m_hMenuShared = nullptr;
  HACCEL m_hAccelTable = nullptr;
};
