#include "edit_time_dlg.h"

#include "app_resources.h"

CEditTimeDlg::CEditTimeDlg(CWnd* parent) : CDialog(IDD, parent) { LinkProgramResources(); }

void CEditTimeDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
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
