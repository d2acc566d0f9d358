#pragma once
// Dialogs of the framework and dialog data exchange. Included by afxwnd.h.
#include <string>

#include "mfc/afxwnd.h"

class CDataExchange;

// A dialog from a template resource (or an in-memory template). DoModal runs the framework's own
// modal loop, so PreTranslateMessage sees every message on its way; Create makes a modeless
// dialog.
class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  CDialog();
  CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Runs the dialog modally: the owner is disabled meanwhile. Returns the EndDialog result, -1
  // when the dialog cannot be created.
  virtual INT_PTR DoModal();
  BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) { return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd); }
  BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
  // The template DoModal uses instead of the resource.
  BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
  void EndDialog(int nResult);

  // Controls to members (TRUE, validating) or members to controls (FALSE). FALSE when a value was
  // refused (the user has been told and the control has the focus).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  void GotoDlgCtrl(CWnd* pWndCtrl);
  void NextDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 0, 0); }
  void PrevDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 1, 0); }
  DWORD GetDefID() const { return DWORD(SendMessage(DM_GETDEFID)); }
  void SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }
  void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  LPCTSTR m_lpszTemplateName = nullptr;
  CWnd* m_pParentWnd = nullptr;

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;

  DECLARE_MESSAGE_MAP()

 private:
  LPCDLGTEMPLATE FindTemplate() const;
  HWND PreModal();
  BOOL CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent);
  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

// The dialog procedure of framework dialogs: WM_INITDIALOG calls OnInitDialog.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// One transfer between a dialog's controls and its members.
class CDataExchange {
 public:
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;

  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
  // The control of that id (an error when the dialog has none); remembered for Fail.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Gives the focus back to the last control (selecting an edit's text) and throws CUserException.
  [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// value: the checked radio button of the group starting at nIDC (0 based), -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
// Subclasses the control to rControl on the first exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars);

// The open or save file dialog. m_ofn may be adjusted before DoModal (a larger name buffer for
// several files, flags, the initial folder); the filter is given in the "text|patterns|...||"
// form.
class CFileDialog : public CDialog {
  DECLARE_DYNAMIC(CFileDialog)
 public:
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);

  // IDOK with the answer in m_ofn, IDCANCEL when cancelled or refused.
  INT_PTR DoModal() override;
  // The chosen file's full path (the folder when several were chosen).
  CString GetPathName() const;
  // Walks the chosen files: the first position, then each full path in turn; null after the last.
  POSITION GetStartPosition() const;
  CString GetNextPathName(POSITION& pos) const;

  OPENFILENAME m_ofn;

 private:
  BOOL m_bOpenFileDialog;
  std::string m_strFilter;  // the filter with its separators made NULs
  std::string m_strDefExt;
  char m_szFileName[MAX_PATH];
};
