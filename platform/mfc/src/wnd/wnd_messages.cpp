// CWnd's message handling: the message map, commands and notifications, reflection to child
// controls, default handlers, pre-translation and modal loops.
#include "wnd/wnd_state.h"

using namespace mfc::wnd;

namespace {

constexpr WPARAM kMsgfDialogBox = 0;

// The header every WM_NOTIFY carries (the layout of NMHDR).
struct NotifyHeader {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};

bool IsControlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
  ON_WM_CTLCOLOR()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT result = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 1;
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NotifyHeader*>(lParam);
    if (!header || !header->hwndFrom || !OnNotify(wParam, lParam, &result)) return FALSE;
    *pResult = result;
    return TRUE;
  }
  // Every WM_CTLCOLOR* meets the map as WM_CTLCOLOR with its kind.
  UINT mapMessage = message;
  UINT ctlColor = 0;
  if (IsControlColor(message)) {
    mapMessage = WM_CTLCOLOR;
    ctlColor = message - WM_CTLCOLORMSGBOX;
  }
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), mapMessage, 0, 0);
  if (!entry) return FALSE;
  AFX_MSG_CALL call{message, wParam, lParam, ctlColor, nullptr, &result};
  if (!entry->pfnDispatch(this, call)) return FALSE;
  *pResult = result;
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  auto hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (!hWndCtrl) {
    // Menus and accelerators: a plain command.
    nCode = CN_COMMAND;
  } else if (ReflectLastMsg(hWndCtrl)) {
    return TRUE;  // the control handled its own notification
  }
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  auto* header = reinterpret_cast<NotifyHeader*>(lParam);
  if (ReflectLastMsg(header->hwndFrom, pResult)) return TRUE;
  AFX_NOTIFY notify{pResult, reinterpret_cast<tagNMHDR*>(header)};
  return OnCmdMsg(UINT(header->idFrom), int(MAKELONG(WORD(header->code), WM_NOTIFY)), &notify, nullptr);
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- Reflection ---------------------------------------------------------------------------------

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
  CWnd* pChild = FromHandlePermanent(hWndChild);
  return pChild ? pChild->SendChildNotifyLastMsg(pResult) : FALSE;
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
  const MSG msg = State().lastSent;
  return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT local = 0;
  if (!pResult) pResult = &local;
  switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
      int code = HIWORD(wParam);
      if (CCmdTarget::OnCmdMsg(0, int(MAKELONG(WORD(code), WM_REFLECT_BASE + WM_COMMAND)), nullptr, nullptr)) {
        *pResult = 1;
        return TRUE;
      }
      return FALSE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NotifyHeader*>(lParam);
      AFX_NOTIFY notify{pResult, reinterpret_cast<tagNMHDR*>(header)};
      return CCmdTarget::OnCmdMsg(0, int(MAKELONG(WORD(header->code), WM_REFLECT_BASE + WM_NOTIFY)), &notify, nullptr);
    }
    default:
      if (IsControlColor(message)) {
        // The control's CtlColor gets the DC and the kind; no brush lets the parent go on.
        return OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, wParam, LPARAM(message - WM_CTLCOLORMSGBOX), pResult);
      }
      return FALSE;
  }
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (lpDrawItemStruct->CtlType == ODT_MENU) {
    if (DrawMenuItem(lpDrawItemStruct)) return;
  } else if (ReflectLastMsg(lpDrawItemStruct->hwndItem)) {
    return;
  }
  Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  if (lpMeasureItemStruct->CtlType == ODT_MENU) {
    if (MeasureMenuItem(m_hWnd, lpMeasureItemStruct)) return;
  } else if (ReflectLastMsg(::GetDlgItem(m_hWnd, int(lpMeasureItemStruct->CtlID)))) {
    return;
  }
  Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
  LRESULT result = 0;
  if (ReflectLastMsg(AfxHwnd(pWnd), &result)) return reinterpret_cast<HBRUSH>(result);
  return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar*) {
  auto hWndBar = reinterpret_cast<HWND>(GetCurrentMessage()->lParam);
  if (hWndBar && ReflectLastMsg(hWndBar)) return;
  Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar*) {
  auto hWndBar = reinterpret_cast<HWND>(GetCurrentMessage()->lParam);
  if (hWndBar && ReflectLastMsg(hWndBar)) return;
  Default();
}

// ---- Default handlers ---------------------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return BOOL(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return BOOL(Default()); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return UINT(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return BOOL(Default()); }
BOOL CWnd::OnQueryNewPalette() { return BOOL(Default()); }
void CWnd::OnPaletteChanged(CWnd*) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, HMENU) { return Default(); }
void CWnd::OnEnterMenuLoop(BOOL) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }

// ---- Pre-translation and modal loops ------------------------------------------------------------

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::PreTranslateInput(LPMSG lpMsg) {
  const bool key = lpMsg->message >= WM_KEYFIRST && lpMsg->message <= WM_KEYLAST;
  const bool mouse = lpMsg->message >= WM_MOUSEFIRST && lpMsg->message <= WM_MOUSELAST;
  return (key || mouse) && IsDialogMessage(lpMsg);
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}

BOOL mfc::wnd::PumpMessage() {
  MSG msg;
  if (!::GetMessageA(&msg, nullptr, 0, 0)) {
    State().quitCode = int(msg.wParam);
    return FALSE;
  }
  BOOL translated;
  if (CWinApp* app = AfxGetApp()) {
    translated = app->PreTranslateMessage(&msg);
  } else {
    translated = CWnd::WalkPreTranslateTree(nullptr, &msg);
  }
  if (!translated) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}

void mfc::wnd::DeleteTempMaps() {
  CWnd::DeleteTempMap();
  CGdiObject::DeleteTempMap();
  CDC::DeleteTempMap();
  CImageList::DeleteTempMap();
  CMenu::DeleteTempMap();
}

int CWnd::RunModalLoop(DWORD dwFlags) {
  LoopScope scope;
  m_nFlags |= kModalLoop | kContinueModal;
  bool idle = true;
  LONG idleCount = 0;
  bool showOnIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
  HWND hWndParent = ::GetParent(m_hWnd);
  MSG msg;
  while (ContinueModal()) {
    while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (showOnIdle) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        showOnIdle = false;
      }
      if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent && idleCount == 0) {
        ::SendMessageA(hWndParent, WM_ENTERIDLE, kMsgfDialogBox, reinterpret_cast<LPARAM>(m_hWnd));
      }
      // Only the outermost loop may drop temporary wrappers: an outer one may still hold some.
      if (idleCount == 0 && State().loopDepth == 1) DeleteTempMaps();
      if ((dwFlags & MLF_NOKICKIDLE) || !SendMessage(WM_KICKIDLE, kMsgfDialogBox, idleCount++)) idle = false;
    }
    if (!PumpMessage()) {
      // WM_QUIT ends every loop: leave it for the loop outside.
      ::PostQuitMessage(State().quitCode);
      m_nFlags &= ~(kModalLoop | kContinueModal);
      return -1;
    }
    idle = true;
    idleCount = 0;
  }
  m_nFlags &= ~(kModalLoop | kContinueModal);
  return m_nModalResult;
}

BOOL CWnd::ContinueModal() { return (m_nFlags & kContinueModal) != 0; }

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_nFlags & kContinueModal) {
    m_nFlags &= ~kContinueModal;
    PostMessage(WM_NULL);
  }
}
