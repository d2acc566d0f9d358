#include "edit_time_dlg.h"

#include "app_resources.h"
#include "dialog_buttons.h"

CEditTimeDlg::CEditTimeDlg(CWnd* parent) : CDialog(IDD, parent) { LinkProgramResources(); }

BOOL CEditTimeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ShadeWithIcon(okButton_, IDI_CHECK);
  ShadeWithIcon(cancelButton_, IDI_CROSS);
  return TRUE;
}

void CEditTimeDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDOK, okButton_);
  DDX_Control(pDX, IDCANCEL, cancelButton_);
  DDX_Text(pDX, kStartId, start);
  DDX_Text(pDX, kEndId, end);
  if (!pDX->m_bSaveAndValidate) return;
  // A clip that starts before the file or not before its end cannot be converted.
  if (start < 0 || (end != 0 && start >= end)) {
    AfxMessageBox(IDS_BAD_TIMES, MB_ICONEXCLAMATION);
    pDX->PrepareEditCtrl(kStartId);
    pDX->Fail();
  }
}
