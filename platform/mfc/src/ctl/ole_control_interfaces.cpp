// The OLE interfaces of COleControl: embedding, in-place object, control, persistence, browsing
// and property pages. Reference counting goes to the control's automation count.
#include <cstring>

#include "property_exchanges.h"

#define AFX_PART_IUNKNOWN(localClass)                                                            \
  STDMETHODIMP_(ULONG) COleControl::X##localClass::AddRef() {                                    \
    METHOD_PROLOGUE(COleControl, localClass)                                                     \
    return pThis->ExternalAddRef();                                                              \
  }                                                                                              \
  STDMETHODIMP_(ULONG) COleControl::X##localClass::Release() {                                   \
    METHOD_PROLOGUE(COleControl, localClass)                                                     \
    return pThis->ExternalRelease();                                                             \
  }                                                                                              \
  STDMETHODIMP COleControl::X##localClass::QueryInterface(REFIID iid, LPVOID* ppvObj) {          \
    METHOD_PROLOGUE(COleControl, localClass)                                                     \
    return pThis->ExternalQueryInterface(&iid, ppvObj);                                          \
  }

AFX_PART_IUNKNOWN(OleObject)
AFX_PART_IUNKNOWN(OleInPlaceObject)
AFX_PART_IUNKNOWN(OleControl)
AFX_PART_IUNKNOWN(PersistStreamInit)
AFX_PART_IUNKNOWN(PersistPropertyBag)
AFX_PART_IUNKNOWN(PerPropertyBrowsing)
AFX_PART_IUNKNOWN(SpecifyPropertyPages)

// ---- IOleObject

STDMETHODIMP COleControl::XOleObject::SetClientSite(IOleClientSite* pClientSite) {
  METHOD_PROLOGUE(COleControl, OleObject)
  pThis->m_pAmbientDispatch = nullptr;
  pThis->m_pClientSite.Reset(pClientSite);
  pThis->m_pAmbientDispatch = pThis->m_pClientSite.As<IDispatch>(IID_IDispatch);
  return S_OK;
}

STDMETHODIMP COleControl::XOleObject::GetClientSite(IOleClientSite** ppClientSite) {
  METHOD_PROLOGUE(COleControl, OleObject)
  return pThis->m_pClientSite.CopyTo(ppClientSite);
}

STDMETHODIMP COleControl::XOleObject::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP COleControl::XOleObject::Close(DWORD) {
  METHOD_PROLOGUE(COleControl, OleObject)
  pThis->InPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP COleControl::XOleObject::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
STDMETHODIMP COleControl::XOleObject::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
  if (ppmk) *ppmk = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP COleControl::XOleObject::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
STDMETHODIMP COleControl::XOleObject::GetClipboardData(DWORD, IDataObject** pp) {
  if (pp) *pp = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP COleControl::XOleObject::DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite*, LONG, HWND hwndParent,
                                             LPCRECT lprcPosRect) {
  METHOD_PROLOGUE(COleControl, OleObject)
  if (!pThis->m_bInitialized) {
    pThis->OnResetState();
    pThis->m_bInitialized = TRUE;
  }
  return pThis->OnDoVerb(iVerb, lpmsg, hwndParent, lprcPosRect) ? S_OK : E_FAIL;
}

STDMETHODIMP COleControl::XOleObject::EnumVerbs(IEnumOLEVERB** pp) {
  if (pp) *pp = nullptr;
  return OLEOBJ_E_NOVERBS;
}
STDMETHODIMP COleControl::XOleObject::Update() { return S_OK; }
STDMETHODIMP COleControl::XOleObject::IsUpToDate() { return S_OK; }

STDMETHODIMP COleControl::XOleObject::GetUserClassID(CLSID* pClsid) {
  METHOD_PROLOGUE(COleControl, OleObject)
  if (!pClsid) return E_POINTER;
  return pThis->GetClassID(pClsid);
}

STDMETHODIMP COleControl::XOleObject::GetUserType(DWORD, LPOLESTR* psz) {
  if (psz) *psz = nullptr;
  return E_NOTIMPL;
}

// Extents are in pixels here (the platform has one resolution).
STDMETHODIMP COleControl::XOleObject::SetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
  METHOD_PROLOGUE(COleControl, OleObject)
  if (!psizel) return E_POINTER;
  if (dwDrawAspect != DVASPECT_CONTENT) return E_FAIL;
  return pThis->SetControlSize(psizel->cx, psizel->cy) ? S_OK : E_FAIL;
}

