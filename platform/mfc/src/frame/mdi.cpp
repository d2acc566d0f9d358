// The MDI frame with its client window, and the child frames inside it.
#include "frame/frame_creation.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
END_MESSAGE_MAP()

int CMDIFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  LPCTSTR windowClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
  m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, windowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                      client.right, client.bottom, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
  return m_hWndMDIClient ? 0 : -1;
}

void CMDIFrameWnd::OnSize(UINT nType, int cx, int cy) {
  CFrameWnd::OnSize(nType, cx, cy);
  if (m_hWndMDIClient) ::MoveWindow(m_hWndMDIClient, 0, 0, cx, cy, TRUE);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const {
  if (!m_hWndMDIClient) return nullptr;
  CWnd* top = CWnd::FromHandlePermanent(::GetWindow(m_hWndMDIClient, GW_CHILD));
  return top && top->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)) ? static_cast<CMDIChildWnd*>(top) : nullptr;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CMDIChildWnd* active = MDIGetActive(); active && active->CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
    return TRUE;
  return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  if (CMDIChildWnd* active = MDIGetActive()) {
    HACCEL table = active->GetDefaultAccelerator();
    if (table && ::TranslateAcceleratorA(m_hWnd, table, pMsg)) return TRUE;
  }
  return CFrameWnd::PreTranslateMessage(pMsg);
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext) {
  if (!pParentWnd) {
    CWnd* main = AfxGetMainWnd();
    pParentWnd = main && main->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) ? static_cast<CMDIFrameWnd*>(main) : nullptr;
  }
  if (!pParentWnd || !pParentWnd->m_hWndMDIClient) {
    PostNcDestroy();
    return FALSE;
  }
  m_strTitle = lpszWindowName;
  RECT place = rect;
  if (place.left == CW_USEDEFAULT) place = RECT{0, 0, 300, 200};
  const BOOL created = mfc::frame::CreateFrameWindow(this, 0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, place,
                                                     pParentWnd->m_hWndMDIClient, nullptr, pContext);
  // The new child is the active one: topmost in the client window.
  if (created) ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return created;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
  HWND client = ::GetParent(m_hWnd);
  CWnd* frame = client ? CWnd::FromHandlePermanent(::GetParent(client)) : nullptr;
  return frame && frame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)) ? static_cast<CMDIFrameWnd*>(frame) : nullptr;
}
