// CCmdTarget: message map look-up and command routing; CCmdUI.
#include "wnd/wnd_state.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* PASCAL CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID) {
  for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfnDispatch; ++e) {
      if (e->nMessage == nMsg && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  // nCode carries the message in its high word (WM_NOTIFY, reflected messages); 0 is WM_COMMAND.
  UINT nMsg = 0;
  UINT code = UINT(nCode);
  if (code != CN_UPDATE_COMMAND_UI) {
    nMsg = HIWORD(code);
    code = LOWORD(code);
  }
  if (nMsg == 0) nMsg = WM_COMMAND;
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), nMsg, code, nID);
  if (!entry) return FALSE;
  if (pHandlerInfo) {
    pHandlerInfo->pTarget = this;
    return TRUE;
  }
  LRESULT result = 0;
  AFX_MSG_CALL call{nMsg, 0, 0, nID, pExtra, &result};
  if (nMsg == WM_NOTIFY || nMsg == WM_REFLECT_BASE + WM_NOTIFY) {
    auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
    call.pExtra = notify->pNMHDR;
    call.pResult = notify->pResult ? notify->pResult : &result;
    return entry->pfnDispatch(this, call);
  }
  if (code == CN_UPDATE_COMMAND_UI) {
    auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
    pCmdUI->m_bContinueRouting = FALSE;
    entry->pfnDispatch(this, call);
    return !pCmdUI->m_bContinueRouting;
  }
  return entry->pfnDispatch(this, call);
}

// ---- CCmdUI -------------------------------------------------------------------------------------

void CCmdUI::Enable(BOOL bOn) {
  if (mfc::wnd::EnableMenuItemOf(*this, bOn)) {
    m_bEnableChanged = TRUE;
    return;
  }
  if (m_pOther) {
    // A control losing its enabled state hands the focus on first.
    if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
      if (HWND parent = ::GetParent(m_pOther->m_hWnd)) ::SendMessageA(parent, WM_NEXTDLGCTL, 0, FALSE);
    }
    m_pOther->EnableWindow(bOn);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
  if (mfc::wnd::CheckMenuItemOf(*this, nCheck, false)) return;
  if (m_pOther && (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON)) m_pOther->SendMessage(BM_SETCHECK, WPARAM(nCheck));
}

void CCmdUI::SetRadio(BOOL bOn) {
  if (mfc::wnd::CheckMenuItemOf(*this, bOn ? 1 : 0, true)) return;
  SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText) {
  if (mfc::wnd::SetMenuItemTextOf(*this, lpszText) || !m_pOther) return;
  // Setting the same text again would only make the control repaint.
  CString current;
  m_pOther->GetWindowText(current);
  if (current != lpszText) m_pOther->SetWindowText(lpszText);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  m_bEnableChanged = FALSE;
  BOOL handled = pTarget->OnCmdMsg(m_nID, int(CN_UPDATE_COMMAND_UI), this, nullptr);
  if (bDisableIfNoHndler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info{};
    if (!pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info)) Enable(FALSE);
  }
  return handled;
}