STDMETHODIMP COleControl::XOleObject::GetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
  METHOD_PROLOGUE(COleControl, OleObject)
  if (!psizel) return E_POINTER;
  if (dwDrawAspect != DVASPECT_CONTENT) return E_FAIL;
  int cx, cy;
  pThis->GetControlSize(&cx, &cy);
  psizel->cx = cx;
  psizel->cy = cy;
  return S_OK;
}

STDMETHODIMP COleControl::XOleObject::Advise(IAdviseSink*, DWORD* pdw) {
  if (pdw) *pdw = 0;
  return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP COleControl::XOleObject::Unadvise(DWORD) { return OLE_E_NOCONNECTION; }
STDMETHODIMP COleControl::XOleObject::EnumAdvise(IEnumSTATDATA** pp) {
  if (pp) *pp = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP COleControl::XOleObject::GetMiscStatus(DWORD, DWORD* pdwStatus) {
  METHOD_PROLOGUE(COleControl, OleObject)
  if (!pdwStatus) return E_POINTER;
  *pdwStatus = pThis->GetMiscStatus();
  return S_OK;
}

STDMETHODIMP COleControl::XOleObject::SetColorScheme(void*) { return E_NOTIMPL; }

// ---- IOleInPlaceObject

STDMETHODIMP COleControl::XOleInPlaceObject::GetWindow(HWND* phwnd) {
  METHOD_PROLOGUE(COleControl, OleInPlaceObject)
  if (!phwnd) return E_POINTER;
  *phwnd = pThis->m_hWnd;
  return pThis->m_hWnd ? S_OK : E_FAIL;
}

STDMETHODIMP COleControl::XOleInPlaceObject::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP COleControl::XOleInPlaceObject::InPlaceDeactivate() {
  METHOD_PROLOGUE(COleControl, OleInPlaceObject)
  pThis->InPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP COleControl::XOleInPlaceObject::UIDeactivate() { return S_OK; }

STDMETHODIMP COleControl::XOleInPlaceObject::SetObjectRects(LPCRECT lprcPosRect, LPCRECT) {
  METHOD_PROLOGUE(COleControl, OleInPlaceObject)
  if (!lprcPosRect) return E_POINTER;
  pThis->m_cxExtent = lprcPosRect->right - lprcPosRect->left;
  pThis->m_cyExtent = lprcPosRect->bottom - lprcPosRect->top;
  if (pThis->m_hWnd)
    ::SetWindowPos(pThis->m_hWnd, nullptr, lprcPosRect->left, lprcPosRect->top, pThis->m_cxExtent,
                   pThis->m_cyExtent, SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

STDMETHODIMP COleControl::XOleInPlaceObject::ReactivateAndUndo() { return E_NOTIMPL; }

// ---- IOleControl

STDMETHODIMP COleControl::XOleControl::GetControlInfo(CONTROLINFO* pCI) {
  if (!pCI) return E_POINTER;
  pCI->hAccel = nullptr;
  pCI->cAccel = 0;
  pCI->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP COleControl::XOleControl::OnMnemonic(MSG*) { return E_NOTIMPL; }

STDMETHODIMP COleControl::XOleControl::OnAmbientPropertyChange(DISPID dispID) {
  METHOD_PROLOGUE(COleControl, OleControl)
  pThis->OnAmbientPropertyChange(dispID);
  return S_OK;
}

STDMETHODIMP COleControl::XOleControl::FreezeEvents(BOOL bFreeze) {
  METHOD_PROLOGUE(COleControl, OleControl)
  if (bFreeze) ++pThis->m_nFreezeEvents;
  else if (pThis->m_nFreezeEvents > 0) --pThis->m_nFreezeEvents;
  return S_OK;
}

// ---- IPersistStreamInit

STDMETHODIMP COleControl::XPersistStreamInit::GetClassID(CLSID* pClassID) {
  METHOD_PROLOGUE(COleControl, PersistStreamInit)
  if (!pClassID) return E_POINTER;
  return pThis->GetClassID(pClassID);
}

STDMETHODIMP COleControl::XPersistStreamInit::IsDirty() {
  METHOD_PROLOGUE(COleControl, PersistStreamInit)
  return pThis->m_bModified ? S_OK : S_FALSE;
}

STDMETHODIMP COleControl::XPersistStreamInit::Load(LPSTREAM pStm) {
  METHOD_PROLOGUE(COleControl, PersistStreamInit)
  if (!pStm) return E_POINTER;
  return pThis->LoadFromStream(pStm);
}

STDMETHODIMP COleControl::XPersistStreamInit::Save(LPSTREAM pStm, BOOL fClearDirty) {
  METHOD_PROLOGUE(COleControl, PersistStreamInit)
  if (!pStm) return E_POINTER;
  HRESULT hr = pThis->SaveToStream(pStm);
  if (SUCCEEDED(hr) && fClearDirty) pThis->m_bModified = FALSE;
  return hr;
}

STDMETHODIMP COleControl::XPersistStreamInit::GetSizeMax(ULARGE_INTEGER* pCbSize) {
  if (pCbSize) pCbSize->QuadPart = 0;
  return E_NOTIMPL;
}

STDMETHODIMP COleControl::XPersistStreamInit::InitNew() {
  METHOD_PROLOGUE(COleControl, PersistStreamInit)
  pThis->OnResetState();
  pThis->m_bInitialized = TRUE;
  pThis->m_bModified = FALSE;
  return S_OK;
}

// ---- IPersistPropertyBag

STDMETHODIMP COleControl::XPersistPropertyBag::GetClassID(CLSID* pClassID) {
  METHOD_PROLOGUE(COleControl, PersistPropertyBag)
  if (!pClassID) return E_POINTER;
  return pThis->GetClassID(pClassID);
}

STDMETHODIMP COleControl::XPersistPropertyBag::InitNew() {
  METHOD_PROLOGUE(COleControl, PersistPropertyBag)
  pThis->OnResetState();
  pThis->m_bInitialized = TRUE;
  pThis->m_bModified = FALSE;
  return S_OK;
}

STDMETHODIMP COleControl::XPersistPropertyBag::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) {
  METHOD_PROLOGUE(COleControl, PersistPropertyBag)
  if (!pPropBag) return E_POINTER;
  mfc::ctl::BagExchange px(pPropBag, pErrorLog, TRUE);
  try {
    pThis->DoPropExchange(&px);
  } catch (CException* e) {
    e->Delete();
    return E_FAIL;
  }
  pThis->m_bInitialized = TRUE;
  pThis->m_bModified = FALSE;
  return S_OK;
}

STDMETHODIMP COleControl::XPersistPropertyBag::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL) {
  METHOD_PROLOGUE(COleControl, PersistPropertyBag)
  if (!pPropBag) return E_POINTER;
  mfc::ctl::BagExchange px(pPropBag, nullptr, FALSE);
  try {
    pThis->DoPropExchange(&px);
  } catch (CException* e) {
    e->Delete();
    return E_FAIL;
  }
  if (fClearDirty) pThis->m_bModified = FALSE;
  return S_OK;
}

// ---- IPerPropertyBrowsing

STDMETHODIMP COleControl::XPerPropertyBrowsing::GetDisplayString(DISPID dispID, BSTR* pBstr) {
  METHOD_PROLOGUE(COleControl, PerPropertyBrowsing)
  if (!pBstr) return E_POINTER;
  *pBstr = nullptr;
  CString text;
  if (!pThis->OnGetDisplayString(dispID, text)) {
    // Without a hook, the property's value as text.
    IDispatch* dispatch = pThis->GetIDispatch(FALSE);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT v;
    VariantInit(&v);
    HRESULT hr = dispatch->Invoke(dispID, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&v, &v, 0, VT_BSTR);
    if (FAILED(hr)) {
      VariantClear(&v);
      return hr;
    }
    *pBstr = v.bstrVal;
    return S_OK;
  }
  *pBstr = text.AllocSysString();
  return S_OK;
}

STDMETHODIMP COleControl::XPerPropertyBrowsing::MapPropertyToPage(DISPID dispID, CLSID* pClsid) {
  METHOD_PROLOGUE(COleControl, PerPropertyBrowsing)
  if (!pClsid) return E_POINTER;
  *pClsid = GUID_NULL;
  BOOL optional = FALSE;
  if (!pThis->OnMapPropertyToPage(dispID, pClsid, &optional)) return PERPROP_E_NOPAGEAVAILABLE;
  return optional ? PERPROP_E_NOPAGEAVAILABLE : S_OK;
}

STDMETHODIMP COleControl::XPerPropertyBrowsing::GetPredefinedStrings(DISPID dispID, CALPOLESTR* pCaStringsOut,
                                                                     CADWORD* pCaCookiesOut) {
  METHOD_PROLOGUE(COleControl, PerPropertyBrowsing)
  if (!pCaStringsOut || !pCaCookiesOut) return E_POINTER;
  *pCaStringsOut = CALPOLESTR{0, nullptr};
  *pCaCookiesOut = CADWORD{0, nullptr};
  CStringArray strings;
  CDWordArray cookies;
  if (!pThis->OnGetPredefinedStrings(dispID, &strings, &cookies)) return E_NOTIMPL;
  const ULONG count = ULONG(strings.GetSize());
  if (count == 0) return S_OK;
  auto* texts = static_cast<LPOLESTR*>(CoTaskMemAlloc(sizeof(LPOLESTR) * count));
  auto* values = static_cast<DWORD*>(CoTaskMemAlloc(sizeof(DWORD) * count));
  if (!texts || !values) {
    CoTaskMemFree(texts);
    CoTaskMemFree(values);
    return E_OUTOFMEMORY;
  }
  for (ULONG i = 0; i < count; ++i) {
    CStringW wide(strings[INT_PTR(i)]);
    const size_t bytes = (size_t(wide.GetLength()) + 1) * sizeof(OLECHAR);
    texts[i] = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (texts[i]) std::memcpy(texts[i], wide.GetString(), bytes);
    values[i] = i < ULONG(cookies.GetSize()) ? cookies[INT_PTR(i)] : i;
  }
  *pCaStringsOut = CALPOLESTR{count, texts};
  *pCaCookiesOut = CADWORD{count, values};
  return S_OK;
}

STDMETHODIMP COleControl::XPerPropertyBrowsing::GetPredefinedValue(DISPID dispID, DWORD dwCookie, VARIANT* pVarOut) {
  METHOD_PROLOGUE(COleControl, PerPropertyBrowsing)
  if (!pVarOut) return E_POINTER;
  VariantInit(pVarOut);
  return pThis->OnGetPredefinedValue(dispID, dwCookie, pVarOut) ? S_OK : E_NOTIMPL;
}

// ---- ISpecifyPropertyPages

STDMETHODIMP COleControl::XSpecifyPropertyPages::GetPages(CAUUID* pPages) {
  METHOD_PROLOGUE(COleControl, SpecifyPropertyPages)
  if (!pPages) return E_POINTER;
  ULONG count = 0;
  LPCLSID ids = pThis->GetPropPageIDs(count);
  pPages->cElems = 0;
  pPages->pElems = nullptr;
  if (!count) return S_OK;
  pPages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * count));
  if (!pPages->pElems) return E_OUTOFMEMORY;
  std::memcpy(pPages->pElems, ids, sizeof(GUID) * count);
  pPages->cElems = count;
  return S_OK;
}
