// CFrameWnd: creation and loading from resources, accelerators, command routing and the
// command-state update of pop-up menus.
#include "frame/frame_creation.h"

#include <utility>

#include "wnd/wnd_state.h"

namespace mfc::frame {
namespace {

// The frame whose window is being created on this thread, and whether it deleted itself meanwhile
// (a WM_CREATE that failed destroys the window at once).
thread_local CFrameWnd* t_creating = nullptr;
thread_local bool t_deletedWhileCreating = false;

}  // namespace

BOOL CreateFrameWindow(CFrameWnd* frame, DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                       DWORD dwStyle, const RECT& rect, HWND hWndParent, HMENU hMenu, CCreateContext* pContext) {
  CFrameWnd* const outer = std::exchange(t_creating, frame);
  const bool outerDeleted = std::exchange(t_deletedWhileCreating, false);
  // rectDefault leaves place and size to the system.
  const bool systemPlaced = rect.left == CW_USEDEFAULT;
  const BOOL created = frame->CWnd::CreateEx(
      dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
      systemPlaced ? CW_USEDEFAULT : rect.right - rect.left, systemPlaced ? CW_USEDEFAULT : rect.bottom - rect.top,
      hWndParent, hMenu, pContext);
  const bool deleted = t_deletedWhileCreating;
  t_creating = outer;
  t_deletedWhileCreating = outerDeleted;
  if (!created) {
    // A menu given to a window that was made and destroyed went with it.
    if (hMenu && ::IsMenu(hMenu) && !(dwStyle & WS_CHILD)) ::DestroyMenu(hMenu);
    if (!deleted) delete frame;
  }
  return created;
}

void NoteFrameDeleted(CFrameWnd* frame) {
  if (frame == t_creating) t_deletedWhileCreating = true;
}

}  // namespace mfc::frame

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_INITMENUPOPUP()
  ON_WM_CLOSE()
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() {
  if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
  HMENU menu = nullptr;
  if (lpszMenuName && !(menu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName))) {
    PostNcDestroy();
    return FALSE;
  }
  return CreateFrame(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, menu, dwExStyle, pContext);
}

BOOL CFrameWnd::CreateFrame(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                            CWnd* pParentWnd, HMENU hMenu, DWORD dwExStyle, CCreateContext* pContext) {
  m_strTitle = lpszWindowName;
  return mfc::frame::CreateFrameWindow(this, dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect,
                                       AfxHwnd(pParentWnd), hMenu, pContext);
}

LPCTSTR CFrameWnd::GetIconWndClass(DWORD, UINT nIDResource) {
  HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
  return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                             icon);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  m_nIDHelp = nIDResource;
  CString full;
  full.LoadString(nIDResource);
  const int end = full.Find('\n');
  m_strTitle = end < 0 ? full : full.Left(end);
  LPCTSTR windowClass = GetIconWndClass(dwDefaultStyle, nIDResource);
  if (!Create(windowClass, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCE(nIDResource), 0,
              pContext))
    return FALSE;
  m_hMenuDefault = ::GetMenu(m_hWnd);
  LoadAccelTable(MAKEINTRESOURCE(nIDResource));
  if (!pContext) SendInitialUpdate();
  return TRUE;
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName) {
  if (m_hAccelTable) return FALSE;
  m_hAccelTable = ::LoadAcceleratorsA(AfxGetResourceHandle(), lpszResourceName);
  return m_hAccelTable != nullptr;
}

void CFrameWnd::SendInitialUpdate() { SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE); }

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CWnd::PreCreateWindow(cs)) return FALSE;
  // The title is the frame's own; the framework never adds a document name to it here.
  cs.style &= ~LONG(FWS_ADDTOTITLE);
  return TRUE;
}

void CFrameWnd::PostNcDestroy() {
  mfc::frame::NoteFrameDeleted(this);
  delete this;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  HACCEL table = GetDefaultAccelerator();
  return table && ::TranslateAcceleratorA(m_hWnd, table, pMsg);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu) {
  if (bSysMenu || !pPopupMenu) return;
  // The pop-up's parent: itself when it is tracked, else the menu bar that holds it.
  CMenu* parent = nullptr;
  if (AfxGetTrackingMenu() == pPopupMenu->m_hMenu) {
    parent = pPopupMenu;
  } else if (HMENU bar = ::GetMenu(m_hWnd)) {
    for (int position = 0, count = ::GetMenuItemCount(bar); position < count; ++position) {
      if (::GetSubMenu(bar, position) == pPopupMenu->m_hMenu) {
        parent = CMenu::FromHandle(bar);
        break;
      }
    }
  }
  AfxUpdateMenuCommands(this, pPopupMenu, parent, m_bAutoMenuEnable);
}

HMENU AfxGetTrackingMenu() {
  const CMenu* tracked = mfc::wnd::State().trackingMenu;
  return tracked ? tracked->m_hMenu : nullptr;
}

// ---- The command-state update of a pop-up ---------------------------------------------------------

void AfxUpdateMenuCommands(CCmdTarget* pTarget, CMenu* pPopupMenu, CMenu* pParentMenu, BOOL bAutoMenuEnable) {
  CCmdUI state;
  state.m_pMenu = pPopupMenu;
  state.m_pParentMenu = pParentMenu;
  int count = pPopupMenu->GetMenuItemCount();
  for (int index = 0; index < count; ++index) {
    UINT id = pPopupMenu->GetMenuItemID(index);
    if (id == 0) continue;  // separators and menu breaks
    bool autoDisable = bAutoMenuEnable && id < 0xF000;
    state.m_pSubMenu = nullptr;
    if (id == UINT(-1)) {
      // A sub-menu answers for the command of its first item and keeps its own state.
      state.m_pSubMenu = pPopupMenu->GetSubMenu(index);
      if (!state.m_pSubMenu) continue;
      id = state.m_pSubMenu->GetMenuItemID(0);
      if (id == 0 || id == UINT(-1)) continue;
      autoDisable = false;
    }
    state.m_nID = id;
    state.m_nIndex = UINT(index);
    state.m_nIndexMax = UINT(count);
    state.DoUpdate(pTarget, autoDisable);

    // Handlers may remove items: step back by as many and past the items of the same command.
    const int now = pPopupMenu->GetMenuItemCount();
    if (now < count) {
      index -= count - now;
      while (index + 1 < now && pPopupMenu->GetMenuItemID(index + 1) == id) ++index;
    }
    count = now;
  }
}
