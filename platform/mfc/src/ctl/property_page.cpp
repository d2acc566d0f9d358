// COlePropertyPage: a child dialog page of a control's property frame.
#include <cstring>

#include "mfc/afxctl.h"
#include "module_lookup.h"

IMPLEMENT_DYNAMIC(COlePropertyPage, CDialog)

BEGIN_DISPATCH_MAP(COlePropertyPage, CDialog)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(COlePropertyPage, CDialog)
  INTERFACE_PART(COlePropertyPage, IID_IPropertyPage, PropertyPage)
END_INTERFACE_MAP()

COlePropertyPage::COlePropertyPage(UINT idDlg, UINT idCaption) : CDialog(idDlg), m_idDlg(idDlg), m_idCaption(idCaption) {
  EnableAutomation();
  AfxOleLockApp();
}

COlePropertyPage::~COlePropertyPage() {
  SetObjects(0, nullptr);
  AfxOleUnlockApp();
}

void COlePropertyPage::OnFinalRelease() { delete this; }

// The page's strings and template live in the module of its class.
CString COlePropertyPage::GetCaption() const {
  char text[256];
  int n = LoadStringA(mfc::ctl::ModuleOf(GetRuntimeClass()), m_idCaption, text, sizeof text);
  return n > 0 ? CString(text, n) : CString();
}

LPCDLGTEMPLATE COlePropertyPage::PageTemplate() const {
  HINSTANCE module = mfc::ctl::ModuleOf(GetRuntimeClass());
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCE(m_idDlg), RT_DIALOG);
  return resource ? static_cast<LPCDLGTEMPLATE>(LockResource(LoadResource(module, resource))) : nullptr;
}

void COlePropertyPage::SetObjects(ULONG nObjects, IDispatch* const* ppObjects) {
  m_objects.clear();
  for (ULONG i = 0; i < nObjects; ++i)
    if (ppObjects[i]) m_objects.emplace_back(ppObjects[i]);
}

void COlePropertyPage::SetModifiedFlag(BOOL bModified) {
  m_bPageModified = bModified;
  if (m_pPageSite) m_pPageSite->OnStatusChange(bModified ? PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE : PROPPAGESTATUS_CLEAN);
}

// The page's fields have gone to its objects once a saving exchange completes.
void DDP_PostProcessing(CDataExchange* pDX) {
  if (!pDX->m_bSaveAndValidate) return;
  if (auto* page = dynamic_cast<COlePropertyPage*>(pDX->m_pDlgWnd)) page->SetModifiedFlag(FALSE);
}

// ---- IPropertyPage

STDMETHODIMP_(ULONG) COlePropertyPage::XPropertyPage::AddRef() {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  return pThis->ExternalAddRef();
}
STDMETHODIMP_(ULONG) COlePropertyPage::XPropertyPage::Release() {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  return pThis->ExternalRelease();
}
STDMETHODIMP COlePropertyPage::XPropertyPage::QueryInterface(REFIID iid, LPVOID* ppvObj) {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  return pThis->ExternalQueryInterface(&iid, ppvObj);
}

STDMETHODIMP COlePropertyPage::XPropertyPage::SetPageSite(IPropertyPageSite* pPageSite) {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  pThis->m_pPageSite.Reset(pPageSite);
  return S_OK;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::Activate(HWND hWndParent, LPCRECT pRect, BOOL) {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  if (!pRect) return E_POINTER;
  if (pThis->m_hWnd) return E_UNEXPECTED;
  LPCDLGTEMPLATE page = pThis->PageTemplate();
  if (!page || !pThis->CreateIndirect(page, CWnd::FromHandle(hWndParent))) return E_FAIL;
  pThis->MoveWindow(pRect);
  return S_OK;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::Deactivate() {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  if (pThis->m_hWnd) pThis->DestroyWindow();
  return S_OK;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::GetPageInfo(PROPPAGEINFO* pPageInfo) {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  if (!pPageInfo) return E_POINTER;
  CStringW title(pThis->GetCaption());
  const size_t bytes = (size_t(title.GetLength()) + 1) * sizeof(OLECHAR);
  pPageInfo->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (!pPageInfo->pszTitle) return E_OUTOFMEMORY;
  std::memcpy(pPageInfo->pszTitle, title.GetString(), bytes);
  pPageInfo->pszDocString = nullptr;
  pPageInfo->pszHelpFile = nullptr;
  pPageInfo->dwHelpContext = 0;
  LPCDLGTEMPLATE page = pThis->PageTemplate();
  const LONG units = GetDialogBaseUnits();
  pPageInfo->size.cx = page ? page->cx * LOWORD(units) / 4 : 0;
  pPageInfo->size.cy = page ? page->cy * HIWORD(units) / 8 : 0;
  return S_OK;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  if (cObjects && !ppUnk) return E_POINTER;
  std::vector<ComPtr<IDispatch>> objects;
  for (ULONG i = 0; i < cObjects; ++i) {
    ComPtr<IDispatch> d;
    if (ppUnk[i] && SUCCEEDED(ppUnk[i]->QueryInterface(IID_IDispatch, d.putVoid()))) objects.push_back(std::move(d));
  }
  pThis->m_objects = std::move(objects);
  return S_OK;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::Show(UINT nCmdShow) {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  if (!pThis->m_hWnd) return E_UNEXPECTED;
  pThis->ShowWindow(int(nCmdShow));
  return S_OK;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::Move(LPCRECT pRect) {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  if (!pRect) return E_POINTER;
  if (!pThis->m_hWnd) return E_UNEXPECTED;
  pThis->MoveWindow(pRect);
  return S_OK;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::IsPageDirty() {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  return pThis->m_bPageModified ? S_OK : S_FALSE;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::Apply() {
  METHOD_PROLOGUE(COlePropertyPage, PropertyPage)
  if (pThis->m_hWnd && !pThis->UpdateData(TRUE)) return E_FAIL;
  pThis->m_bPageModified = FALSE;
  return S_OK;
}

STDMETHODIMP COlePropertyPage::XPropertyPage::Help(LPCOLESTR) { return E_NOTIMPL; }
STDMETHODIMP COlePropertyPage::XPropertyPage::TranslateAccelerator(MSG*) { return S_FALSE; }
