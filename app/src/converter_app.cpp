#include "converter_app.h"

#include "converter_dlg.h"

void CConverterApp::RegisterProgramModules() {
  const CString folder = CConverterDlg::GetProgramFolder();
  CConverterDlg::RegisterServerDll(folder + "\\Tessary.ocx");
  CConverterDlg::RegisterServerDll(folder + "\\Lumet.ax");
}

BOOL CConverterApp::InitInstance() {
  AfxEnableControlContainer();
  AfxRegisterControlSiteClass(CTessary::GetClsid());
  Enable3dControls();
  CConverterDlg dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  // The dialog is gone: returning FALSE ends the program.
  return FALSE;
}
