#include "control/item_enumerator.h"

#include <new>

CItemEnumerator::CItemEnumerator(ItemListPtr list, size_t position, REFIID iidDispatch)
    : m_list(std::move(list)), m_position(position), m_iidDispatch(iidDispatch) {
  EnableAutomation();
  mfc::disp::SetDispatchIID(this, m_iidDispatch);
}

IUnknown* CItemEnumerator::Create(ItemListPtr list, REFIID iidDispatch) {
  return &(new CItemEnumerator(std::move(list), 0, iidDispatch))->m_xEnumVARIANT;
}

CItemEnumerator* CItemEnumerator::MakeClone() const {
  return new (std::nothrow) CItemEnumerator(m_list, m_position, m_iidDispatch);
}

BEGIN_DISPATCH_MAP(CItemEnumerator, CCmdTarget)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(CItemEnumerator, CCmdTarget)
  INTERFACE_PART(CItemEnumerator, IID_IEnumVARIANT, EnumVARIANT)
END_INTERFACE_MAP()

STDMETHODIMP_(ULONG) CItemEnumerator::XEnumVARIANT::AddRef() {
  METHOD_PROLOGUE(CItemEnumerator, EnumVARIANT)
  return pThis->ExternalAddRef();
}

STDMETHODIMP_(ULONG) CItemEnumerator::XEnumVARIANT::Release() {
  METHOD_PROLOGUE(CItemEnumerator, EnumVARIANT)
  return pThis->ExternalRelease();
}

STDMETHODIMP CItemEnumerator::XEnumVARIANT::QueryInterface(REFIID iid, LPVOID* ppvObj) {
  METHOD_PROLOGUE(CItemEnumerator, EnumVARIANT)
  return pThis->ExternalQueryInterface(&iid, ppvObj);
}

STDMETHODIMP CItemEnumerator::XEnumVARIANT::Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) {
  METHOD_PROLOGUE(CItemEnumerator, EnumVARIANT)
  if (pCeltFetched) *pCeltFetched = 0;
  else if (celt > 1) return E_INVALIDARG;
  if (celt && !rgVar) return E_POINTER;
  for (ULONG i = 0; i < celt; ++i) VariantInit(&rgVar[i]);
  ULONG fetched = 0;
  while (fetched < celt && pThis->m_list && pThis->m_position < pThis->m_list->Size()) {
    CCmdTarget* item = pThis->m_list->At(pThis->m_position);
    if (!item) return E_UNEXPECTED;
    rgVar[fetched].vt = VT_DISPATCH;
    rgVar[fetched].pdispVal = mfc::disp::GetIDispatch(item, TRUE);
    ++pThis->m_position;
    ++fetched;
  }
  if (pCeltFetched) *pCeltFetched = fetched;
  return fetched == celt ? S_OK : S_FALSE;
}

STDMETHODIMP CItemEnumerator::XEnumVARIANT::Skip(ULONG celt) {
  METHOD_PROLOGUE(CItemEnumerator, EnumVARIANT)
  if (!pThis->m_list) return E_UNEXPECTED;
  ULONG skipped = 0;
  while (skipped < celt && pThis->m_position < pThis->m_list->Size()) {
    ++pThis->m_position;
    ++skipped;
  }
  return skipped == celt ? S_OK : S_FALSE;
}

STDMETHODIMP CItemEnumerator::XEnumVARIANT::Reset() {
  METHOD_PROLOGUE(CItemEnumerator, EnumVARIANT)
  pThis->m_position = 0;
  return S_OK;
}

STDMETHODIMP CItemEnumerator::XEnumVARIANT::Clone(IEnumVARIANT** ppEnum) {
  METHOD_PROLOGUE(CItemEnumerator, EnumVARIANT)
  if (!ppEnum) return E_POINTER;
  CItemEnumerator* clone = pThis->MakeClone();
  *ppEnum = clone ? &clone->m_xEnumVARIANT : nullptr;
  return clone ? S_OK : E_OUTOFMEMORY;
}

IUnknown* CWMVProfileEnumerator::Create(ItemListPtr list) {
  return &(new CWMVProfileEnumerator(std::move(list), 0))->m_xEnumVARIANT;
}

CItemEnumerator* CWMVProfileEnumerator::MakeClone() const {
  return new (std::nothrow) CWMVProfileEnumerator(m_list, m_position);
}

BEGIN_DISPATCH_MAP(CWMVProfileEnumerator, CItemEnumerator)
  DISP_PROPERTY_EX_ID(CWMVProfileEnumerator, "WMVProfiles", 1, GetWMVProfiles, SetNotSupported, VT_DISPATCH)
END_DISPATCH_MAP()
