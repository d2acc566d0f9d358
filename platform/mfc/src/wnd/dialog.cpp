// CDialog: modal dialogs on the framework's own loop, modeless dialogs, initialisation and the
// OK/Cancel handling with data exchange.
#include "win32/modal.h"
#include "wnd/wnd_state.h"

using namespace mfc::wnd;

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
  return pDlg ? pDlg->OnInitDialog() : TRUE;
}

LPCDLGTEMPLATE CDialog::FindTemplate() const {
  if (m_lpDialogTemplate) return m_lpDialogTemplate;
  if (!m_lpszTemplateName) return nullptr;
  HINSTANCE instance = AfxGetResourceHandle();
  HRSRC resource = ::FindResourceA(instance, m_lpszTemplateName, RT_DIALOG);
  if (!resource) return nullptr;
  return static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(instance, resource)));
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent) {
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), lpTemplate, hWndParent, &AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  if (hWnd && m_hWnd != hWnd) {
    // Another creation hook kept ours from seeing the window: a dialog without its object is
    // no use to the caller.
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  return hWnd != nullptr;
}

HWND CDialog::PreModal() {
  HWND hWnd = AfxHwnd(m_pParentWnd);
  if (!hWnd) {
    CWnd* main = AfxGetMainWnd();
    if (main != this) hWnd = AfxHwnd(main);
  }
  // A pop-up is owned by a top-level window, never by a child.
  while (hWnd && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  return hWnd;
}

INT_PTR CDialog::DoModal() {
  LPCDLGTEMPLATE lpTemplate = FindTemplate();
  if (!lpTemplate || m_hWnd) return -1;
  HWND hWndParent = PreModal();
  const win32::OwnerFocus parentFocus(hWndParent);
  bool enableParent = false;
  if (hWndParent && ::IsWindowEnabled(hWndParent)) {
    ::EnableWindow(hWndParent, FALSE);
    enableParent = true;
  }
  m_nModalResult = -1;
  m_nFlags |= kContinueModal;
  if (CreateFromTemplate(lpTemplate, hWndParent)) {
    // OnInitDialog may already have ended the dialog. The loop announces itself as modal, so a
    // headless test driver can answer or cancel it.
    if (m_nFlags & kContinueModal) {
      win32::ModalWindow modal;
      modal.hwnd = m_hWnd;
      CString caption;
      GetWindowText(caption);
      modal.caption = caption.GetString();
      modal.cancel = [this] { EndDialog(IDCANCEL); };
      win32::ModalScope scope(std::move(modal));
      RunModalLoop(MLF_SHOWONIDLE);
    }
    if (m_hWnd) {
      SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
  }
  m_nFlags &= ~kContinueModal;
  // The owner comes back before the dialog goes, so activation returns to it.
  if (enableParent) ::EnableWindow(hWndParent, TRUE);
  if (hWndParent && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndParent);
  DestroyWindow();
  parentFocus.GiveBack();
  return m_nModalResult;
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  if (pParentWnd) m_pParentWnd = pParentWnd;
  LPCDLGTEMPLATE lpTemplate = FindTemplate();
  return lpTemplate && !m_hWnd ? CreateFromTemplate(lpTemplate, PreModal()) : FALSE;
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  if (pParentWnd) m_pParentWnd = pParentWnd;
  return lpDialogTemplate && !m_hWnd ? CreateFromTemplate(lpDialogTemplate, PreModal()) : FALSE;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  m_lpDialogTemplate = lpDialogTemplate;
  if (pParentWnd) m_pParentWnd = pParentWnd;
  return lpDialogTemplate != nullptr;
}

void CDialog::EndDialog(int nResult) {
  if (m_nFlags & (kModalLoop | kContinueModal)) EndModalLoop(nResult);
  ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
    return TRUE;
  } catch (CUserException* e) {
    e->Delete();  // the user has been told already
  } catch (CException* e) {
    e->ReportError(MB_ICONEXCLAMATION);
    e->Delete();
  }
  return FALSE;
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  if (pWndCtrl) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) { return PreTranslateInput(pMsg); }

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  // Commands (not control notifications, not system commands) go on to the owner and the
  // application.
  const bool command = nCode == CN_COMMAND || UINT(nCode) == CN_UPDATE_COMMAND_UI;
  if (!command || !(nID & 0x8000) || nID >= 0xF000) return FALSE;
  if (CWnd* pOwner = FromHandlePermanent(::GetParent(m_hWnd));
      pOwner && pOwner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) {
    return TRUE;
  }
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
