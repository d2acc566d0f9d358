// COlePropertyPage: a child dialog page of a control's property frame.
#include "mfc/afxctl.h"

IMPLEMENT_DYNAMIC(COlePropertyPage, CDialog)

BEGIN_DISPATCH_MAP(COlePropertyPage, CDialog)
END_DISPATCH_MAP()

COlePropertyPage::COlePropertyPage(UINT idDlg, UINT idCaption) : CDialog(idDlg), m_idDlg(idDlg), m_idCaption(idCaption) {
  EnableAutomation();
  AfxOleLockApp();
}

COlePropertyPage::~COlePropertyPage() {
  SetObjects(0, nullptr);
  AfxOleUnlockApp();
}

CString COlePropertyPage::GetCaption() const {
  CString caption;
  caption.LoadString(m_idCaption);
  return caption;
}

void COlePropertyPage::SetObjects(ULONG nObjects, IDispatch* const* ppObjects) {
  for (IDispatch* object : m_objects) object->Release();
  m_objects.clear();
  for (ULONG i = 0; i < nObjects; ++i) {
    if (!ppObjects[i]) continue;
    ppObjects[i]->AddRef();
    m_objects.push_back(ppObjects[i]);
  }
}

LPDISPATCH* COlePropertyPage::GetObjectArray(ULONG* pnObjects) {
  *pnObjects = ULONG(m_objects.size());
  return m_objects.data();
}

// The page's fields have gone to its objects once a saving exchange completes.
void DDP_PostProcessing(CDataExchange* pDX) {
  if (!pDX->m_bSaveAndValidate) return;
  if (auto* page = dynamic_cast<COlePropertyPage*>(pDX->m_pDlgWnd)) page->SetModifiedFlag(FALSE);
}
